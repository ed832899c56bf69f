// A radio button. Becoming checked unchecks the other radio buttons of the
// same parent and raises OnClick; a click on a checked one does nothing.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);

    void InputClick() override { SetChecked(true); }
    void Paint(TCanvas& canvas) override;

protected:
    void KeyPressDefault(char16_t& Key) override;

private:
    bool FChecked = false;
};

} // namespace vcl
