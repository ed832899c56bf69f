// Saves a PixelBuffer as a PNG picture (RGB, 8 bits a channel), through
// libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vcl/PixelBuffer.h"

namespace vcl {

class PngWriter {
public:
    // The whole file in memory. An empty buffer gives a 1 x 1 black picture,
    // as PNG allows no empty image.
    static std::vector<std::uint8_t> Encode(const PixelBuffer& picture);
    // Writes to a host path (UTF-8); false when the file cannot be written.
    static bool Save(const PixelBuffer& picture, const std::string& hostPath);
};

} // namespace vcl
