// A check box. Changing Checked raises OnClick, also when the program sets
// it (as the framework does); a click by the user toggles it.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);

    void InputClick() override { SetChecked(!FChecked); }
    void Paint(TCanvas& canvas) override;

protected:
    void KeyPressDefault(char16_t& Key) override;

private:
    bool FChecked = false;
};

} // namespace vcl
