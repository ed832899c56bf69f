#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win/Gdi.h"

using namespace win;

namespace {

// A DIB block as the renderer hands it out: header, then the rows.
struct Dib {
    BITMAPINFO info{};
    std::vector<BYTE> bits;
};

// width x height, bottom-up unless topDown; pixel (x, y) of the picture
// (y from the top) is 0x00RRGGBB with R = x, G = y, B = 0x5A.
Dib MakeDib(int width, int height, int bitCount, bool topDown)
{
    Dib dib;
    BITMAPINFOHEADER& h = dib.info.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    const int bytes = bitCount / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytes + 3) & ~std::size_t(3);
    dib.bits.assign(stride * height, 0xEE); // padding shows up if read as pixels
    for (int y = 0; y < height; ++y) {
        BYTE* row = dib.bits.data() + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            row[x * bytes + 0] = 0x5A;
            row[x * bytes + 1] = static_cast<BYTE>(y);
            row[x * bytes + 2] = static_cast<BYTE>(x);
            if (bytes == 4)
                row[x * bytes + 3] = 0;
        }
    }
    return dib;
}

std::uint32_t Expected(int x, int y) { return (std::uint32_t(x) << 16) | (std::uint32_t(y) << 8) | 0x5A; }

std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int& width, int& height)
{
    std::vector<std::uint32_t> pixels;
    EXPECT_TRUE(BitmapPixels(bitmap, width, height, pixels));
    return pixels;
}

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override { before = LiveGdiHandles(); }
    void TearDown() override { EXPECT_EQ(LiveGdiHandles(), before) << "GDI handles leaked"; }
    int before = 0;
};

