#include "platform/vcl/Panel.h"

#include "platform/vcl/Canvas.h"

namespace vcl {

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 41); }

namespace {
void Bevel(TCanvas& canvas, TRect& r, TBevelCut cut, int width)
{
    if (cut == bvNone)
        return;
    const TColor light = cut == bvRaised ? clBtnHighlight : clBtnShadow;
    const TColor dark = cut == bvRaised ? clBtnShadow : clBtnHighlight;
    for (int i = 0; i < width && !r.Empty(); ++i) {
        canvas.Brush.Color = light;
        canvas.FillRect(TRect(r.Left, r.Top, r.Right, r.Top + 1));
        canvas.FillRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom));
        canvas.Brush.Color = dark;
        canvas.FillRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        canvas.FillRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom));
        r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
}
} // namespace

void TPanel::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    TRect r(0, 0, Width(), Height());
    Bevel(canvas, r, FBevelOuter, FBevelWidth);
    r = TRect(r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth);
    Bevel(canvas, r, FBevelInner, FBevelWidth);
    if (FShowCaption && !Caption().IsEmpty()) {
        canvas.Font = *Font();
        canvas.Brush.Style = bsClear;
        const int tw = canvas.TextWidth(Caption());
        const int x = FAlignment == taCenter ? (Width() - tw) / 2 : FAlignment == taRightJustify ? Width() - tw - 2 : 2;
        canvas.TextOut(x, (Height() - canvas.TextHeight(Caption())) / 2, Caption());
    }
}

} // namespace vcl
