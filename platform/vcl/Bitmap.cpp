#include "platform/vcl/Bitmap.h"

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

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const
{
    canvas.CopyFrom(rect, FPixels, TRect(0, 0, Width(), Height()));
}

std::unique_ptr<TGraphic> TBitmap::Clone() const { return std::make_unique<TBitmap>(*this); }

} // namespace vcl
