#include "platform/vcl/PixelBuffer.h"

#include <algorithm>
#include <utility>

namespace vcl {

namespace {
int ClampSide(int v) { return std::clamp(v, 0, PixelBuffer::MaxSide); }
} // namespace

PixelBuffer::PixelBuffer(int width, int height, std::uint32_t fill) { Resize(width, height, fill); }

PixelBuffer::PixelBuffer(const PixelBuffer& other)
    : FWidth(other.FWidth),
      FHeight(other.FHeight),
      FPixels(other.Pixels().begin(), other.Pixels().end()),
      FData(FPixels.data())
{
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other)
{
    if (this != &other) {
        FPixels.assign(other.Pixels().begin(), other.Pixels().end());
        FWidth = other.FWidth;
        FHeight = other.FHeight;
        FData = FPixels.data();
    }
    return *this;
}

// A moved vector keeps its storage, so an own FData stays valid.
PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : FWidth(other.FWidth), FHeight(other.FHeight), FPixels(std::move(other.FPixels)), FData(other.FData)
{
    other.FWidth = other.FHeight = 0;
    other.FPixels.clear();
    other.FData = nullptr;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    if (this != &other) {
        FWidth = other.FWidth;
        FHeight = other.FHeight;
        FPixels = std::move(other.FPixels);
        FData = other.FData;
        other.FWidth = other.FHeight = 0;
        other.FPixels.clear();
        other.FData = nullptr;
    }
    return *this;
}

void PixelBuffer::Resize(int width, int height, std::uint32_t fill)
{
    FWidth = ClampSide(width);
    FHeight = ClampSide(height);
    if (FWidth == 0 || FHeight == 0)
        FWidth = FHeight = 0;
    FPixels.assign(static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight), fill);
    FData = FPixels.data();
}

void PixelBuffer::Adopt(std::uint32_t* pixels, int width, int height)
{
    FPixels = {};
    if (pixels == nullptr || width <= 0 || height <= 0 || width > MaxSide || height > MaxSide) {
        FWidth = FHeight = 0;
        FData = nullptr;
        return;
    }
    FWidth = width;
    FHeight = height;
    FData = pixels;
}

bool operator==(const PixelBuffer& a, const PixelBuffer& b)
{
    return a.FWidth == b.FWidth && a.FHeight == b.FHeight && std::ranges::equal(a.Pixels(), b.Pixels());
}

TColor PixelBuffer::ColorAt(int x, int y) const { return ToColor(Pixel(x, y)); }

std::uint32_t PixelBuffer::FromColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(rgb)) << 16) |
        (static_cast<std::uint32_t>(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

TColor PixelBuffer::ToColor(std::uint32_t pixel)
{
    return RGB(static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
               static_cast<std::uint8_t>(pixel));
}

TColor ColorToRGB(TColor c)
{
    if (c == clNone || c == clDefault)
        return clBlack;
    if ((static_cast<std::uint32_t>(c) & 0xFF000000u) != 0xFF000000u)
        return c & 0x00FFFFFF;
    switch (c & 0xFF) {
    case 0:
        return 0xC8C8C8; // scroll bar
    case 1:
        return 0x000000; // desktop
    case 2:
        return 0xD1B499; // active caption
    case 5:
        return 0xFFFFFF; // window
    case 8:
        return 0x000000; // window text
    case 13:
        return 0xD77800; // highlight
    case 14:
        return 0xFFFFFF; // highlight text
    case 15:
        return 0xF0F0F0; // button face
    case 16:
        return 0xA0A0A0; // button shadow
    case 17:
        return 0x6D6D6D; // grey text
    case 18:
        return 0x000000; // button text
    case 20:
        return 0xFFFFFF; // button highlight
    default:
        return 0xF0F0F0;
    }
}

} // namespace vcl
