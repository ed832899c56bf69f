#include "platform/vcl/Button.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/CustomForm.h"

namespace vcl {

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::Click()
{
    if (FModalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::KeyDownDefault(std::uint16_t& Key, TShiftState)
{
    if (Key == VK_RETURN || Key == VK_SPACE) {
        Key = 0;
        Click();
    }
}

void TButton::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBtnFace;
    canvas.Pen.Color = Focused() ? clBlack : clBtnShadow;
    canvas.Pen.Width = 1;
    canvas.Rectangle(TRect(0, 0, Width(), Height()));
    canvas.Font = *Font();
    if (!Enabled())
        canvas.Font.SetColor(clGrayText);
    canvas.Brush.Style = bsClear;
    const int tw = canvas.TextWidth(Caption()), th = canvas.TextHeight(Caption());
    canvas.TextOut((Width() - tw) / 2, (Height() - th) / 2, Caption());
}

} // namespace vcl
