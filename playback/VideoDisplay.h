// Where the channel views put the video window and the picture.
//
// The recorder writes its four cameras as one 2x2 mosaic per frame. A view
// places the video window (the renderer's clipping window) inside the video
// area and gives the renderer a destination rectangle, in the video
// window's client coordinates, into which it scales the whole mosaic; the
// window clips the rest:
//
//   mode  view                            window (left, top, w, h)   destination
//    2    upper two cameras, a band       2, H/4, W-4, H/2-4         0, 0, W, H
//    4    all four                        2, 2, W-4, H-4             0, 0, W, H
//   11    upper left enlarged             2, 2, W-4, H-4             0, 0, 2W, H*2.02
//   12    upper right enlarged            2, 2, W-4, H-4             -W, 0, W, H*2.02
//   13    lower left enlarged             2, 2, W-4, H-4             0, -H, 2W, H
//   14    lower right enlarged            2, 2, W-4, H-4             -W, -H, W, H
//
// (W x H the video area; divisions and the stretch truncate toward zero; the
// upper cameras are stretched by 2.02, the lower ones by exactly 2.)
#pragma once

#include <cstdint>

#include "platform/win/Rect.h"

namespace playback {

struct ChannelView {
    int left = 0; // the video window in the video area
    int top = 0;
    int width = 0;
    int height = 0;
    win::RECT destination; // the picture in the video window
    friend bool operator==(const ChannelView&, const ChannelView&) = default;
};

// The view of `mode` in a video area of width x height; false (and `view`
// untouched) for a mode that is none of 2, 4, 11..14.
bool ChannelViewFor(std::int32_t mode, int width, int height, ChannelView& view);

} // namespace playback
