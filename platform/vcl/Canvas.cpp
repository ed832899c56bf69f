#include "platform/vcl/Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/vcl/Graphic.h"
#include "platform/vcl/TextRenderer.h"

namespace vcl {

TCanvas::TCanvas(PixelBuffer* target) { SetTarget(target); }

void TCanvas::SetTarget(PixelBuffer* target)
{
    FTarget = target;
    ResetClip();
}

void TCanvas::SetClip(const TRect& targetRect)
{
    FClip = targetRect;
    FClipSet = true;
}

void TCanvas::ResetClip()
{
    FClipSet = false;
    FClip = FTarget ? TRect(0, 0, FTarget->Width(), FTarget->Height()) : TRect();
}

void TCanvas::Fill(int x0, int y0, int x1, int y1, std::uint32_t pixel)
{
    if (!FTarget)
        return;
    TRect area = TRect(x0, y0, x1, y1).Intersect(TRect(0, 0, FTarget->Width(), FTarget->Height()));
    if (FClipSet)
        area = area.Intersect(FClip);
    for (int y = area.Top; y < area.Bottom; ++y)
        std::fill_n(FTarget->Row(y) + area.Left, area.Width(), pixel);
}

void TCanvas::Plot(int x, int y, std::uint32_t pixel)
{
    if (!FTarget || (FClipSet && !FClip.Contains(TPoint(x, y))))
        return;
    FTarget->SetPixel(x, y, pixel);
}

void TCanvas::FillRect(const TRect& rect)
{
    if (Brush.Style == bsClear)
        return;
    Fill(rect.Left + FOriginX, rect.Top + FOriginY, rect.Right + FOriginX, rect.Bottom + FOriginY,
         PixelBuffer::FromColor(Brush.Color));
}

void TCanvas::Rectangle(const TRect& rect)
{
    FillRect(rect);
    if (Pen.Width <= 0 || rect.Empty())
        return;
    const std::uint32_t p = PixelBuffer::FromColor(Pen.Color);
    const int l = rect.Left + FOriginX, t = rect.Top + FOriginY, r = rect.Right + FOriginX, b = rect.Bottom + FOriginY;
    const int w = std::min({Pen.Width, rect.Width(), rect.Height()});
    Fill(l, t, r, t + w, p);
    Fill(l, b - w, r, b, p);
    Fill(l, t, l + w, b, p);
    Fill(r - w, t, r, b, p);
}

void TCanvas::FrameRect(const TRect& rect)
{
    if (rect.Empty())
        return;
    const std::uint32_t p = PixelBuffer::FromColor(Brush.Color);
    const int l = rect.Left + FOriginX, t = rect.Top + FOriginY, r = rect.Right + FOriginX, b = rect.Bottom + FOriginY;
    Fill(l, t, r, t + 1, p);
    Fill(l, b - 1, r, b, p);
    Fill(l, t, l + 1, b, p);
    Fill(r - 1, t, r, b, p);
}

void TCanvas::MoveTo(int x, int y)
{
    FPenX = x;
    FPenY = y;
}

void TCanvas::LineTo(int x, int y)
{
    // Bresenham; the end point itself is not drawn, as on the platform.
    const std::uint32_t p = PixelBuffer::FromColor(Pen.Color);
    int x0 = FPenX, y0 = FPenY;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    int guard = 0;
    while ((x0 != x || y0 != y) && guard++ < 2 * PixelBuffer::MaxSide + 2) {
        const int half = (Pen.Width - 1) / 2;
        if (Pen.Width <= 1)
            Plot(x0 + FOriginX, y0 + FOriginY, p);
        else
            Fill(x0 - half + FOriginX, y0 - half + FOriginY, x0 - half + Pen.Width + FOriginX,
                 y0 - half + Pen.Width + FOriginY, p);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    FPenX = x;
    FPenY = y;
}

TColor TCanvas::Pixel(int x, int y) const { return FTarget ? FTarget->ColorAt(x + FOriginX, y + FOriginY) : clBlack; }

void TCanvas::SetPixel(int x, int y, TColor color) { Plot(x + FOriginX, y + FOriginY, PixelBuffer::FromColor(color)); }

int TCanvas::CharWidth(const TFont& font, char16_t c)
{
    const int h = font.PixelHeight();
    const bool singleByte = c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
    return singleByte ? h / 2 : h;
}

int TCanvas::TextWidthOf(const TFont& font, const rtl::UnicodeString& text)
{
    int width = 0;
    for (char16_t c : text.view()) {
        if (c == u'\r' || c == u'\n')
            continue;
        if (c >= 0xDC00 && c <= 0xDFFF) // the second half of a pair adds nothing
            continue;
        width += CharWidth(font, c);
    }
    return width;
}

int TCanvas::TextHeightOf(const TFont& font, const rtl::UnicodeString&) { return font.PixelHeight(); }

void TCanvas::TextOut(int x, int y, const rtl::UnicodeString& text)
{
    if (Brush.Style != bsClear) {
        FillRect(TRect(x, y, x + TextWidth(text), y + TextHeight(text)));
    }
    if (FTarget) {
        TRect clip(0, 0, FTarget->Width(), FTarget->Height());
        if (FClipSet)
            clip = clip.Intersect(FClip);
        if (!clip.Empty())
            CurrentTextRenderer().DrawText(*FTarget, clip, x + FOriginX, y + FOriginY, Font, text);
    }
    const int at = x + TextWidth(text);
    FPenX = at;
    FPenY = y;
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const rtl::UnicodeString& text)
{
    const TRect saved = FClip;
    const bool savedSet = FClipSet;
    TRect clip = rect.Offset(FOriginX, FOriginY);
    if (FClipSet)
        clip = clip.Intersect(FClip);
    FillRect(rect);
    SetClip(clip);
    const TBrushStyle style = Brush.Style;
    Brush.Style = bsClear;
    TextOut(x, y, text);
    Brush.Style = style;
    FClip = saved;
    FClipSet = savedSet;
}

void TCanvas::Draw(int x, int y, const TGraphic* graphic)
{
    if (graphic && !graphic->Empty())
        StretchDraw(TRect(x, y, x + graphic->Width(), y + graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    if (OnDrawGraphic)
        OnDrawGraphic(rect, *graphic);
    graphic->Draw(*this, rect);
}

void TCanvas::CopyFrom(const TRect& dest, const PixelBuffer& source, const TRect& sourceRect)
{
    if (!FTarget || dest.Empty() || sourceRect.Empty() || source.Empty())
        return;
    const TRect d = dest.Offset(FOriginX, FOriginY);
    TRect area = d.Intersect(TRect(0, 0, FTarget->Width(), FTarget->Height()));
    if (FClipSet)
        area = area.Intersect(FClip);
    if (area.Empty())
        return;
    const long long dw = d.Width(), dh = d.Height();
    // The source column of each target column, worked out once (-1: outside
    // the source, which reads as 0).
    std::vector<int> columns(static_cast<std::size_t>(area.Width()));
    for (int x = area.Left; x < area.Right; ++x) {
        const int sx =
            sourceRect.Left + static_cast<int>((static_cast<long long>(x - d.Left) * sourceRect.Width()) / dw);
        columns[static_cast<std::size_t>(x - area.Left)] = sx >= 0 && sx < source.Width() ? sx : -1;
    }
    const bool straight = sourceRect.Width() == d.Width() && sourceRect.Left + (area.Left - d.Left) >= 0 &&
        sourceRect.Left + (area.Right - d.Left) <= source.Width();
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int sy =
            sourceRect.Top + static_cast<int>((static_cast<long long>(y - d.Top) * sourceRect.Height()) / dh);
        std::uint32_t* row = FTarget->Row(y) + area.Left;
        if (sy < 0 || sy >= source.Height()) {
            std::fill_n(row, area.Width(), 0u);
            continue;
        }
        const std::uint32_t* from = source.Row(sy);
        if (straight) {
            std::memcpy(row, from + sourceRect.Left + (area.Left - d.Left),
                        static_cast<std::size_t>(area.Width()) * sizeof(std::uint32_t));
            continue;
        }
        for (std::size_t i = 0; i < columns.size(); ++i)
            row[i] = columns[i] < 0 ? 0 : from[columns[i]];
    }
}

} // namespace vcl
