// The volume scale of the program, 0 to 30, against the mixer's control and
// against the volume bar's thumb.
//
// Everything is computed in 64 bits and every result is clamped, so odd
// bounds never divide by zero or wrap: a volume outside 0..30 counts as the
// nearer end; a mixer control whose maximum is at or below its minimum has
// no range (written at its minimum, read as 0); a mixer value outside the
// bounds reads as the nearer end; a thumb travel of zero or less keeps the
// thumb at its left end and reads as 0.
#pragma once

#include <cstdint>

namespace playback {

inline constexpr std::int32_t kVolumeMax = 30;

std::int32_t ClampVolume(std::int64_t volume);

// min + (max - min) * volume / 30, truncated.
std::uint32_t VolumeToMixerValue(std::int64_t volume, std::uint32_t minimum, std::uint32_t maximum);
// The nearest step, a half step going up: ((value - min) * 30 + (max - min) / 2) / (max - min).
std::int32_t VolumeFromMixerValue(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum);

// The volume bar: the thumb's left edge travels from `volumeMin` to
// `volumeMax` - thumbWidth / 2 (half a thumb short of the bar's end).
// Where the thumb stands for a volume.
std::int32_t VolumeThumbLeft(std::int64_t volume, std::int32_t volumeMin, std::int32_t volumeMax,
                             std::int32_t thumbWidth);
// Where a drag to `x` (window pixels) puts the thumb.
std::int32_t VolumeThumbDragLeft(std::int64_t x, std::int32_t volumeMin, std::int32_t volumeMax,
                                 std::int32_t thumbWidth);
// The volume the thumb at `left` stands for, truncated.
std::int32_t VolumeFromThumbLeft(std::int64_t left, std::int32_t volumeMin, std::int32_t volumeMax,
                                 std::int32_t thumbWidth);

} // namespace playback
