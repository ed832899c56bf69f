// The list view in report style: columns with captions, rows of a caption
// and sub-items, check boxes, small pictures from an image list for the row,
// its sub-items and the column headers, and one selected row.
//
// Selection follows the framework: OnSelectItem runs synchronously on every
// real change, also a programmatic one (ItemIndex, Selected), first for the
// row that loses the selection (false), then for the one that takes it
// (true); setting the same state again raises nothing. Deleting rows and
// Clear raise no OnSelectItem: the selection just goes with the row. An
// index outside the rows raises EListError.
//
// Input: a click on a row selects it; a click on its check box toggles the
// box only (no selection); a click on a column header raises OnColumnClick;
// then OnClick (and OnDblClick) as for any control. Keys, with the focus:
// Up/Down, Home/End and PageUp/PageDown select another row as a click does
// (Ctrl moves only the focused row) and scroll it into view; Space toggles
// the focused row's check box. The focused row follows every selection.
// Rows are drawn by the control itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Strings.h"
#include "platform/vcl/WinControl.h"

namespace vcl {

class TImageList;
class TListView;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TListColumn {
public:
    const UnicodeString& Caption() const { return FCaption; }
    void SetCaption(const UnicodeString& caption);
    int Width() const { return FWidth; }
    // Not below MinWidth.
    void SetWidth(int width);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int width);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment a);
    // The header's picture from the view's small images; -1 none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    int Index() const { return FIndex; }

private:
    friend class TListView;
    explicit TListColumn(TListView* owner, int index) : FOwner(owner), FIndex(index) {}
    TListView* FOwner;
    int FIndex;
    UnicodeString FCaption;
    int FWidth = 50;
    int FMinWidth = 0;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
};

// The sub-item texts of a row, kept in one exactly sized block: a view of
// thousands of rows holds six short texts a row, which as separate strings
// cost several times their characters. Each text is its length (and whether
// it needs two bytes a unit) as a variable-length number, then its units:
// one byte each when every unit is below 0x100, as dates and counts are.
class TListItemStrings : public rtl::TStrings {
public:
    TListItemStrings() = default;
    TListItemStrings(const TListItemStrings&) = delete;
    TListItemStrings& operator=(const TListItemStrings&) = delete;
    int Count() const override { return FCount; }
    UnicodeString Strings(int index) const override;
    void SetStrings(int index, const UnicodeString& text) override;
    void Insert(int index, const UnicodeString& text) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const UnicodeString& text) override;

private:
    struct Entry {
        std::size_t units;
        bool wide;
        std::size_t textAt; // where its units start
        std::size_t end; // where the next entry starts
    };
    Entry EntryFrom(std::size_t at) const;
    // Where the entry of `index` (0..Count()) starts.
    std::size_t EntryAt(int index) const;
    // Replaces the `count` bytes at `at` with the entry of `text` (none: removes them).
    void Splice(std::size_t at, std::size_t count, const UnicodeString* text);
    std::unique_ptr<std::uint8_t[]> FData;
    std::uint32_t FSize = 0;
    int FCount = 0;
};

class TListItem {
public:
    const UnicodeString& Caption() const;
    void SetCaption(const UnicodeString& caption);
    // The texts of columns 1, 2, ... (edit freely; the view repaints on the
    // next paint).
    rtl::TStrings* SubItems() { return &FSubItems; }
    const rtl::TStrings* SubItems() const { return &FSubItems; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    // The picture of sub-item i (column i + 1); -1 none. A negative i raises
    // EListError; an index past the sub-items reads -1.
    int SubItemImages(int i) const;
    void SetSubItemImages(int i, int image);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    bool Selected() const;
    void SetSelected(bool selected);
    int Index() const { return FIndex; }
    TListView* ListView() const { return FOwner; }
    // Scrolls the row into view (partly visible is enough with partialOK).
    void MakeVisible(bool partialOK);

private:
    friend class TListView;
    friend class TListItems;
    explicit TListItem(TListView* owner) : FOwner(owner) {}
    // A row of thousands: its caption and the pictures past the first two
    // sub-items' take no room until they are set.
    TListView* FOwner;
    std::unique_ptr<UnicodeString> FCaption;
    TListItemStrings FSubItems;
    std::unique_ptr<std::vector<int>> FMoreSubItemImages;
    int FIndex = 0;
    int FImageIndex = -1;
    int FSubItemImages[2] = {-1, -1};
    bool FChecked = false;
};

class TListItems {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }
    TListItem* Add();
    // No OnSelectItem: a selected row just goes.
    void Delete(int index);
    void Clear();

private:
    friend class TListView;
    explicit TListItems(TListView* owner) : FOwner(owner) {}
    TListView* FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
};

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* AOwner);
    ~TListView() override;

    // --- columns ---
    int ColumnCount() const { return static_cast<int>(FColumns.size()); }
    TListColumn* AddColumn();
    // Raises EListError for a bad index.
    TListColumn* Column(int index) const;

    // --- rows ---
    TListItems* Items() { return &FItems; }
    const TListItems* Items() const { return &FItems; }
    // The selected row, or null.
    TListItem* Selected() const { return FSelected; }
    int SelCount() const { return FSelected ? 1 : 0; }
    // The selected row's index, or -1.
    int ItemIndex() const { return FSelected ? FSelected->Index() : -1; }
    // -1 deselects; other indexes outside the rows raise EListError.
    void SetItemIndex(int index);
    void ClearSelection() { SetItemIndex(-1); }
    // The row the keys act on (framed while the view has the focus), or null.
    TListItem* ItemFocused() const { return FFocused; }
    void SetItemFocused(TListItem* item);

    // --- look ---
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle style)
    {
        FViewStyle = style;
        Invalidate();
    }
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool v)
    {
        FCheckboxes = v;
        Invalidate();
    }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v)
    {
        FRowSelect = v;
        Invalidate();
    }
    TImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TImageList* images)
    {
        FSmallImages = images;
        Invalidate();
    }

    // --- scrolling ---
    // The first row shown.
    int TopIndex() const { return FTopIndex; }
    // Rows that fit below the header.
    int VisibleRowCount() const;
    static constexpr int HeaderHeight = 18;
    static constexpr int RowHeight = 17;
    // The row at a client point, or -1 (the header and empty space).
    int RowAt(int y) const;

    // Sender, the row, and whether it is now selected.
    std::function<void(TObject* Sender, TListItem* Item, bool Selected)> OnSelectItem;
    std::function<void(TObject* Sender, TListColumn* Column)> OnColumnClick;

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // The focus frame shows while the view has the focus.
    void DoEnter() override;
    void DoExit() override;

protected:
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;

private:
    friend class TListItem;
    friend class TListItems;
    // The one place the selection changes: events in the framework's order.
    void Select(TListItem* item);
    void ItemGone(TListItem* item);
    void ScrollTo(int index, bool partialOK);
    void ClampTop();
    // The row a navigation key leads to from the focused one, or -1.
    int KeyTarget(std::uint16_t key) const;

    std::vector<std::unique_ptr<TListColumn>> FColumns;
    TListItems FItems{this};
    TListItem* FSelected = nullptr;
    TListItem* FFocused = nullptr;
    TViewStyle FViewStyle = vsIcon;
    bool FCheckboxes = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    TImageList* FSmallImages = nullptr;
    int FTopIndex = 0;
};

} // namespace vcl