TEST_F(GdiTest, BadArgumentsAreRefused)
{
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x1234)), nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, nullptr), 0);
    EXPECT_EQ(DeleteDC(nullptr), 0);
    EXPECT_EQ(DeleteObject(nullptr), 0);
    EXPECT_EQ(SelectObject(nullptr, nullptr), nullptr);

    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    // The screen's context is no memory context, and only GetDC's go back
    // through ReleaseDC.
    EXPECT_EQ(DeleteDC(screen), 0);
    HDC memory = CreateCompatibleDC(screen);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, memory), 0);
    EXPECT_EQ(SetStretchBltMode(memory, 0), 0);
    EXPECT_EQ(SetStretchBltMode(memory, COLORONCOLOR), BLACKONWHITE);

    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {16385, 1}, {1, 16385}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        EXPECT_EQ(CreateCompatibleBitmap(screen, w, h), nullptr);
    }

    Dib dib = MakeDib(4, 4, 32, false);
    BITMAPINFOHEADER small = dib.info.bmiHeader;
    small.biSize = 12; // an old core header: not read as a 40-byte one
    EXPECT_EQ(CreateDIBitmap(screen, &small, CBM_INIT, dib.bits.data(), &dib.info, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(CreateDIBitmap(screen, nullptr, CBM_INIT, dib.bits.data(), &dib.info, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(CreateDIBitmap(screen, &dib.info.bmiHeader, CBM_INIT, nullptr, &dib.info, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(CreateDIBitmap(screen, &dib.info.bmiHeader, CBM_INIT, dib.bits.data(), &dib.info, 1), nullptr);
    Dib paletted = MakeDib(4, 4, 32, false);
    paletted.info.bmiHeader.biBitCount = 8;
    EXPECT_EQ(CreateDIBitmap(screen, &paletted.info.bmiHeader, CBM_INIT, paletted.bits.data(), &paletted.info,
                             DIB_RGB_COLORS),
              nullptr);
    Dib compressed = MakeDib(4, 4, 32, false);
    compressed.info.bmiHeader.biCompression = 3;
    EXPECT_EQ(CreateDIBitmap(screen, &compressed.info.bmiHeader, CBM_INIT, compressed.bits.data(), &compressed.info,
                             DIB_RGB_COLORS),
              nullptr);

    // StretchBlt wants two memory contexts, positive sizes and SRCCOPY.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(StretchBlt(memory, 0, 0, 1, 1, screen, 0, 0, 1, 1, SRCCOPY), 0);
    EXPECT_EQ(StretchBlt(memory, 0, 0, 0, 1, other, 0, 0, 1, 1, SRCCOPY), 0);
    EXPECT_EQ(StretchBlt(memory, 0, 0, 1, 1, other, 0, 0, 1, -1, SRCCOPY), 0);
    EXPECT_EQ(StretchBlt(memory, 0, 0, 1, 1, other, 0, 0, 1, 1, 0x00EE0086), 0);

    EXPECT_EQ(DeleteDC(other), 1);
    EXPECT_EQ(DeleteDC(memory), 1);
    EXPECT_EQ(DeleteDC(memory), 0);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(GdiTest, DibsOfEitherDirectionAndDepthBecomeTopDownBitmaps)
{
    HDC screen = GetDC(nullptr);
    // 5 pixels of 24 bits leave a padded row; both directions of both depths.
    for (int bits : {24, 32})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (topDown ? " top-down" : " bottom-up"));
            Dib dib = MakeDib(5, 3, bits, topDown);
            HBITMAP bitmap =
                CreateDIBitmap(screen, &dib.info.bmiHeader, CBM_INIT, dib.bits.data(), &dib.info, DIB_RGB_COLORS);
            ASSERT_NE(bitmap, nullptr);
            int w = 0;
            int h = 0;
            std::vector<std::uint32_t> pixels = Pixels(bitmap, w, h);
            ASSERT_EQ(w, 5);
            ASSERT_EQ(h, 3);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(pixels[y * w + x], Expected(x, y)) << x << "," << y;
            BITMAP info{};
            EXPECT_EQ(GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
            EXPECT_EQ(info.bmWidth, 5);
            EXPECT_EQ(info.bmHeight, 3);
            EXPECT_EQ(info.bmBitsPixel, 32);
            EXPECT_EQ(DeleteObject(bitmap), 1);
        }
    ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, StretchBltCopiesNearestNeighbourAndClipsBothSides)
{
    HDC screen = GetDC(nullptr);
    Dib dib = MakeDib(4, 4, 32, false);
    HBITMAP source = CreateDIBitmap(screen, &dib.info.bmiHeader, CBM_INIT, dib.bits.data(), &dib.info, DIB_RGB_COLORS);
    HBITMAP target = CreateCompatibleBitmap(screen, 4, 4);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ fromStock = SelectObject(from, source);
    HGDIOBJ toStock = SelectObject(to, target);
    ASSERT_NE(fromStock, nullptr);
    ASSERT_NE(toStock, nullptr);
    // A selected bitmap belongs to its context: not to a second one, and it
    // cannot be deleted.
    EXPECT_EQ(SelectObject(to, source), nullptr);
    EXPECT_EQ(DeleteObject(source), 0);

    SetStretchBltMode(to, COLORONCOLOR);
    // The lower right quarter (2, 2, 2, 2) enlarged twice: each pixel twice
    // across and twice down.
    ASSERT_EQ(StretchBlt(to, 0, 0, 4, 4, from, 2, 2, 2, 2, SRCCOPY), 1);
    int w = 0;
    int h = 0;
    std::vector<std::uint32_t> pixels = Pixels(target, w, h);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixels[y * 4 + x], Expected(2 + x / 2, 2 + y / 2)) << x << "," << y;

    // A source reaching past the picture reads black there; a destination
    // past the bitmap is cut off.
    ASSERT_EQ(StretchBlt(to, 2, 2, 4, 4, from, 2, 2, 4, 4, SRCCOPY), 1);
    pixels = Pixels(target, w, h);
    EXPECT_EQ(pixels[2 * 4 + 2], Expected(2, 2));
    EXPECT_EQ(pixels[3 * 4 + 3], Expected(3, 3));
    EXPECT_EQ(pixels[0], Expected(2, 2)); // untouched
    ASSERT_EQ(StretchBlt(to, 0, 0, 4, 4, from, 3, 3, 4, 4, SRCCOPY), 1);
    pixels = Pixels(target, w, h);
    EXPECT_EQ(pixels[0], Expected(3, 3));
    EXPECT_EQ(pixels[1], 0u);
    EXPECT_EQ(pixels[15], 0u);

    EXPECT_EQ(SelectObject(from, fromStock), source);
    EXPECT_EQ(SelectObject(to, toStock), target);
    EXPECT_EQ(DeleteObject(source), 1);
    EXPECT_EQ(DeleteObject(target), 1);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, DeletingAContextFreesItsBitmapAndCountsGoBack)
{
    const int start = LiveGdiHandles();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 2);
    EXPECT_EQ(LiveGdiHandles(), start + 3);
    SelectObject(memory, bitmap);
    EXPECT_EQ(DeleteDC(memory), 1);
    // No longer selected anywhere: it can go now.
    EXPECT_EQ(DeleteObject(bitmap), 1);
    EXPECT_EQ(DeleteObject(bitmap), 0);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(LiveGdiHandles(), start);
}

} // namespace
