// A page of a page control. Its caption is the text of its tab; its page
// control shows it while it is the active page and hides it otherwise.
// Setting PageControl (or a page control as Parent) adds it as the last
// page; it leaves its page control when moved elsewhere or destroyed.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* pageControl);
    // The place among its page control's pages, -1 without one.
    int PageIndex() const;

    void SetParent(TWinControl* AParent) override;
    void Paint(TCanvas& canvas) override;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
};

} // namespace vcl
