#include "platform/vcl/ScrollBar.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Canvas.h"

namespace vcl {

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 17);
}

int TScrollBar::Clamp(int v) const
{
    long long high = FMax;
    if (FPageSize > 0)
        high = std::max<long long>(static_cast<long long>(FMax) - FPageSize + 1, FMin);
    return static_cast<int>(std::clamp<long long>(v, FMin, high));
}

void TScrollBar::SetParams(int position, int min, int max)
{
    if (max < min)
        throw rtl::EInvalidOperation(u"Scroll bar property out of range");
    FMin = min;
    FMax = max;
    if (FPageSize > max - min + 1)
        FPageSize = max - min + 1;
    const int clamped = Clamp(position);
    const bool changed = clamped != FPosition;
    FPosition = clamped;
    Invalidate();
    if (changed && OnChange)
        OnChange(this);
}

void TScrollBar::SetPageSize(int v)
{
    const long long span = static_cast<long long>(FMax) - FMin + 1;
    if (v < 0 || v > span)
        throw rtl::EInvalidOperation(u"Scroll bar property out of range");
    FPageSize = v;
    SetParams(FPosition, FMin, FMax);
}

void TScrollBar::Scroll(TScrollCode code, int trackPosition)
{
    long long pos = FPosition;
    switch (code) {
    case scLineUp:
        pos -= FSmallChange;
        break;
    case scLineDown:
        pos += FSmallChange;
        break;
    case scPageUp:
        pos -= FLargeChange;
        break;
    case scPageDown:
        pos += FLargeChange;
        break;
    case scPosition:
    case scTrack:
        pos = trackPosition;
        break;
    case scTop:
        pos = FMin;
        break;
    case scBottom:
        pos = FMax;
        break;
    case scEndScroll:
        break;
    }
    int scrollPos = Clamp(static_cast<int>(std::clamp<long long>(pos, INT32_MIN, INT32_MAX)));
    const auto life = LifeToken();
    if (OnScroll)
        OnScroll(this, code, scrollPos);
    if (Alive(life))
        SetPosition(scrollPos);
}

void TScrollBar::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clScrollBar;
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    const long long range = static_cast<long long>(FMax) - FMin;
    const bool horizontal = FKind == sbHorizontal;
    const int length = horizontal ? Width() : Height();
    const int thick = horizontal ? Height() : Width();
    const int track = std::max(length - 2 * thick - thick, 0);
    const int at = thick + (range > 0 ? static_cast<int>((FPosition - FMin) * track / range) : 0);
    canvas.Brush.Color = clBtnFace;
    canvas.Pen.Color = clBtnShadow;
    canvas.Pen.Width = 1;
    if (horizontal)
        canvas.Rectangle(TRect(at, 0, at + thick, Height()));
    else
        canvas.Rectangle(TRect(0, at, Width(), at + thick));
}

} // namespace vcl
