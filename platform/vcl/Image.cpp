#include "platform/vcl/Image.h"

#include "platform/vcl/Canvas.h"

namespace vcl {

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 105, 105);
    FPicture.OnChange = [this] {
        Invalidate();
        if (AutoSize())
            AdjustSize();
    };
}

void TImage::AdjustSize()
{
    if (AutoSize() && FPicture.Graphic() && !FPicture.Graphic()->Empty())
        SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
}

TRect TImage::DestRect() const
{
    int w = FPicture.Width(), h = FPicture.Height();
    if (w <= 0 || h <= 0)
        return TRect();
    const int cw = Width(), ch = Height();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional) {
            // Fit inside, keeping the aspect (64-bit products).
            if (static_cast<long long>(cw) * h > static_cast<long long>(ch) * w) {
                w = static_cast<int>(static_cast<long long>(ch) * w / h);
                h = ch;
            } else {
                h = static_cast<int>(static_cast<long long>(cw) * h / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Bounds(x, y, w, h);
}

void TImage::Paint(TCanvas& canvas)
{
    if (FPicture.Graphic())
        canvas.StretchDraw(DestRect(), FPicture.Graphic());
}

} // namespace vcl
