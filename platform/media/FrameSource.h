// The seam that makes the pictures the video renderer shows. Filters move no
// samples: whenever the graph shows a frame (a pause, a seek while paused, a
// cue, a run, and each new frame while running, found when someone asks the
// renderer), the renderer asks the frame source in force for the picture of
// that frame of the recording's video stream.
//
// The default draws the synthetic picture: four coloured quadrants (top
// left red, top right green, bottom left blue, bottom right yellow) and the
// frame number in white digits on a black box in the middle. A real decoder
// (platform/backends/ffmpeg) is installed by the program.
//
// Thread: the thread that uses the graph (the user interface thread); the
// installation calls are thread-safe.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/host/Seam.h"
#include "platform/media/SourceStream.h"
#include "platform/win/Rect.h"

namespace media {

// A picture, top-down, one uint32 per pixel as a 32-bit DIB pixel reads
// (0x00RRGGBB: bytes B, G, R, 0).
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    friend bool operator==(const Frame&, const Frame&) = default;
};

struct FrameRequest {
    const SourceStream* stream = nullptr; // never null when the renderer asks
    REFERENCE_TIME position = 0; // the position shown, 100 ns
    std::int64_t frameNumber = 0; // FrameNumber(stream, position)
    int width = 0; // the native size of the video
    int height = 0;
};

// The frame time of streams whose header gives none (30 frames a second).
inline constexpr REFERENCE_TIME kDefaultFrameTime = 333333;
// The frame of `stream` shown at `position`.
std::int64_t FrameNumberAt(const SourceStream& stream, REFERENCE_TIME position);

// Pixels to draw a picture into at the size it is shown: rows of `width`
// pixels as a Frame's, `source` a part of the native picture, `picture`
// where it goes (it may reach outside the target, which cuts it off).
struct ScaledTarget {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    win::RECT source{};
    win::RECT picture{};
};

class FrameSource {
public:
    virtual ~FrameSource();
    // The frame of `stream` shown at `position`: the last frame whose
    // presentation time is not after it. The default divides by the frame
    // time (FrameNumberAt); a decoder answers from the stream's own times.
    virtual std::int64_t FrameNumber(const SourceStream& stream, REFERENCE_TIME position);
    // Fills `out` with the picture of the request, request.width x
    // request.height. `out` may hold an older picture whose buffer can be
    // reused; its contents are not defined after a false. True when it drew;
    // false keeps the picture the renderer showed before. The default draws
    // the synthetic picture and never fails.
    virtual bool DrawFrame(const FrameRequest& request, Frame& out);
    // Draws the request's picture straight into `target`, scaled once from
    // the decoded picture: only the target's pixels inside `picture` change.
    // False when it cannot (the renderer then draws the native picture and
    // scales that); the default always returns false.
    virtual bool DrawScaled(const FrameRequest& request, const ScaledTarget& target);
    // Gets the request's picture ready (a decoder decodes it and keeps it),
    // so that drawing the same request later only converts it. False when
    // it cannot be had; the renderer then keeps the picture it had. The
    // default has nothing to get ready.
    virtual bool Prepare(const FrameRequest& request);
};

// The synthetic picture of frame `frameNumber` at a size (0 x 0 gives an empty frame).
Frame SyntheticFrame(int width, int height, std::int64_t frameNumber);

// The frame source in force (the default unless one was installed). Read by
// the video renderer on whichever thread runs its graph: an atomic seam
// (platform/host/Seam.h).
FrameSource& CurrentFrameSource();
// Installs a frame source process-wide (null: the default); returns the
// previous one (null when it was the default). The caller keeps ownership.
FrameSource* InstallFrameSource(FrameSource* source);
using ScopedFrameSource = host::ScopedInstall<FrameSource*, &InstallFrameSource>;

} // namespace media
