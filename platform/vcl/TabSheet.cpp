#include "platform/vcl/TabSheet.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/PageControl.h"

namespace vcl {

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    for (int i = 0; i < FPageControl->PageCount(); ++i)
        if (FPageControl->Pages(i) == this)
            return i;
    return -1;
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    TWinControl::SetParent(AParent);
    auto* pageControl = dynamic_cast<TPageControl*>(Parent());
    if (pageControl == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = pageControl;
    if (FPageControl)
        FPageControl->InsertPage(this);
}

void TTabSheet::TextChanged()
{
    // The caption is the tab's text.
    if (FPageControl)
        FPageControl->Invalidate();
}

void TTabSheet::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(TRect(0, 0, Width(), Height()));
}

} // namespace vcl
