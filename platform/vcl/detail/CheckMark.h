// The box or dot and caption of check boxes and radio buttons; the tick
// of the list view's check boxes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Control.h"

namespace vcl::detail {

// A tick, two pixels thick, in the box of side box at left, top: from the
// left middle down to the bottom third and up to the top right corner.
inline void PaintTick(TCanvas& canvas, int left, int top, int box, TColor ink)
{
    const int x0 = left + 3, y0 = top + box / 2 - 1;
    const int x1 = left + box / 2 - 1, y1 = top + box - 4;
    const int x2 = left + box - 3, y2 = top + 2;
    auto line = [&](int ax, int ay, int bx, int by) {
        const int steps = std::max(std::abs(bx - ax), std::abs(by - ay));
        for (int i = 0; i <= steps; ++i) {
            const int x = ax + (bx - ax) * i / std::max(1, steps);
            const int y = ay + (by - ay) * i / std::max(1, steps);
            canvas.SetPixel(x, y, ink);
            canvas.SetPixel(x, y + 1, ink);
        }
    };
    line(x0, y0, x1, y1);
    line(x1, y1, x2, y2);
}

inline void PaintMark(TCanvas& canvas, const TControl& c, bool checked, bool round)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = c.Color();
    canvas.FillRect(TRect(0, 0, c.Width(), c.Height()));
    const int box = std::min(13, c.Height());
    const int top = (c.Height() - box) / 2;
    const TColor ink = c.Enabled() ? clWindowText : clGrayText;
    if (round) {
        // A ring round a white disc, with a dot when checked; each pixel
        // covered by its distance from the centre, edges blended, so that
        // small sizes stay round.
        const double centre = (box - 1) / 2.0;
        const double outer = box / 2.0, ring = outer - 1.5, dot = box / 4.0;
        const auto cover = [](double edge, double d) { return std::clamp(edge - d + 0.5, 0.0, 1.0); };
        const auto mix = [](TColor under, TColor over, double amount) {
            const auto part = [&](std::uint8_t a, std::uint8_t b) {
                return static_cast<std::uint8_t>(std::lround(a + (b - a) * amount));
            };
            return RGB(part(GetRValue(under), GetRValue(over)), part(GetGValue(under), GetGValue(over)),
                       part(GetBValue(under), GetBValue(over)));
        };
        const TColor frame = ColorToRGB(clBtnShadow), paper = ColorToRGB(clWindow), dotInk = ColorToRGB(ink);
        for (int y = 0; y < box; ++y)
            for (int x = 0; x < box; ++x) {
                const double dx = x - centre, dy = y - centre;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (cover(outer, d) <= 0)
                    continue;
                TColor c = mix(ColorToRGB(canvas.Pixel(x, top + y)), frame, cover(outer, d));
                c = mix(c, paper, cover(ring, d));
                if (checked)
                    c = mix(c, dotInk, cover(dot, d));
                canvas.SetPixel(x, top + y, c);
            }
    } else {
        canvas.Brush.Color = clWindow;
        canvas.Pen.Color = clBtnShadow;
        canvas.Pen.Width = 1;
        canvas.Rectangle(TRect(0, top, box, top + box));
    }
    if (checked && !round)
        PaintTick(canvas, 0, top, box, ink);
    canvas.Font = *c.Font();
    if (!c.Enabled())
        canvas.Font.SetColor(clGrayText);
    canvas.Brush.Style = bsClear;
    canvas.TextOut(box + 4, (c.Height() - canvas.TextHeight(c.Caption())) / 2, c.Caption());
}

} // namespace vcl::detail
