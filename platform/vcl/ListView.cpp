#include "platform/vcl/ListView.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/detail/CheckMark.h"

namespace vcl {

namespace {

constexpr int kCheckBox = 13;
constexpr int kScrollWidth = 16;

} // namespace

// --- TListColumn ---

void TListColumn::SetCaption(const UnicodeString& caption)
{
    FCaption = caption;
    FOwner->Invalidate();
}

void TListColumn::SetWidth(int width)
{
    FWidth = std::max({width, FMinWidth, 0});
    FOwner->Invalidate();
}

void TListColumn::SetMinWidth(int width)
{
    FMinWidth = std::max(width, 0);
    if (FWidth < FMinWidth)
        SetWidth(FMinWidth);
}

void TListColumn::SetAlignment(TAlignment a)
{
    FAlignment = a;
    FOwner->Invalidate();
}

void TListColumn::SetImageIndex(int index)
{
    FImageIndex = index;
    FOwner->Invalidate();
}

// --- TListItemStrings ------------------------------------------------------

namespace {

bool IsNarrow(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

// A text's header: (units << 1 | wide), seven bits a byte, low first.
std::size_t HeaderSize(std::uint64_t value)
{
    std::size_t n = 1;
    for (; value >= 0x80; value >>= 7)
        ++n;
    return n;
}

} // namespace

TListItemStrings::Entry TListItemStrings::EntryFrom(std::size_t at) const
{
    std::uint64_t value = 0;
    std::size_t p = at;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t b = FData[p++];
        value |= std::uint64_t(b & 0x7F) << shift;
        if (b < 0x80)
            break;
    }
    Entry e{static_cast<std::size_t>(value >> 1), (value & 1) != 0, p, 0};
    e.end = p + e.units * (e.wide ? 2 : 1);
    return e;
}

std::size_t TListItemStrings::EntryAt(int index) const
{
    std::size_t at = 0;
    for (int i = 0; i < index; ++i)
        at = EntryFrom(at).end;
    return at;
}

void TListItemStrings::Splice(std::size_t at, std::size_t count, const UnicodeString* text)
{
    const std::u16string_view units = text ? text->view() : std::u16string_view();
    const bool wide = !IsNarrow(units);
    const std::uint64_t header = (std::uint64_t(units.size()) << 1) | (wide ? 1 : 0);
    const std::size_t entry = text ? HeaderSize(header) + units.size() * (wide ? 2 : 1) : 0;
    const std::size_t size = FSize - count + entry;
    if (size > UINT32_MAX)
        throw std::bad_alloc();
    std::unique_ptr<std::uint8_t[]> data;
    if (size > 0) {
        data = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        std::uint8_t* out = data.get();
        if (at > 0)
            std::memcpy(out, FData.get(), at);
        out += at;
        for (std::uint64_t v = header; text;) {
            *out++ = static_cast<std::uint8_t>((v & 0x7F) | (v >= 0x80 ? 0x80 : 0));
            if (v < 0x80)
                break;
            v >>= 7;
        }
        for (char16_t c : units) {
            *out++ = static_cast<std::uint8_t>(c & 0xFF);
            if (wide)
                *out++ = static_cast<std::uint8_t>(c >> 8);
        }
        if (FSize > at + count)
            std::memcpy(out, FData.get() + at + count, FSize - at - count);
    }
    FData = std::move(data);
    FSize = static_cast<std::uint32_t>(size);
}

UnicodeString TListItemStrings::Strings(int index) const
{
    if (index < 0 || index >= FCount)
        IndexError(index);
    const Entry e = EntryFrom(EntryAt(index));
    std::u16string text(e.units, u'\0');
    const std::uint8_t* in = FData.get() + e.textAt;
    for (std::size_t i = 0; i < e.units; ++i) {
        text[i] = e.wide ? static_cast<char16_t>(in[0] | (in[1] << 8)) : static_cast<char16_t>(in[0]);
        in += e.wide ? 2 : 1;
    }
    return UnicodeString(std::move(text));
}

void TListItemStrings::SetStrings(int index, const UnicodeString& text)
{
    if (index < 0 || index >= FCount)
        IndexError(index);
    const std::size_t at = EntryAt(index);
    Splice(at, EntryFrom(at).end - at, &text);
}

void TListItemStrings::Insert(int index, const UnicodeString& text)
{
    if (index < 0 || index > FCount)
        IndexError(index);
    Splice(EntryAt(index), 0, &text);
    ++FCount;
}

int TListItemStrings::Add(const UnicodeString& text)
{
    Splice(FSize, 0, &text);
    return FCount++;
}

void TListItemStrings::Delete(int index)
{
    if (index < 0 || index >= FCount)
        IndexError(index);
    const std::size_t at = EntryAt(index);
    Splice(at, EntryFrom(at).end - at, nullptr);
    --FCount;
}

void TListItemStrings::Clear()
{
    FData.reset();
    FSize = 0;
    FCount = 0;
}

// --- TListItem ---

const UnicodeString& TListItem::Caption() const
{
    static const UnicodeString none;
    return FCaption ? *FCaption : none;
}

void TListItem::SetCaption(const UnicodeString& caption)
{
    if (caption.IsEmpty())
        FCaption.reset();
    else if (FCaption)
        *FCaption = caption;
    else
        FCaption = std::make_unique<UnicodeString>(caption);
    FOwner->Invalidate();
}

void TListItem::SetImageIndex(int index)
{
    FImageIndex = index;
    FOwner->Invalidate();
}

int TListItem::SubItemImages(int i) const
{
    if (i < 0)
        throw rtl::EListError(u"List index out of bounds (%d)", i);
    if (i < 2)
        return FSubItemImages[i];
    const auto more = static_cast<std::size_t>(i - 2);
    return FMoreSubItemImages && more < FMoreSubItemImages->size() ? (*FMoreSubItemImages)[more] : -1;
}

void TListItem::SetSubItemImages(int i, int image)
{
    if (i < 0)
        throw rtl::EListError(u"List index out of bounds (%d)", i);
    if (i < 2) {
        FSubItemImages[i] = image;
    } else {
        if (!FMoreSubItemImages)
            FMoreSubItemImages = std::make_unique<std::vector<int>>();
        const auto more = static_cast<std::size_t>(i - 2);
        if (more >= FMoreSubItemImages->size())
            FMoreSubItemImages->resize(more + 1, -1);
        (*FMoreSubItemImages)[more] = image;
    }
    FOwner->Invalidate();
}

void TListItem::SetChecked(bool checked)
{
    FChecked = checked;
    FOwner->Invalidate();
}

bool TListItem::Selected() const { return FOwner->FSelected == this; }

void TListItem::SetSelected(bool selected)
{
    if (selected)
        FOwner->Select(this);
    else if (Selected())
        FOwner->Select(nullptr);
}

void TListItem::MakeVisible(bool partialOK) { FOwner->ScrollTo(FIndex, partialOK); }

// --- TListItems ---

TListItem* TListItems::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw rtl::EListError(u"List index out of bounds (%d)", index);
    return FItems[static_cast<std::size_t>(index)].get();
}

