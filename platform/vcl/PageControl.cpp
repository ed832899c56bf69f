#include "platform/vcl/PageControl.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/TabSheet.h"

namespace vcl {

namespace {
constexpr int kTabPadding = 8; // each side of a tab's text
constexpr int kFirstTab = 2; // the first tab's left edge
constexpr int kFrame = 4; // from the control's edge to the pages
} // namespace

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const
{
    if (index < 0 || index >= PageCount())
        throw rtl::EListError(UnicodeString(u"List index out of bounds (") + UnicodeString(index) + u")");
    return FPages[static_cast<std::size_t>(index)];
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->FPageControl != this)
        return;
    if (page == FActivePage)
        return;
    TTabSheet* previous = FActivePage;
    FActivePage = page;
    if (page) {
        page->BringToFront();
        page->Show();
    }
    if (previous)
        previous->Hide();
    Invalidate();
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<std::size_t>(index)] : nullptr);
}

int TPageControl::TabHeight() const { return TCanvas::TextHeightOf(*Font(), u"") + 8; }

TRect TPageControl::TabRect(int index) const
{
    if (index < 0 || index >= PageCount())
        return TRect(0, 0, 0, 0);
    int left = kFirstTab;
    for (int i = 0; i < index; ++i)
        left += TCanvas::TextWidthOf(*Font(), FPages[static_cast<std::size_t>(i)]->Caption()) + 2 * kTabPadding;
    const UnicodeString& text = FPages[static_cast<std::size_t>(index)]->Caption();
    const int width = TCanvas::TextWidthOf(*Font(), text) + 2 * kTabPadding;
    return TRect(left, 2, left + width, TabHeight());
}

int TPageControl::IndexOfTabAt(int x, int y) const
{
    for (int i = 0; i < PageCount(); ++i)
        if (TabRect(i).Contains(TPoint(x, y)))
            return i;
    return -1;
}

TRect TPageControl::DisplayRect() const
{
    return TRect(kFrame, TabHeight() + kFrame, std::max(kFrame, Width() - kFrame),
                 std::max(TabHeight() + kFrame, Height() - kFrame));
}

void TPageControl::PlacePages()
{
    const TRect r = DisplayRect();
    for (TTabSheet* page : FPages)
        page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::BoundsChanged(bool sizeChanged)
{
    TWinControl::BoundsChanged(sizeChanged);
    if (sizeChanged)
        PlacePages();
}

void TPageControl::FontChanged()
{
    TWinControl::FontChanged();
    PlacePages();
}

void TPageControl::InsertPage(TTabSheet* page)
{
    FPages.push_back(page);
    const TRect r = DisplayRect();
    page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    if (!FActivePage)
        SetActivePage(page);
    else
        page->Hide();
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end())
        return;
    const auto index = it - FPages.begin();
    FPages.erase(it);
    page->FPageControl = nullptr;
    if (page == FActivePage) {
        FActivePage = nullptr;
        if (!FPages.empty())
            SetActivePage(FPages[std::min<std::size_t>(static_cast<std::size_t>(index), FPages.size() - 1)]);
    }
    Invalidate();
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int index = IndexOfTabAt(X, Y);
    if (index < 0 || FPages[static_cast<std::size_t>(index)] == FActivePage)
        return;
    const auto life = LifeToken();
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow || !Alive(life) || index >= PageCount())
        return;
    SetActivePage(FPages[static_cast<std::size_t>(index)]);
    if (OnChange)
        OnChange(this);
}

void TPageControl::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    auto fill = [&](int l, int t, int r, int b, TColor colour) {
        canvas.Brush.Color = colour;
        canvas.FillRect(TRect(l, t, r, b));
    };
    auto outline = [&](const TRect& r, bool bottom) {
        fill(r.Left, r.Top, r.Right, r.Top + 1, clBtnShadow);
        fill(r.Left, r.Top, r.Left + 1, r.Bottom, clBtnShadow);
        fill(r.Right - 1, r.Top, r.Right, r.Bottom, clBtnShadow);
        if (bottom)
            fill(r.Left, r.Bottom - 1, r.Right, r.Bottom, clBtnShadow);
    };
    constexpr TColor kBackTab = 0x00E3E3E3; // the tabs behind, a shade darker than the face

    // The frame around the pages.
    const int top = TabHeight();
    outline(TRect(0, top, Width(), Height()), true);

    // The tabs behind first, then the active one, taller and open into the
    // frame.
    canvas.Font = *Font();
    const int active = ActivePageIndex();
    auto tab = [&](int i) {
        const bool isActive = i == active;
        TRect r = TabRect(i);
        if (isActive)
            r = TRect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 1);
        fill(r.Left, r.Top, r.Right, r.Bottom, isActive ? Color() : kBackTab);
        outline(r, false);
        const UnicodeString& text = FPages[static_cast<std::size_t>(i)]->Caption();
        canvas.Font.SetColor(Enabled() ? Font()->Color() : clGrayText);
        canvas.Brush.Style = bsClear;
        canvas.TextOut((r.Left + r.Right - canvas.TextWidth(text)) / 2,
                       r.Top + (r.Height() - canvas.TextHeight(text)) / 2 + (isActive ? 0 : 1), text);
        canvas.Brush.Style = bsSolid;
    };
    for (int i = 0; i < PageCount(); ++i)
        if (i != active)
            tab(i);
    if (active >= 0)
        tab(active);
}

} // namespace vcl
