#include "platform/vcl/ImageList.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Canvas.h"

namespace vcl {

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

void TImageList::SetSize(int width, int height)
{
    FWidth = std::clamp(width, 1, 256);
    FHeight = std::clamp(height, 1, 256);
    FPictures.clear();
}

int TImageList::Add(const TBitmap& picture)
{
    TBitmap fitted(FWidth, FHeight);
    const PixelBuffer& from = picture.Pixels();
    // Padding takes the transparent colour of the picture, so it stays unseen.
    const std::uint32_t pad = from.Empty() ? 0xFFFFFF : from.Pixel(0, from.Height() - 1);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            fitted.Pixels().SetPixel(x, y, x < from.Width() && y < from.Height() ? from.Pixel(x, y) : pad);
    FPictures.push_back(fitted);
    return Count() - 1;
}

const TBitmap& TImageList::Picture(int index) const
{
    if (index < 0 || index >= Count())
        throw rtl::EListError(u"Image index out of bounds (%d)", index);
    return FPictures[static_cast<std::size_t>(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    const PixelBuffer& p = FPictures[static_cast<std::size_t>(index)].Pixels();
    const std::uint32_t transparent = p.Pixel(0, p.Height() - 1);
    for (int py = 0; py < p.Height(); ++py)
        for (int px = 0; px < p.Width(); ++px) {
            const std::uint32_t pixel = p.Pixel(px, py);
            if (FMasked && pixel == transparent)
                continue;
            canvas.SetPixel(x + px, y + py, PixelBuffer::ToColor(pixel));
        }
}

} // namespace vcl
