// A drawing surface over a PixelBuffer: pen, brush and font, rectangles,
// lines, text and pictures. Every control paints through one, so a form can
// be captured as a picture; a window presenter will use the same calls.
//
// Text goes through the text seam (TextRenderer.h: one box per character
// cell unless a real font back end is installed); logic never depends on
// glyphs, and the cell widths are the framework's one text metric here
// (TextWidth): a character that code page 932 holds in one byte (ASCII,
// half-width katakana) is half the font's pixel height wide, any other
// character the full height; 16-pixel "ＭＳ ゴシック" thus gives 8 and 16 pixels.
#pragma once

#include <functional>

#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Geometry.h"
#include "platform/vcl/PixelBuffer.h"

namespace vcl {

class TGraphic;

enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

class TCanvas {
public:
    // A canvas without a target draws nothing (metrics still work).
    TCanvas() = default;
    explicit TCanvas(PixelBuffer* target);

    void SetTarget(PixelBuffer* target);
    PixelBuffer* Target() const { return FTarget; }

    // Drawing coordinates are offset by the origin and clipped to the clip
    // rectangle (in target coordinates). Controls paint in their own client
    // coordinates this way.
    void SetOrigin(int x, int y)
    {
        FOriginX = x;
        FOriginY = y;
    }
    TPoint Origin() const { return TPoint(FOriginX, FOriginY); }
    void SetClip(const TRect& targetRect);
    void ResetClip();
    TRect Clip() const { return FClip; }

    TPen Pen;
    TBrush Brush;
    TFont Font;

    void FillRect(const TRect& rect);
    // Brush inside, pen frame.
    void Rectangle(const TRect& rect);
    void Rectangle(int left, int top, int right, int bottom) { Rectangle(TRect(left, top, right, bottom)); }
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    TPoint PenPos() const { return TPoint(FPenX, FPenY); }

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    void TextOut(int x, int y, const rtl::UnicodeString& text);
    void TextRect(const TRect& rect, int x, int y, const rtl::UnicodeString& text);
    int TextWidth(const rtl::UnicodeString& text) const { return TextWidthOf(Font, text); }
    int TextHeight(const rtl::UnicodeString& text) const { return TextHeightOf(Font, text); }

    void Draw(int x, int y, const TGraphic* graphic);
    void StretchDraw(const TRect& rect, const TGraphic* graphic);
    // Told of every picture Draw or StretchDraw puts on the canvas, with its
    // rectangle (canvas coordinates), before it is drawn: a printer hands the
    // picture itself on to its back end this way.
    std::function<void(const TRect&, const TGraphic&)> OnDrawGraphic;
    // Copies (nearest neighbour) a part of a picture into rect.
    void CopyFrom(const TRect& dest, const PixelBuffer& source, const TRect& sourceRect);

    // The metric above, for one line (line breaks count as nothing).
    static int CharWidth(const TFont& font, char16_t c);
    static int TextWidthOf(const TFont& font, const rtl::UnicodeString& text);
    static int TextHeightOf(const TFont& font, const rtl::UnicodeString& text);

private:
    void Fill(int x0, int y0, int x1, int y1, std::uint32_t pixel); // target coordinates, exclusive ends
    void Plot(int x, int y, std::uint32_t pixel); // target coordinates

    PixelBuffer* FTarget = nullptr;
    int FOriginX = 0;
    int FOriginY = 0;
    TRect FClip;
    bool FClipSet = false;
    int FPenX = 0;
    int FPenY = 0;
};

} // namespace vcl
