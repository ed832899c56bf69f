// A push button. Click sets the form's ModalResult to the button's own
// (when not 0) before OnClick, as the framework; Enter and Space click a
// focused button; Default and Cancel buttons take Enter and Escape anywhere
// in their form.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult r) { FModalResult = r; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }

    void Click() override;
    void Paint(TCanvas& canvas) override;

protected:
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;

private:
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
};

} // namespace vcl
