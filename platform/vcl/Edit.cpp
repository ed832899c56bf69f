#include "platform/vcl/Edit.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

namespace vcl {

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TEdit::SetSelStart(int start)
{
    FSelStart = std::clamp(start, 0, Text().Length());
    FSelLength = 0;
    Invalidate();
}

void TEdit::SetSelLength(int length)
{
    FSelLength = std::clamp(length, 0, Text().Length() - FSelStart);
    Invalidate();
}

void TEdit::SelectAll()
{
    FSelStart = 0;
    FSelLength = Text().Length();
    Invalidate();
}

void TEdit::DoEnter()
{
    Invalidate();
    TWinControl::DoEnter();
}

void TEdit::DoExit()
{
    Invalidate();
    TWinControl::DoExit();
}

UnicodeString TEdit::SelText() const { return Text().SubString(FSelStart + 1, FSelLength); }

void TEdit::SetSelText(const UnicodeString& text)
{
    std::u16string with = text.str();
    if (FMaxLength > 0) {
        const int room = FMaxLength - (Text().Length() - FSelLength);
        with.resize(static_cast<std::size_t>(std::clamp(room, 0, static_cast<int>(with.size()))));
    }
    Replace(FSelStart, FSelLength, with, FSelStart + static_cast<int>(with.size()));
}

void TEdit::Replace(int start, int count, const std::u16string& with, int caret)
{
    std::u16string s = Text().str();
    start = std::clamp(start, 0, static_cast<int>(s.size()));
    count = std::clamp(count, 0, static_cast<int>(s.size()) - start);
    s.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(count), with);
    const auto life = LifeToken();
    SetText(UnicodeString(s));
    if (!Alive(life))
        return;
    FSelStart = std::clamp(caret, 0, Text().Length());
    FSelLength = 0;
}

void TEdit::TextChanged()
{
    // A new text puts the caret at its start, as on the platform; typing
    // moves it on afterwards (Replace).
    FSelStart = 0;
    FSelLength = 0;
    Change();
}

void TEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TEdit::KeyDownDefault(std::uint16_t& Key, TShiftState Shift)
{
    const int len = Text().Length();
    switch (Key) {
    case VK_LEFT:
        SetSelStart(FSelLength > 0 ? FSelStart : FSelStart - 1);
        break;
    case VK_RIGHT:
        SetSelStart(FSelLength > 0 ? FSelStart + FSelLength : FSelStart + 1);
        break;
    case VK_HOME:
        SetSelStart(0);
        break;
    case VK_END:
        SetSelStart(len);
        break;
    case VK_DELETE:
        if (FReadOnly)
            break;
        if (FSelLength > 0)
            Replace(FSelStart, FSelLength, u"", FSelStart);
        else if (FSelStart < len)
            Replace(FSelStart, 1, u"", FSelStart);
        break;
    default:
        return;
    }
    (void)Shift;
}

void TEdit::KeyPressDefault(char16_t& Key)
{
    if (FReadOnly)
        return;
    if (Key == u'\b') {
        if (FSelLength > 0)
            Replace(FSelStart, FSelLength, u"", FSelStart);
        else if (FSelStart > 0)
            Replace(FSelStart - 1, 1, u"", FSelStart - 1);
        return;
    }
    if (Key < 0x20)
        return; // Enter, Escape, Tab and other control characters type nothing
    if (FNumbersOnly && (Key < u'0' || Key > u'9'))
        return;
    if (FMaxLength > 0 && Text().Length() - FSelLength >= FMaxLength)
        return;
    Replace(FSelStart, FSelLength, std::u16string(1, Key), FSelStart + 1);
}

void TEdit::Paint(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.Pen.Color = clBtnShadow;
    canvas.Pen.Width = 1;
    canvas.Rectangle(TRect(0, 0, Width(), Height()));
    canvas.Font = *Font();
    canvas.Brush.Style = bsClear;
    UnicodeString shown = Text();
    if (FPasswordChar != 0)
        shown = UnicodeString(std::u16string(static_cast<std::size_t>(Text().Length()), FPasswordChar));
    if (shown.IsEmpty() && !FTextHint.IsEmpty()) {
        canvas.Font.SetColor(clGrayText);
        canvas.TextOut(3, (Height() - canvas.TextHeight(FTextHint)) / 2, FTextHint);
        return;
    }
    const int y = (Height() - canvas.TextHeight(shown)) / 2;
    // The selection shows while the edit has the focus, as on the platform.
    const int start = std::clamp(FSelStart, 0, shown.Length());
    const int length = Focused() ? std::clamp(FSelLength, 0, shown.Length() - start) : 0;
    if (length == 0) {
        canvas.TextOut(3, y, shown);
        return;
    }
    const UnicodeString before = shown.SubString(1, start);
    const UnicodeString selected = shown.SubString(start + 1, length);
    const UnicodeString after = shown.SubString(start + length + 1, shown.Length() - start - length);
    int x = 3;
    canvas.TextOut(x, y, before);
    x += canvas.TextWidth(before);
    const TColor ink = canvas.Font.Color();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clHighlight;
    canvas.FillRect(TRect(x, y, x + canvas.TextWidth(selected), y + canvas.TextHeight(selected)));
    canvas.Brush.Style = bsClear;
    canvas.Font.SetColor(clHighlightText);
    canvas.TextOut(x, y, selected);
    canvas.Font.SetColor(ink);
    x += canvas.TextWidth(selected);
    canvas.TextOut(x, y, after);
}

} // namespace vcl
