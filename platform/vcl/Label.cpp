#include "platform/vcl/Label.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

namespace vcl {

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 65, 13);
    SetParentColor(true);
    SetAutoSize(true);
}

std::vector<UnicodeString> TLabel::Lines() const
{
    std::vector<UnicodeString> lines;
    std::u16string current;
    for (char16_t c : Caption().view()) {
        if (c == u'\n') {
            if (!current.empty() && current.back() == u'\r')
                current.pop_back();
            lines.emplace_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    lines.emplace_back(current);
    return lines;
}

int TLabel::TextWidthPx() const
{
    int w = 0;
    for (const UnicodeString& line : Lines())
        w = std::max(w, TCanvas::TextWidthOf(*Font(), line));
    return w;
}

int TLabel::TextHeightPx() const { return static_cast<int>(Lines().size()) * Font()->PixelHeight(); }

void TLabel::AdjustSize()
{
    if (!AutoSize())
        return;
    if (FWordWrap)
        SetHeight(TextHeightPx());
    else {
        // A right-justified label keeps its right edge.
        const int w = TextWidthPx();
        const int left = FAlignment == taRightJustify ? Left() + Width() - w : Left();
        SetBounds(left, Top(), w, TextHeightPx());
    }
}

void TLabel::Paint(TCanvas& canvas)
{
    if (!FTransparent) {
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = Color();
        canvas.FillRect(TRect(0, 0, Width(), Height()));
    }
    canvas.Font = *Font();
    if (!Enabled())
        canvas.Font.SetColor(clGrayText);
    canvas.Brush.Style = bsClear;
    const auto lines = Lines();
    const int lh = Font()->PixelHeight();
    int y = 0;
    if (FLayout == tlCenter)
        y = (Height() - lh * static_cast<int>(lines.size())) / 2;
    else if (FLayout == tlBottom)
        y = Height() - lh * static_cast<int>(lines.size());
    for (const UnicodeString& line : lines) {
        const int w = canvas.TextWidth(line);
        const int x = FAlignment == taCenter ? (Width() - w) / 2 : FAlignment == taRightJustify ? Width() - w : 0;
        canvas.TextOut(x, y, line);
        y += lh;
    }
}

} // namespace vcl
