// A control's font: name, height in pixels (negative: character height, as
// the framework keeps it), size in points at 96 dots per inch, colour, style.
// OnChange lets the owner follow changes (parent fonts, label sizes).
#pragma once

#include <functional>

#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Set.h"

namespace vcl {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;

class TFont {
public:
    TFont() = default;
    TFont(const TFont& other) { CopyFrom(other); }
    TFont& operator=(const TFont& other)
    {
        Assign(other);
        return *this;
    }

    // Copies every attribute and raises OnChange once.
    void Assign(const TFont& other);

    const rtl::UnicodeString& Name() const { return FName; }
    void SetName(const rtl::UnicodeString& name);
    int Height() const { return FHeight; }
    void SetHeight(int height);
    // Points: Height = -Size * 96 / 72, rounded half away from zero.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    int Charset() const { return FCharset; }
    void SetCharset(int charset) { FCharset = charset; }

    // The character cell height in pixels (|Height|, at least 1).
    int PixelHeight() const { return FHeight < 0 ? -FHeight : (FHeight == 0 ? 1 : FHeight); }

    bool SameAs(const TFont& other) const
    {
        return FName == other.FName && FHeight == other.FHeight && FColor == other.FColor && FStyle == other.FStyle;
    }

    std::function<void()> OnChange;

private:
    void CopyFrom(const TFont& other);
    void Changed();

    rtl::UnicodeString FName = u"Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    int FCharset = 1;
};

} // namespace vcl
