#include "Recordings.h"

#include <cmath>

namespace backends_test {

std::int16_t ToneSample(std::uint32_t i, std::uint32_t sampleRate)
{
    return static_cast<std::int16_t>(4000.0 * std::sin(2 * M_PI * 440.0 * i / sampleRate));
}

} // namespace backends_test
