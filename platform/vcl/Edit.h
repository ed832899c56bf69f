// A one-line text box.
//
// OnChange follows every real change of Text: a SetText with a different
// text, and each typed character, deletion or paste that changes it; a
// SetText with the same text raises nothing. MaxLength (0: no limit) and
// NumbersOnly limit typing only: SetText takes any text. ReadOnly refuses
// typing but not SetText. PasswordChar only changes what is painted.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int n) { FMaxLength = n < 0 ? 0 : n; }
    bool NumbersOnly() const { return FNumbersOnly; }
    void SetNumbersOnly(bool v) { FNumbersOnly = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    char16_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char16_t c)
    {
        FPasswordChar = c;
        Invalidate();
    }
    const UnicodeString& TextHint() const { return FTextHint; }
    void SetTextHint(const UnicodeString& hint)
    {
        FTextHint = hint;
        Invalidate();
    }

    // Selection in characters, 0-based start as in the framework.
    int SelStart() const { return FSelStart; }
    void SetSelStart(int start);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int length);
    void SelectAll();
    UnicodeString SelText() const;
    // Replaces the selection (as a paste: MaxLength applies, NumbersOnly
    // does not, as on the platform).
    void SetSelText(const UnicodeString& text);
    void Clear() { SetText(UnicodeString()); }

    TNotifyEvent OnChange;

    // The selection is drawn highlighted while the edit has the focus.
    void Paint(TCanvas& canvas) override;
    void DoEnter() override;
    void DoExit() override;

protected:
    void TextChanged() override;
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPressDefault(char16_t& Key) override;
    // Raises OnChange.
    virtual void Change();

private:
    void Replace(int start, int count, const std::u16string& with, int caret);

    int FMaxLength = 0;
    bool FNumbersOnly = false;
    bool FReadOnly = false;
    char16_t FPasswordChar = 0;
    UnicodeString FTextHint;
    int FSelStart = 0;
    int FSelLength = 0;
};

} // namespace vcl