TListItem* TListItems::Add()
{
    FItems.push_back(std::unique_ptr<TListItem>(new TListItem(FOwner)));
    FItems.back()->FIndex = Count() - 1;
    FOwner->Invalidate();
    return FItems.back().get();
}

void TListItems::Delete(int index)
{
    TListItem* item = Item(index);
    FOwner->ItemGone(item);
    FItems.erase(FItems.begin() + index);
    for (int i = index; i < Count(); ++i)
        FItems[static_cast<std::size_t>(i)]->FIndex = i;
    FOwner->ClampTop();
    FOwner->Invalidate();
}

void TListItems::Clear()
{
    FOwner->FSelected = nullptr;
    FOwner->FFocused = nullptr;
    FItems.clear();
    FOwner->FTopIndex = 0;
    FOwner->Invalidate();
}

// --- TListView ---

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 250, 150);
}

TListView::~TListView() = default;

TListColumn* TListView::AddColumn()
{
    FColumns.push_back(std::unique_ptr<TListColumn>(new TListColumn(this, ColumnCount())));
    Invalidate();
    return FColumns.back().get();
}

TListColumn* TListView::Column(int index) const
{
    if (index < 0 || index >= ColumnCount())
        throw rtl::EListError(u"List index out of bounds (%d)", index);
    return FColumns[static_cast<std::size_t>(index)].get();
}

