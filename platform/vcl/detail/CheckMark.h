// The box or dot and caption of check boxes and radio buttons.
#pragma once

#include <algorithm>

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
    if (checked) {
        canvas.Brush.Color = c.Enabled() ? clWindowText : clGrayText;
        const int inset = round ? 4 : 3;
        canvas.FillRect(TRect(inset, top + inset, box - inset, top + box - inset));
    }
    canvas.Font = *c.Font();
    if (!c.Enabled())
        canvas.Font.SetColor(clGrayText);
    canvas.Brush.Style = bsClear;
    canvas.TextOut(box + 4, (c.Height() - canvas.TextHeight(c.Caption())) / 2, c.Caption());
}

} // namespace vcl::detail
