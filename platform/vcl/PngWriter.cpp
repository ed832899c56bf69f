#include "platform/vcl/PngWriter.h"

#include <cstdio>

#include <png.h>

#include "platform/win/HostFileIo.h"

namespace vcl {

std::vector<std::uint8_t> PngWriter::Encode(const PixelBuffer& picture)
{
    const int w = picture.Empty() ? 1 : picture.Width();
    const int h = picture.Empty() ? 1 : picture.Height();

    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(h) * static_cast<std::size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = picture.Empty() ? 0 : picture.Pixel(x, y);
            rgb.push_back(static_cast<std::uint8_t>(p >> 16));
            rgb.push_back(static_cast<std::uint8_t>(p >> 8));
            rgb.push_back(static_cast<std::uint8_t>(p));
        }
    }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    // Room for the largest file the picture can give, so one pass writes it.
    std::vector<std::uint8_t> out(PNG_IMAGE_PNG_SIZE_MAX(image));
    png_alloc_size_t size = out.size();
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr))
        return {};
    out.resize(size);
    return out;
}

bool PngWriter::Save(const PixelBuffer& picture, const std::string& hostPath)
{
    const std::vector<std::uint8_t> bytes = Encode(picture);
    if (bytes.empty())
        return false;
    std::FILE* f = win::OpenRegularCFile(hostPath, "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!(written && closed))
        std::remove(hostPath.c_str());
    return written && closed;
}

} // namespace vcl