void TListView::SetItemIndex(int index) { Select(index == -1 ? nullptr : FItems.Item(index)); }

void TListView::Select(TListItem* item)
{
    if (item != nullptr && item != FFocused) {
        FFocused = item;
        Invalidate();
    }
    if (item == FSelected)
        return;
    // A handler may change the selection again; each change reports itself.
    if (TListItem* old = FSelected) {
        FSelected = nullptr;
        Invalidate();
        if (OnSelectItem)
            OnSelectItem(this, old, false);
        if (FSelected != nullptr)
            return;
    }
    if (item == nullptr)
        return;
    FSelected = item;
    Invalidate();
    if (OnSelectItem)
        OnSelectItem(this, item, true);
}

void TListView::ItemGone(TListItem* item)
{
    if (FSelected == item)
        FSelected = nullptr;
    if (FFocused == item)
        FFocused = nullptr;
}

void TListView::SetItemFocused(TListItem* item)
{
    if (item != nullptr && item->ListView() != this)
        return;
    FFocused = item;
    Invalidate();
}

void TListView::DoEnter()
{
    Invalidate();
    TWinControl::DoEnter();
}

void TListView::DoExit()
{
    Invalidate();
    TWinControl::DoExit();
}

int TListView::KeyTarget(std::uint16_t key) const
{
    const int count = FItems.Count();
    if (count == 0)
        return -1;
    const TListItem* focused = FFocused ? FFocused : FSelected;
    const int from = focused ? focused->Index() : -1;
    const int rows = std::max(1, VisibleRowCount());
    const int step = std::max(1, rows - 1);
    int to = from;
    switch (key) {
    case VK_HOME:
        to = 0;
        break;
    case VK_END:
        to = count - 1;
        break;
    case VK_UP:
        to = from - 1;
        break;
    case VK_DOWN:
        to = from + 1;
        break;
    // A page key goes to the edge of the rows shown first, then a page on.
    case VK_PRIOR:
        to = from > FTopIndex && from < FTopIndex + rows ? FTopIndex : from - step;
        break;
    case VK_NEXT:
        to = from >= FTopIndex && from < FTopIndex + rows - 1 ? FTopIndex + rows - 1 : from + step;
        break;
    default:
        return -1;
    }
    // Without a focused row every key starts at the first one.
    if (from < 0 && key != VK_END)
        to = 0;
    return std::clamp(to, 0, count - 1);
}

void TListView::KeyDownDefault(std::uint16_t& Key, TShiftState Shift)
{
    if (Key == VK_SPACE) {
        if (!FCheckboxes)
            return;
        Key = 0;
        if (TListItem* item = FFocused ? FFocused : FSelected)
            item->SetChecked(!item->Checked());
        return;
    }
    if (Key != VK_UP && Key != VK_DOWN && Key != VK_HOME && Key != VK_END && Key != VK_PRIOR && Key != VK_NEXT)
        return;
    const int to = KeyTarget(Key);
    Key = 0;
    if (to < 0)
        return;
    TListItem* item = FItems.Item(to);
    if (Shift.Contains(ssCtrl)) {
        SetItemFocused(item);
    } else {
        // The handlers of the selection may do anything, even free the view.
        const auto life = LifeToken();
        Select(item);
        if (!Alive(life))
            return;
    }
    if (FFocused)
        ScrollTo(FFocused->Index(), false);
}

int TListView::VisibleRowCount() const { return std::max(0, (ClientHeight() - HeaderHeight) / RowHeight); }

void TListView::ClampTop()
{
    const int last = std::max(0, FItems.Count() - std::max(1, VisibleRowCount()));
    FTopIndex = std::clamp(FTopIndex, 0, last);
}

