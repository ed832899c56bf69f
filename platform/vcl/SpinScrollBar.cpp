#include "platform/vcl/SpinScrollBar.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

namespace vcl {

namespace {

// A raised (or, pressed, sunken) button face with a small solid triangle
// pointing up (first) or down (second); sideways for a horizontal bar.
void DrawArrowButton(TCanvas& c, const TRect& r, bool first, bool vertical, bool pressed, bool enabled)
{
    c.Brush.Style = bsSolid;
    c.Brush.Color = clBtnFace;
    c.FillRect(r);
    const TColor light = pressed ? clBtnShadow : clBtnHighlight;
    const TColor dark = pressed ? clBtnHighlight : clBtnShadow;
    c.Pen.Width = 1;
    c.Pen.Color = light;
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen.Color = dark;
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left, r.Bottom - 1);

    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const int shift = pressed ? 1 : 0;
    const int cx = r.Left + w / 2 + shift, cy = r.Top + h / 2 + shift;
    const int size = std::max(1, std::min(w, h) / 4);
    const TColor ink = enabled ? clBlack : clGrayText;
    for (int k = 0; k < size; ++k) {
        // Row k of the triangle, from its point outwards.
        const int along = first ? -size / 2 + k : size / 2 - k;
        for (int across = -k; across <= k; ++across) {
            if (vertical)
                c.SetPixel(cx + across, cy + along, ink);
            else
                c.SetPixel(cx + along, cy + across, ink);
        }
    }
}

} // namespace

TSpinScrollBar::TSpinScrollBar(TComponent* AOwner) : TScrollBar(AOwner)
{
    SetKind(sbVertical);
    SetBounds(0, 0, 17, 24);
}

void TSpinScrollBar::Paint(TCanvas& canvas)
{
    const bool vertical = Kind() == sbVertical;
    const int w = Width(), h = Height();
    if (vertical) {
        DrawArrowButton(canvas, TRect(0, 0, w, h / 2), true, true, FPressed == 0, Enabled());
        DrawArrowButton(canvas, TRect(0, h / 2, w, h), false, true, FPressed == 1, Enabled());
    } else {
        DrawArrowButton(canvas, TRect(0, 0, w / 2, h), true, false, FPressed == 0, Enabled());
        DrawArrowButton(canvas, TRect(w / 2, 0, w, h), false, false, FPressed == 1, Enabled());
    }
}

void TSpinScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TScrollBar::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    const bool first = Kind() == sbVertical ? Y < Height() / 2 : X < Width() / 2;
    FPressed = first ? 0 : 1;
    Invalidate();
    Scroll(first ? scLineUp : scLineDown);
}

void TSpinScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FPressed != -1) {
        FPressed = -1;
        Invalidate();
    }
    TScrollBar::MouseUp(Button, Shift, X, Y);
}

} // namespace vcl
