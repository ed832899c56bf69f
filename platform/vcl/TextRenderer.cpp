#include "platform/vcl/TextRenderer.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

namespace vcl {

namespace {

// One box per visible character, inset so that neighbours stay apart.
class CellTextRenderer : public TextRenderer {
public:
    void DrawText(PixelBuffer& target, const TRect& clip, int x, int y, const TFont& font,
                  const rtl::UnicodeString& text) override
    {
        DrawTextInWidth(target, clip, x, y, font, text, TCanvas::TextWidthOf(font, text));
    }

    // Narrowed text keeps a box per cell, each cell narrowed alike.
    void DrawTextInWidth(PixelBuffer& target, const TRect& clip, int x, int y, const TFont& font,
                         const rtl::UnicodeString& text, int width) override
    {
        const int cells = TCanvas::TextWidthOf(font, text);
        const auto narrow = [&](int offset) {
            return cells > width && cells > 0
                ? static_cast<int>(static_cast<long long>(offset) * std::max(width, 0) / cells)
                : offset;
        };
        const std::uint32_t ink = PixelBuffer::FromColor(font.Color());
        const int h = font.PixelHeight();
        const auto fill = [&](int x0, int y0, int x1, int y1) {
            const TRect area = TRect(x0, y0, x1, y1).Intersect(clip);
            for (int row = area.Top; row < area.Bottom; ++row)
                for (int col = area.Left; col < area.Right; ++col)
                    target.SetPixel(col, row, ink);
        };
        int offset = 0;
        for (char16_t c : text.view()) {
            if (c == u'\r' || c == u'\n' || (c >= 0xDC00 && c <= 0xDFFF))
                continue;
            const int at = x + narrow(offset);
            const int w = x + narrow(offset + TCanvas::CharWidth(font, c)) - at;
            offset += TCanvas::CharWidth(font, c);
            if (c != u' ' && c != 0x3000 && w > 2 && h > 4) {
                const int l = at + 1, t = y + h / 4, r = at + w - 1, b = y + h - 1;
                fill(l, t, r, t + 1);
                fill(l, b - 1, r, b);
                fill(l, t, l + 1, b);
                fill(r - 1, t, r, b);
            }
        }
    }
};

TextRenderer* CellBoxes()
{
    static CellTextRenderer cells;
    return &cells;
}

constinit host::Seam<TextRenderer*, host::SeamReaders::AnyThread> gRenderers(&CellBoxes);

} // namespace

void TextRenderer::DrawTextInWidth(PixelBuffer& target, const TRect& clip, int x, int y, const TFont& font,
                                   const rtl::UnicodeString& text, int)
{
    DrawText(target, clip, x, y, font, text);
}

TextRenderer& CurrentTextRenderer() { return *gRenderers.Current(); }

TextRenderer* InstallTextRenderer(TextRenderer* renderer) { return gRenderers.Install(renderer); }

} // namespace vcl