void TListView::ScrollTo(int index, bool partialOK)
{
    if (index < 0 || index >= FItems.Count())
        return;
    const int rows = std::max(1, VisibleRowCount());
    if (index < FTopIndex)
        FTopIndex = index;
    else if (index >= FTopIndex + rows) {
        // A row cut by the bottom edge counts as visible when partialOK.
        const bool partlyShown =
            partialOK && index == FTopIndex + rows && HeaderHeight + rows * RowHeight < ClientHeight();
        if (!partlyShown)
            FTopIndex = index - rows + 1;
    }
    ClampTop();
    Invalidate();
}

int TListView::RowAt(int y) const
{
    if (y < HeaderHeight)
        return -1;
    const int row = FTopIndex + (y - HeaderHeight) / RowHeight;
    return row < FItems.Count() ? row : -1;
}

void TListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (Y < HeaderHeight) {
            int left = 0;
            for (const auto& column : FColumns) {
                if (X >= left && X < left + column->Width()) {
                    if (OnColumnClick)
                        OnColumnClick(this, column.get());
                    break;
                }
                left += column->Width();
            }
        } else {
            const int row = RowAt(Y);
            if (row >= 0) {
                TListItem* item = FItems.Item(row);
                // The check box takes its click alone: the selection stays.
                const int firstWidth = FColumns.empty() ? 0 : FColumns[0]->Width();
                if (FCheckboxes && X >= 2 && X < std::min(4 + kCheckBox, firstWidth))
                    item->SetChecked(!item->Checked());
                else
                    Select(item);
            } else {
                // A click into the empty part takes the selection away.
                Select(nullptr);
            }
        }
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

namespace {

// Narrows the canvas's clip to a cell given in client coordinates (the clip
// is in target coordinates) and puts the caller's clip back at the end.
class CellClip {
public:
    CellClip(TCanvas& canvas, const TRect& cell) : canvas_(canvas), saved_(canvas.Clip())
    {
        const TPoint o = canvas.Origin();
        canvas.SetClip(saved_.Intersect(cell.Offset(o.X, o.Y)));
    }
    ~CellClip() { canvas_.SetClip(saved_); }
    CellClip(const CellClip&) = delete;
    CellClip& operator=(const CellClip&) = delete;

private:
    TCanvas& canvas_;
    TRect saved_;
};

} // namespace

