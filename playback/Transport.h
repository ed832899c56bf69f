// The arithmetic of slow and fast play.
#pragma once

#include <cstdint>

namespace playback {

// The rate of the speed table nearest to `rate` (on the doubling scale);
// below the table's first its first, above its last its last, no number 1.
float SpeedTableRate(float rate);
// Where a stepped-play tick goes: position + frameTime x rate, truncated.
std::int64_t SteppedTarget(std::int64_t position, std::int32_t frameTime, float rate);

} // namespace playback
