#include "platform/vcl/TrackBar.h"

#include <algorithm>
#include <cmath>

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
    case VK_UP:
        Apply(FPosition - 1);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        Apply(FPosition + 1);
        break;
    case VK_PRIOR:
        Apply(FPosition - FPageSize);
        break;
    case VK_NEXT:
        Apply(FPosition + FPageSize);
        break;
    case VK_HOME:
        Apply(FMin);
        break;
    case VK_END:
        Apply(FMax);
        break;
    default:
        return;
    }
    Key = 0;
}

int TTrackBar::PixelOf(int position) const
{
    const long long range = static_cast<long long>(FMax) - FMin;
    const int length = FOrientation == trHorizontal ? Width() : Height();
    const long long span = std::max(0, length - 2 * ThumbMargin() - 1);
    if (range <= 0)
        return ThumbMargin();
    const long long offset = std::clamp<long long>(static_cast<long long>(position) - FMin, 0, range);
    // In long double: offset times span can pass 64 bits on a bar of 2^32 positions.
    return ThumbMargin() + static_cast<int>(std::floor(static_cast<long double>(offset) * span / range + 0.5L));
}

int TTrackBar::PositionAt(int pixel) const
{
    const long long range = static_cast<long long>(FMax) - FMin;
    const int length = FOrientation == trHorizontal ? Width() : Height();
    const long long span = std::max(0, length - 2 * ThumbMargin() - 1);
    if (range <= 0 || span == 0)
        return FMin;
    const long long along = std::clamp<long long>(static_cast<long long>(pixel) - ThumbMargin(), 0, span);
    const long double steps = std::floor(static_cast<long double>(along) * range / span + 0.5L);
    return static_cast<int>(FMin + static_cast<long long>(steps));
}

namespace {
// The thumb's body and point along the cross axis: top of the body, bottom
// of the point (exclusive).
int ThumbStart() { return 2; }
int ThumbEnd(int crossSize) { return ThumbStart() + std::max(6, std::min(18, crossSize - 10)); }
} // namespace

TRect TTrackBar::ThumbRect() const
{
    const int at = PixelOf(FPosition);
    if (FOrientation == trHorizontal)
        return TRect(at - 5, ThumbStart(), at + 6, ThumbEnd(Height()));
    return TRect(ThumbStart(), at - 5, ThumbEnd(Width()), at + 6);
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (ThumbRect().Contains(TPoint(X, Y))) {
        FDragging = true;
        return;
    }
    const int along = FOrientation == trHorizontal ? X : Y;
    const int step = std::max(1, FPageSize);
    if (along < PixelOf(FPosition))
        Apply(FPosition - step);
    else
        Apply(FPosition + step);
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TWinControl::MouseMove(Shift, X, Y);
    if (FDragging)
        Apply(PositionAt(FOrientation == trHorizontal ? X : Y));
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FDragging && Button == mbLeft) {
        FDragging = false;
        Apply(PositionAt(FOrientation == trHorizontal ? X : Y));
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TTrackBar::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    const bool horizontal = FOrientation == trHorizontal;
    const int length = horizontal ? Width() : Height();
    const int cross = horizontal ? Height() : Width();
    // Draws in (along, across) coordinates, swapped for a vertical bar.
    auto fill = [&](int a0, int c0, int a1, int c1, TColor colour) {
        canvas.Brush.Color = colour;
        canvas.FillRect(horizontal ? TRect(a0, c0, a1, c1) : TRect(c0, a0, c1, a1));
    };
    const int start = ThumbStart(), end = ThumbEnd(cross);
    const int pointLength = std::min(4, (end - start) / 3);
    const int body = end - pointLength;
    const int channel = start + (body - start) / 2 - 2;

    // The sunken channel.
    fill(ThumbMargin() - 3, channel, length - ThumbMargin() + 3, channel + 4, clWindow);
    fill(ThumbMargin() - 3, channel, length - ThumbMargin() + 3, channel + 1, clBtnShadow);
    fill(ThumbMargin() - 3, channel, ThumbMargin() - 2, channel + 4, clBtnShadow);
    fill(ThumbMargin() - 3, channel + 3, length - ThumbMargin() + 3, channel + 4, clBtnHighlight);

    // A tick under every Frequency-th position, the ends longer.
    const long long range = static_cast<long long>(FMax) - FMin;
    const int every = std::max(1, FFrequency);
    if (end + 3 <= cross && range >= 0 && range / every <= length) {
        for (long long p = FMin; p <= FMax; p += every) {
            const int at = PixelOf(static_cast<int>(p));
            const bool endTick = p == FMin || p == FMax;
            fill(at, end + 2, at + 1, std::min(cross, end + (endTick ? 6 : 5)), clWindowText);
        }
        // The last position has its tick even off the Frequency grid.
        const int last = PixelOf(FMax);
        fill(last, end + 2, last + 1, std::min(cross, end + 6), clWindowText);
    }

    // The thumb: a raised body that points down (right) at the ticks, with
    // a grey outline so that it stands out from the face colour.
    const int at = PixelOf(FPosition);
    fill(at - 5, start, at + 6, body, clBtnFace);
    for (int i = 0; i < pointLength; ++i)
        fill(at - 5 + i + 1, body + i, at + 6 - i - 1, body + i + 1, clBtnFace);
    fill(at - 5, start, at + 6, start + 1, clBtnShadow);
    fill(at - 5, start, at - 4, body, clBtnShadow);
    fill(at + 5, start, at + 6, body, clWindowText);
    fill(at - 4, start + 1, at + 5, start + 2, clBtnHighlight);
    fill(at - 4, start + 1, at - 3, body, clBtnHighlight);
    fill(at + 4, start + 1, at + 5, body, clBtnShadow);
    for (int i = 0; i < pointLength; ++i) {
        fill(at - 5 + i, body + i, at - 4 + i, body + i + 1, clBtnShadow);
        fill(at + 5 - i, body + i, at + 6 - i, body + i + 1, clWindowText);
    }
    fill(at, end - 1, at + 1, end, clWindowText);
}

} // namespace vcl
