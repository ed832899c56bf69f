// A page control: tabs along the top, one per page (TTabSheet), and the
// active page below them. Only the active page shows.
//
// The first page added becomes the active one. The program's change of
// ActivePage raises no event; a person's press on another tab raises
// OnChanging (which may refuse) and, after the switch, OnChange. A removed
// active page passes the activation to the page after it (else the one
// before). A bad page index raises EListError.
#pragma once

#include <functional>
#include <vector>

#include "platform/vcl/WinControl.h"

namespace vcl {

class TTabSheet;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const;
    // Null when there is no page. A page of another control is ignored.
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    // -1 when there is no active page; an index out of range leaves none.
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

    // Geometry in client pixels: the height of the tab row, one tab, the tab
    // under a point (-1 when none) and the area the pages fill.
    int TabHeight() const;
    TRect TabRect(int index) const;
    int IndexOfTabAt(int x, int y) const;
    TRect DisplayRect() const;

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint(TCanvas& canvas) override;

protected:
    void BoundsChanged(bool sizeChanged) override;
    void FontChanged() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void PlacePages();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

} // namespace vcl
