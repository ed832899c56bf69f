#include "platform/vcl/RadioButton.h"

#include "platform/vcl/detail/CheckMark.h"

namespace vcl {

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool checked)
{
    if (checked == FChecked)
        return;
    FChecked = checked;
    SetTabStop(checked);
    Invalidate();
    if (!checked)
        return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    Click();
}

void TRadioButton::KeyPressDefault(char16_t& Key)
{
    if (Key == u' ') {
        Key = 0;
        InputClick();
    }
}

void TRadioButton::Paint(TCanvas& canvas) { detail::PaintMark(canvas, *this, FChecked, true); }

} // namespace vcl
