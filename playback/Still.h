// What a still picture holds and where a printed still goes.
//
// The still is cut out of the current frame as the channel view shows it
// (w x h the picture's size; divisions truncate toward zero):
//
//   mode  still      source rectangle (left, top, width, height)
//    2    w x h/2    0, 0, w, h/2          the upper half
//    4    w x h      0, 0, w, h            the whole mosaic
//   11    w x h      0, 0, w/2, h/2        upper left, enlarged twice
//   12    w x h      w/2, 0, w/2, h/2      upper right
//   13    w x h      0, h/2, w/2, h/2      lower left
//   14    w x h      w/2, h/2, w/2, h/2    lower right
//
// On paper the still fills the largest 4:3 rectangle of the page (at most
// 5120 x 3840 printer pixels), centred across, from the top, one pixel in
// from each side; the two-camera still takes half that height.
#pragma once

#include <cstdint>

#include "platform/vcl/Geometry.h"

namespace playback {

struct StillCrop {
    int width = 0; // the still
    int height = 0;
    vcl::TRect source; // in the picture (right and bottom exclusive)
    friend bool operator==(const StillCrop&, const StillCrop&) = default;
};

// The crop of `mode` for a picture of width x height; false (crop
// untouched) for a mode that is none of 2, 4, 11..14 or a picture below
// 2 x 2 pixels, whose halves would be empty.
bool StillCropFor(std::int32_t mode, int width, int height, StillCrop& crop);

// The rectangle the still is drawn into on a page of pageWidth x
// pageHeight printer pixels.
vcl::TRect StillPrintRect(int pageWidth, int pageHeight, std::int32_t mode);

} // namespace playback
