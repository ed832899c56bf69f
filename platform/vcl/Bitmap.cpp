#include "platform/vcl/Bitmap.h"

#include <algorithm>

namespace vcl {

TBitmap::TBitmap() : FCanvas(&FPixels) {}

TBitmap::TBitmap(int width, int height) : FCanvas(&FPixels) { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other) : TGraphic(), FPixels(other.FPixels), FCanvas(&FPixels) {}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this != &other) {
        FPixels = other.FPixels;
        FCanvas.SetTarget(&FPixels);
    }
    return *this;
}

void TBitmap::SetSize(int width, int height)
{
    FPixels.Resize(width, height, PixelBuffer::FromColor(clWhite));
    FCanvas.SetTarget(&FPixels);
}

void TBitmap::SetHandle(win::HBITMAP bitmap)
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // A bitmap still selected into a context cannot be taken over.
    if (!win::BitmapPixels(bitmap, width, height, pixels) || !win::DeleteObject(bitmap))
        throw EInvalidGraphic(u"Invalid graphic handle");
    FPixels.Resize(width, height);
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * width, width, FPixels.Row(y));
    FCanvas.SetTarget(&FPixels);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const
{
    canvas.CopyFrom(rect, FPixels, TRect(0, 0, Width(), Height()));
}

std::unique_ptr<TGraphic> TBitmap::Clone() const { return std::make_unique<TBitmap>(*this); }

} // namespace vcl
