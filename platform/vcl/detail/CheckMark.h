// The box or dot and caption of check boxes and radio buttons.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Control.h"

namespace vcl::detail {

inline void PaintMark(TCanvas& canvas, const TControl& c, bool checked, bool round)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = c.Color();
    canvas.FillRect(TRect(0, 0, c.Width(), c.Height()));
    const int box = std::min(13, c.Height());
    const int top = (c.Height() - box) / 2;
    canvas.Brush.Color = clWindow;
    canvas.Pen.Color = clBtnShadow;
    canvas.Pen.Width = 1;
    canvas.Rectangle(TRect(0, top, box, top + box));
    if (checked && round) {
        canvas.Brush.Color = c.Enabled() ? clWindowText : clGrayText;
        canvas.FillRect(TRect(4, top + 4, box - 4, top + box - 4));
    } else if (checked) {
        // A tick, two pixels thick, from the left middle down to the
        // bottom third and up to the top right corner.
        const TColor ink = c.Enabled() ? clWindowText : clGrayText;
        const int x0 = 3, y0 = top + box / 2 - 1;
        const int x1 = box / 2 - 1, y1 = top + box - 4;
        const int x2 = box - 3, y2 = top + 2;
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
    canvas.Font = *c.Font();
    if (!c.Enabled())
        canvas.Font.SetColor(clGrayText);
    canvas.Brush.Style = bsClear;
    canvas.TextOut(box + 4, (c.Height() - canvas.TextHeight(c.Caption())) / 2, c.Caption());
}

} // namespace vcl::detail
