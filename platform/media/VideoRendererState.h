// What the video renderer holds, for tests and presenters: read from a
// renderer made by this layer (CLSID_VideoMixingRenderer9).
#pragma once

#include <cstdint>

#include "platform/media/FrameSource.h"
#include "platform/media/Vmr9Interfaces.h"

namespace media {

struct VideoRendererState {
    DWORD renderingMode = 0; // 0 until set
    HWND clippingWindow = nullptr;
    RECT source{}; // as last set
    RECT destination{};
    RECT picture{}; // where the picture lands inside destination (letterbox)
    COLORREF border = 0;
    DWORD aspectRatioMode = VMR9ARMode_None;
    bool connected = false;
    LONG nativeWidth = 0;
    LONG nativeHeight = 0;
    bool hasFrame = false; // a picture was shown
    std::int64_t frameNumber = 0; // of the picture shown
    REFERENCE_TIME framePosition = 0;
    int framesDrawn = 0; // pictures asked of the frame source
    int repaints = 0; // RepaintVideo calls that succeeded
};

// False when `renderer` is not this layer's video renderer.
bool InspectVideoRenderer(IUnknown* renderer, VideoRendererState& state);
// The picture shown, or an empty frame.
Frame CurrentVideoFrame(IUnknown* renderer);

} // namespace media
