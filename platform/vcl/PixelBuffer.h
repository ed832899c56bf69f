// A 32-bit picture in memory, top-down, one uint32 per pixel laid out as a
// Windows 32-bit DIB pixel (bytes B, G, R, X; read as 0xXXRRGGBB). Canvases
// paint onto it and the PNG writer saves it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/vcl/Color.h"

namespace vcl {

class PixelBuffer {
public:
    PixelBuffer() = default;
    // Negative sizes count as 0; sizes are capped at 16384 a side.
    PixelBuffer(int width, int height, std::uint32_t fill = 0);
    // A copy has pixels of its own, even of a buffer over another's pixels.
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    ~PixelBuffer() = default;

    void Resize(int width, int height, std::uint32_t fill = 0);
    // Paints onto pixels kept elsewhere (a display's shared picture), rows
    // of `width` pixels one after another, until the next Resize; the
    // keeper keeps them alive until then. Sizes out of range give an empty
    // buffer, as Resize does.
    void Adopt(std::uint32_t* pixels, int width, int height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    // Outside the picture: Pixel gives 0 and SetPixel does nothing.
    // Inline: painting calls them per pixel.
    std::uint32_t Pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
            return 0;
        return FData[static_cast<std::size_t>(y) * FWidth + x];
    }
    void SetPixel(int x, int y, std::uint32_t value)
    {
        if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
            return;
        FData[static_cast<std::size_t>(y) * FWidth + x] = value;
    }
    // The pixel as a framework colour (0x00BBGGRR).
    TColor ColorAt(int x, int y) const;

    std::uint32_t* Row(int y) { return FData + static_cast<std::size_t>(y) * FWidth; }
    const std::uint32_t* Row(int y) const { return FData + static_cast<std::size_t>(y) * FWidth; }
    std::span<const std::uint32_t> Pixels() const
    {
        return {FData, static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight)};
    }
    // The same size and the same pixels.
    friend bool operator==(const PixelBuffer& a, const PixelBuffer& b);

    static constexpr int MaxSide = 16384;

    static std::uint32_t FromColor(TColor c);
    static TColor ToColor(std::uint32_t pixel);

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<std::uint32_t> FPixels;
    std::uint32_t* FData = nullptr; // FPixels' or the adopted pixels
};

} // namespace vcl
