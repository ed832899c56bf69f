#include "platform/vcl/TrackBar.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

namespace vcl {

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::Apply(int position)
{
    const int clamped = FMax >= FMin ? std::clamp(position, FMin, FMax) : FMin;
    if (clamped == FPosition)
        return;
    FPosition = clamped;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TTrackBar::SetMin(int v)
{
    FMin = v;
    if (FMax < FMin)
        FMax = FMin;
    Apply(FPosition);
}

void TTrackBar::SetMax(int v)
{
    FMax = v;
    if (FMin > FMax)
        FMin = FMax;
    Apply(FPosition);
}

void TTrackBar::SetPosition(int v) { Apply(v); }

void TTrackBar::KeyDownDefault(std::uint16_t& Key, TShiftState)
{
    switch (Key) {
    case VK_LEFT:
    case VK_UP: Apply(FPosition - 1); break;
    case VK_RIGHT:
    case VK_DOWN: Apply(FPosition + 1); break;
    case VK_PRIOR: Apply(FPosition - FPageSize); break;
    case VK_NEXT: Apply(FPosition + FPageSize); break;
    case VK_HOME: Apply(FMin); break;
    case VK_END: Apply(FMax); break;
    default: return;
    }
    Key = 0;
}

void TTrackBar::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    const long long range = static_cast<long long>(FMax) - FMin;
    canvas.Brush.Color = clBtnShadow;
    if (FOrientation == trHorizontal) {
        canvas.FillRect(TRect(8, Height() / 2 - 2, Width() - 8, Height() / 2 + 2));
        const int x = 8 + (range > 0 ? static_cast<int>((FPosition - FMin) * (Width() - 16) / range) : 0);
        canvas.Brush.Color = clBtnFace;
        canvas.Rectangle(TRect(x - 5, 2, x + 6, Height() - 2));
    } else {
        canvas.FillRect(TRect(Width() / 2 - 2, 8, Width() / 2 + 2, Height() - 8));
        const int y = 8 + (range > 0 ? static_cast<int>((FPosition - FMin) * (Height() - 16) / range) : 0);
        canvas.Brush.Color = clBtnFace;
        canvas.Rectangle(TRect(2, y - 5, Width() - 2, y + 6));
    }
}

} // namespace vcl
