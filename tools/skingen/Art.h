// The skin's pictures, drawn from the main window's layout table: the four
// backgrounds (with the ten function icons in the left column), the twelve
// skinned buttons in their normal and pressed looks, and the two thumbs.
#pragma once

#include "tools/skingen/Raster.h"

namespace skingen {

// Background of layout k (0..3), at the skin's background size.
Image DrawBackground(int layout);
// Skinned button with Tag 1..12, normal or pressed.
Image DrawButton(int tag, bool pressed);
Image DrawTrackThumb();
Image DrawVolumeThumb();

} // namespace skingen
