#include "platform/vcl/CheckBox.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/detail/CheckMark.h"

namespace vcl {

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetParentColor(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool checked)
{
    if (checked == FChecked)
        return;
    FChecked = checked;
    Invalidate();
    Click();
}

void TCheckBox::KeyPressDefault(char16_t& Key)
{
    if (Key == u' ') {
        Key = 0;
        InputClick();
    }
}

void TCheckBox::Paint(TCanvas& canvas) { detail::PaintMark(canvas, *this, FChecked, false); }

} // namespace vcl
