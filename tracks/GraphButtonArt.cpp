#include "tracks/GraphButtonArt.h"

#include <algorithm>
#include <cstring>

namespace {

// The two characters of "戻る" as 13 x 13 pixel masks, so the reset
// buttons read the same whatever text the canvas draws.
constexpr const char* kModoru[2][13] = {
    {
        ".###########.",
        ".............",
        "..#########..",
        "..#.......#..",
        "..#########..",
        "..#..........",
        "..#....#.....",
        "..#.#######..",
        ".#.....#.....",
        ".#....#.#....",
        "#....#...#...",
        "#...#.....#..",
        "...#.......##",
    },
    {
        "...######....",
        "........#....",
        ".......#.....",
        "......#......",
        ".....#####...",
        "....#.....#..",
        "...#.......#.",
        "..#........#.",
        ".#.........#.",
        "......###..#.",
        ".....#...##..",
        ".....#..##...",
        "......##.....",
    },
};
constexpr int kGlyph = 13;

enum class Mark { Minus, Plus, Back, BackVertical };

struct ButtonArt {
    int tag;
    int width;
    int height;
    Mark mark;
};

constexpr ButtonArt kButtons[] = {
    {1, 35, 20, Mark::Minus}, {2, 51, 20, Mark::Back},         {3, 34, 20, Mark::Plus},
    {4, 21, 28, Mark::Plus},  {5, 21, 37, Mark::BackVertical}, {6, 20, 28, Mark::Minus},
};

void Glyph(TCanvas& c, int left, int top, int which, TColor ink)
{
    for (int y = 0; y < kGlyph; ++y)
        for (int x = 0; x < kGlyph; ++x)
            if (kModoru[which][y][x] == '#')
                c.SetPixel(left + x, top + y, ink);
}

// A rounded key: a vertical shade from light to dark (dark to light when
// pressed), a silver rim, and its sign in white, one pixel lower when pressed.
std::unique_ptr<TBitmap> Button(const ButtonArt& art, bool pressed)
{
    auto bmp = std::make_unique<TBitmap>(art.width, art.height);
    TCanvas& c = *bmp->Canvas();
    c.Brush.Color = clBlack;
    c.FillRect(TRect(0, 0, art.width, art.height));
    const int h = art.height;
    for (int y = 1; y < h - 1; ++y) {
        const int t = pressed ? (h - 1 - y) : y;
        const int v = 0x58 - (0x40 * t) / std::max(1, h - 1);
        c.Pen.Color = RGB(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v + 8));
        c.MoveTo(1, y);
        c.LineTo(art.width - 1, y);
    }
    const TColor rim = pressed ? RGB(0x80, 0x80, 0x80) : clSilver;
    c.Pen.Color = rim;
    c.MoveTo(2, 0);
    c.LineTo(art.width - 2, 0);
    c.MoveTo(2, h - 1);
    c.LineTo(art.width - 2, h - 1);
    c.MoveTo(0, 2);
    c.LineTo(0, h - 2);
    c.MoveTo(art.width - 1, 2);
    c.LineTo(art.width - 1, h - 2);
    c.SetPixel(1, 1, rim);
    c.SetPixel(art.width - 2, 1, rim);
    c.SetPixel(1, h - 2, rim);
    c.SetPixel(art.width - 2, h - 2, rim);

    const TColor ink = pressed ? RGB(0xC8, 0xC8, 0xC8) : clWhite;
    const int shift = pressed ? 1 : 0;
    const int cx = art.width / 2, cy = h / 2 + shift;
    c.Brush.Color = ink;
    switch (art.mark) {
    case Mark::Minus:
        c.FillRect(TRect(cx - 5, cy - 1, cx + 5, cy + 1));
        break;
    case Mark::Plus:
        c.FillRect(TRect(cx - 5, cy - 1, cx + 5, cy + 1));
        c.FillRect(TRect(cx - 1, cy - 5, cx + 1, cy + 5));
        break;
    case Mark::Back:
        Glyph(c, cx - kGlyph - 1, cy - kGlyph / 2, 0, ink);
        Glyph(c, cx + 1, cy - kGlyph / 2, 1, ink);
        break;
    case Mark::BackVertical:
        Glyph(c, cx - kGlyph / 2, cy - kGlyph - 1, 0, ink);
        Glyph(c, cx - kGlyph / 2, cy + 1, 1, ink);
        break;
    }
    return bmp;
}

// The pane's background: near black with a faint blue shade towards the top.
std::unique_ptr<TBitmap> Background()
{
    constexpr int w = 16, h = 64;
    auto bmp = std::make_unique<TBitmap>(w, h);
    TCanvas& c = *bmp->Canvas();
    for (int y = 0; y < h; ++y) {
        const int v = 0x22 - (0x22 * y) / (h - 1);
        c.Pen.Color =
            RGB(static_cast<std::uint8_t>(v / 2), static_cast<std::uint8_t>(v / 2), static_cast<std::uint8_t>(v));
        c.MoveTo(0, y);
        c.LineTo(w, y);
    }
    return bmp;
}

} // namespace

std::unique_ptr<TBitmap> GraphPicture(const UnicodeString& name)
{
    const UnicodeString upper = name.UpperCase();
    if (upper == UnicodeString(u"GF_BACK"))
        return Background();
    for (const ButtonArt& art : kButtons) {
        for (bool pressed : {false, true}) {
            const UnicodeString own = UnicodeString(pressed ? u"GF_BTN_B_" : u"GF_BTN_A_") + IntToStr(art.tag);
            if (upper == own)
                return Button(art, pressed);
        }
    }
    throw EResNotFound(u"Resource %s not found", name);
}
