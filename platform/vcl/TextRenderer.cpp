#include "platform/vcl/TextRenderer.h"

#include <atomic>

#include "platform/vcl/Canvas.h"

namespace vcl {

namespace {

// One box per visible character, inset so that neighbours stay apart.
class CellTextRenderer : public TextRenderer {
public:
    void DrawText(PixelBuffer& target, const TRect& clip, int x, int y, const TFont& font,
                  const rtl::UnicodeString& text) override
    {
        const std::uint32_t ink = PixelBuffer::FromColor(font.Color());
        const int h = font.PixelHeight();
        const auto fill = [&](int x0, int y0, int x1, int y1) {
            const TRect area = TRect(x0, y0, x1, y1).Intersect(clip);
            for (int row = area.Top; row < area.Bottom; ++row)
                for (int col = area.Left; col < area.Right; ++col)
                    target.SetPixel(col, row, ink);
        };
        int at = x;
        for (char16_t c : text.view()) {
            if (c == u'\r' || c == u'\n' || (c >= 0xDC00 && c <= 0xDFFF))
                continue;
            const int w = TCanvas::CharWidth(font, c);
            if (c != u' ' && c != 0x3000 && w > 2 && h > 4) {
                const int l = at + 1, t = y + h / 4, r = at + w - 1, b = y + h - 1;
                fill(l, t, r, t + 1);
                fill(l, b - 1, r, b);
                fill(l, t, l + 1, b);
                fill(r - 1, t, r, b);
            }
            at += w;
        }
    }
};

CellTextRenderer gCells;
std::atomic<TextRenderer*> gRenderer{nullptr};

} // namespace

TextRenderer& CurrentTextRenderer()
{
    TextRenderer* r = gRenderer.load();
    return r ? *r : gCells;
}

TextRenderer* SetTextRenderer(TextRenderer* renderer) { return gRenderer.exchange(renderer); }

} // namespace vcl
