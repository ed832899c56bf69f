#include "platform/vcl/ProgressBar.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

namespace vcl {

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 17); }

void TProgressBar::Clamp()
{
    // An inverted range behaves as an empty one at Min.
    FPosition = FMax >= FMin ? std::clamp(FPosition, FMin, FMax) : FMin;
    Invalidate();
}

void TProgressBar::SetMin(int v)
{
    FMin = v;
    Clamp();
}

void TProgressBar::SetMax(int v)
{
    FMax = v;
    Clamp();
}

void TProgressBar::SetPosition(int v)
{
    FPosition = v;
    Clamp();
}

void TProgressBar::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBtnFace;
    canvas.Pen.Color = clBtnShadow;
    canvas.Pen.Width = 1;
    canvas.Rectangle(TRect(0, 0, Width(), Height()));
    const long long range = static_cast<long long>(FMax) - FMin;
    if (range <= 0)
        return;
    const long long done = static_cast<long long>(FPosition) - FMin;
    canvas.Brush.Color = clHighlight;
    if (FOrientation == pbHorizontal) {
        const int w = static_cast<int>(done * (Width() - 2) / range);
        canvas.FillRect(TRect(1, 1, 1 + w, Height() - 1));
    } else {
        const int h = static_cast<int>(done * (Height() - 2) / range);
        canvas.FillRect(TRect(1, Height() - 1 - h, Width() - 1, Height() - 1));
    }
}

} // namespace vcl
