#include "platform/vcl/Font.h"

namespace vcl {

void TFont::CopyFrom(const TFont& other)
{
    FName = other.FName;
    FHeight = other.FHeight;
    FColor = other.FColor;
    FStyle = other.FStyle;
    FCharset = other.FCharset;
}

void TFont::Assign(const TFont& other)
{
    if (&other == this)
        return;
    CopyFrom(other);
    Changed();
}

void TFont::Changed()
{
    if (OnChange)
        OnChange();
}

void TFont::SetName(const rtl::UnicodeString& name)
{
    if (name == FName)
        return;
    FName = name;
    Changed();
}

void TFont::SetHeight(int height)
{
    if (height == FHeight)
        return;
    FHeight = height;
    Changed();
}

int TFont::Size() const
{
    // Height = -Size * 96 / 72 rounded; back again the same way.
    const int h = -FHeight;
    return h >= 0 ? (h * 72 + 48) / 96 : -((-h * 72 + 48) / 96);
}

void TFont::SetSize(int points)
{
    const int px = points >= 0 ? (points * 96 + 36) / 72 : -((-points * 96 + 36) / 72);
    SetHeight(-px);
}

void TFont::SetColor(TColor color)
{
    if (color == FColor)
        return;
    FColor = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    Changed();
}

} // namespace vcl