void TListView::Paint(TCanvas& canvas)
{
    const TColor back = PaintColor();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = back;
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    const bool scroll = FItems.Count() > VisibleRowCount();
    const int right = scroll ? Width() - kScrollWidth : Width();

    // Header.
    canvas.Brush.Color = clBtnFace;
    canvas.FillRect(TRect(0, 0, right, HeaderHeight));
    canvas.Brush.Color = clBtnShadow;
    canvas.FillRect(TRect(0, HeaderHeight - 1, right, HeaderHeight));
    canvas.Font = *Font();
    canvas.Font.SetColor(clBtnText);
    const int textHeight = canvas.TextHeight(u"X");
    int left = 0;
    for (const auto& column : FColumns) {
        const int w = column->Width();
        if (w > 0) {
            std::optional<CellClip> clip(std::in_place, canvas,
                                         TRect(left, 0, std::min(left + w, right), HeaderHeight));
            int x = left + 4;
            if (FSmallImages && column->ImageIndex() >= 0) {
                const int iw = FSmallImages->Width();
                const int ix = column->Alignment() == taCenter ? left + (w - iw) / 2 : x;
                FSmallImages->Draw(canvas, ix, (HeaderHeight - FSmallImages->Height()) / 2, column->ImageIndex());
                x = ix + iw + 2;
            }
            canvas.Brush.Style = bsClear;
            canvas.TextOut(x, (HeaderHeight - textHeight) / 2, column->Caption());
            canvas.Brush.Style = bsSolid;
            clip.reset();
            canvas.Brush.Color = clBtnShadow;
            canvas.FillRect(TRect(left + w - 1, 2, left + w, HeaderHeight - 2));
        }
        left += w;
    }

    // Rows.
    const int rows = VisibleRowCount() + 1;
    for (int r = 0; r < rows && FTopIndex + r < FItems.Count(); ++r) {
        const TListItem* item = FItems.Item(FTopIndex + r);
        const int top = HeaderHeight + r * RowHeight;
        if (top >= Height())
            break;
        const bool selected = item == FSelected;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = selected ? clHighlight : back;
        canvas.FillRect(TRect(0, top,
                              FRowSelect ? right : std::min(right, FColumns.empty() ? right : FColumns[0]->Width()),
                              top + RowHeight));
        canvas.Font = *Font();
        if (selected)
            canvas.Font.SetColor(clHighlightText);
        left = 0;
        for (int c = 0; c < ColumnCount(); ++c) {
            const TListColumn* column = FColumns[static_cast<std::size_t>(c)].get();
            const int w = column->Width();
            if (w <= 0)
                continue;
            std::optional<CellClip> clip(
                std::in_place, canvas,
                TRect(left, top, std::min(left + w, right), std::min(top + RowHeight, Height())));
            int x = left + 2;
            int image = -1;
            UnicodeString text;
            if (c == 0) {
                if (FCheckboxes) {
                    const int bt = top + (RowHeight - kCheckBox) / 2;
                    canvas.Brush.Color = clWindow;
                    canvas.Pen.Color = clBtnShadow;
                    canvas.Rectangle(TRect(x + 2, bt, x + 2 + kCheckBox, bt + kCheckBox));
                    if (item->Checked())
                        detail::PaintTick(canvas, x + 2, bt, kCheckBox, clWindowText);
                    x += kCheckBox + 4;
                }
                image = item->ImageIndex();
                text = item->Caption();
            } else {
                image = item->SubItemImages(c - 1);
                if (c - 1 < item->SubItems()->Count())
                    text = item->SubItems()->Strings(c - 1);
            }
            if (FSmallImages && image >= 0) {
                const int iw = FSmallImages->Width();
                const int ix = column->Alignment() == taCenter && text.IsEmpty() ? left + (w - iw) / 2 : x;
                FSmallImages->Draw(canvas, ix, top + (RowHeight - FSmallImages->Height()) / 2, image);
                x = ix + iw + 2;
            }
            if (!text.IsEmpty()) {
                canvas.Brush.Style = bsClear;
                int tx = x;
                if (column->Alignment() == taCenter)
                    tx = left + (w - canvas.TextWidth(text)) / 2;
                else if (column->Alignment() == taRightJustify)
                    tx = left + w - 2 - canvas.TextWidth(text);
                canvas.TextOut(tx, top + (RowHeight - textHeight) / 2, text);
                canvas.Brush.Style = bsSolid;
            }
            clip.reset();
            left += w;
        }
        if (item == FFocused && Focused()) {
            // A dotted frame round the row the keys act on.
            const TColor dots = selected ? clHighlightText : Font()->Color();
            const int fr = FRowSelect ? right : std::min(right, FColumns.empty() ? right : FColumns[0]->Width());
            const int bottom = top + RowHeight - 1;
            for (int x = 0; x < fr; x += 2) {
                canvas.SetPixel(x, top, dots);
                canvas.SetPixel(x, bottom, dots);
            }
            for (int y = top; y <= bottom; y += 2) {
                canvas.SetPixel(0, y, dots);
                canvas.SetPixel(fr - 1, y, dots);
            }
        }
    }

    // A flat vertical scroll bar when the rows do not fit.
    if (scroll) {
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clBtnFace;
        canvas.FillRect(TRect(right, 0, Width(), Height()));
        const int track = std::max(1, Height() - 2 * kScrollWidth);
        const int total = std::max(1, FItems.Count());
        const int visible = std::max(1, VisibleRowCount());
        const int thumb = std::max(8, track * visible / total);
        const int pos = kScrollWidth + (track - thumb) * FTopIndex / std::max(1, total - visible);
        canvas.Brush.Color = clBtnShadow;
        canvas.FillRect(TRect(right + 2, pos, Width() - 2, pos + thumb));
    }
}

} // namespace vcl
