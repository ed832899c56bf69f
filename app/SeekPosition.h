// The one conversion between the seek thumb's place and a position, shared by
// the seek bar, the playback control and the track timer: a position is
// (thumb left - track minimum) / scale, truncated toward zero, in 100 ns.
#pragma once

#include <cstdint>

// False when the scale gives no position (zero, infinite or not a number, or
// the quotient is outside 64 bits); `position` is then left alone.
bool ThumbToPosition(std::int32_t thumbLeft, std::int32_t trackMin, double scale, std::int64_t& position);
