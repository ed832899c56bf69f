#include "platform/vcl/Label.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/TextRenderer.h"

namespace vcl {

namespace {

// The canvas's TextOut for a line narrowed to width pixels.
void TextOutInWidth(TCanvas& canvas, int x, int y, int width, const UnicodeString& text)
{
    PixelBuffer* target = canvas.Target();
    if (target == nullptr)
        return;
    const TRect clip = canvas.Clip().Intersect(TRect(0, 0, target->Width(), target->Height()));
    if (clip.Empty())
        return;
    const TPoint origin = canvas.Origin();
    CurrentTextRenderer().DrawTextInWidth(*target, clip, x + origin.X, y + origin.Y, canvas.Font, text, width);
}

} // namespace

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
    // A line wider than the label is narrowed to it; a centred one keeps a
    // margin at both ends, so that captions in cells side by side stay
    // apart (a label sized to its text never narrows).
    const int margin = FAlignment == taCenter && !AutoSize() ? lh / 4 : 0;
    const int room = Width() - 2 * margin;
    for (const UnicodeString& line : lines) {
        const int w = canvas.TextWidth(line);
        if (w > room && room > 0) {
            const int x = FAlignment == taCenter ? margin : FAlignment == taRightJustify ? Width() - room : 0;
            TextOutInWidth(canvas, x, y, room, line);
        } else {
            const int x = FAlignment == taCenter ? (Width() - w) / 2 : FAlignment == taRightJustify ? Width() - w : 0;
            canvas.TextOut(x, y, line);
        }
        y += lh;
    }
}

} // namespace vcl
