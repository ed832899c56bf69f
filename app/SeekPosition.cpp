#include "app/SeekPosition.h"

#include <cmath>

bool ThumbToPosition(std::int32_t thumbLeft, std::int32_t trackMin, double scale, std::int64_t& position)
{
    // In 64 bits: two extreme 32-bit places differ by more than 32 bits hold.
    if (!std::isfinite(scale) || scale == 0.0)
        return false;
    const std::int64_t pixels = static_cast<std::int64_t>(thumbLeft) - trackMin;
    const double quotient = static_cast<double>(pixels) / scale;
    // 2^63 is exact as a double; anything at or beyond it does not convert.
    if (!std::isfinite(quotient) || quotient >= 9223372036854775808.0 || quotient < -9223372036854775808.0)
        return false;
    position = static_cast<std::int64_t>(quotient);
    return true;
}
