#include "platform/win/Gdi.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/win/LastError.h"
#include "platform/win/Messages.h"
#include "platform/win/detail/DeviceContext.h"

namespace win {

struct HBITMAP__ {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // top-down
    HDC selectedInto = nullptr;
};

namespace {

constexpr int kMaxSide = 16384;
constexpr DWORD kErrorInvalidParameter = 87;

std::mutex gdiMutex;
std::unordered_set<HDC> liveContexts; // screen and memory contexts
std::unordered_set<HBITMAP> liveBitmaps;

// The one-pixel bitmap every memory context starts with; never deleted.
HBITMAP__ stockBitmap{1, 1, {0}, nullptr};

bool LiveContext(HDC dc) { return dc != nullptr && liveContexts.count(dc) != 0; }
bool LiveBitmap(HBITMAP b) { return b != nullptr && liveBitmaps.count(b) != 0; }

HBITMAP NewBitmap(int width, int height)
{
    auto* bitmap = new HBITMAP__;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    liveBitmaps.insert(bitmap);
    return bitmap;
}

} // namespace

HDC GetDC(HWND window)
{
    if (window != nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(gdiMutex);
    HDC dc = new HDC__{nullptr, HDC__::Screen};
    liveContexts.insert(dc);
    return dc;
}

int ReleaseDC(HWND, HDC dc)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (!LiveContext(dc) || dc->kind != HDC__::Screen)
        return 0;
    liveContexts.erase(dc);
    delete dc;
    return 1;
}

HDC CreateCompatibleDC(HDC dc)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (dc != nullptr && !LiveContext(dc)) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    HDC memory = new HDC__{nullptr, HDC__::Memory};
    liveContexts.insert(memory);
    return memory;
}

BOOL DeleteDC(HDC dc)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (!LiveContext(dc) || dc->kind != HDC__::Memory)
        return 0;
    if (dc->bitmap != nullptr)
        dc->bitmap->selectedInto = nullptr;
    liveContexts.erase(dc);
    delete dc;
    return 1;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (!LiveContext(dc) || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    return NewBitmap(width, height);
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    const bool fill = (init & CBM_INIT) != 0;
    // The header is read field by field: its size says how far it goes, and
    // only the first 40 bytes are ours to read.
    if (!LiveContext(dc) || header == nullptr || header->biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS ||
        (fill && (bits == nullptr || info == nullptr))) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    const std::int64_t width = header->biWidth;
    const std::int64_t rawHeight = header->biHeight;
    const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    if (!fill)
        return NewBitmap(static_cast<int>(width), static_cast<int>(height));

    const BITMAPINFOHEADER& format = info->bmiHeader;
    if (format.biSize < sizeof(BITMAPINFOHEADER) || format.biWidth != header->biWidth || format.biPlanes != 1 ||
        format.biCompression != BI_RGB || (format.biBitCount != 24 && format.biBitCount != 32) ||
        (format.biHeight != header->biHeight && format.biHeight != -header->biHeight)) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    bitmap = NewBitmap(static_cast<int>(width), static_cast<int>(height));
    const int bytesPerPixel = format.biBitCount / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t(3);
    const bool bottomUp = format.biHeight > 0;
    const auto* source = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = source + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        std::uint32_t* out = bitmap->pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x, row += bytesPerPixel)
            out[x] = (std::uint32_t(row[2]) << 16) | (std::uint32_t(row[1]) << 8) | row[0];
    }
    return bitmap;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    auto* bitmap = static_cast<HBITMAP>(object);
    const bool stock = bitmap == &stockBitmap;
    if (!LiveContext(dc) || dc->kind != HDC__::Memory || (!stock && !LiveBitmap(bitmap)) ||
        (!stock && bitmap->selectedInto != nullptr && bitmap->selectedInto != dc)) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    HBITMAP previous = dc->bitmap != nullptr ? dc->bitmap : &stockBitmap;
    if (dc->bitmap != nullptr)
        dc->bitmap->selectedInto = nullptr;
    dc->bitmap = stock ? nullptr : bitmap;
    if (!stock)
        bitmap->selectedInto = dc;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    auto* bitmap = static_cast<HBITMAP>(object);
    if (!LiveBitmap(bitmap) || bitmap->selectedInto != nullptr)
        return 0;
    liveBitmaps.erase(bitmap);
    delete bitmap;
    return 1;
}

int GetObject(HGDIOBJ object, int size, void* buffer)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    auto* bitmap = static_cast<HBITMAP>(object);
    if ((!LiveBitmap(bitmap) && bitmap != &stockBitmap) || buffer == nullptr || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP info{0, bitmap->width, bitmap->height, bitmap->width * 4, 1, 32, nullptr};
    std::memcpy(buffer, &info, sizeof info);
    return static_cast<int>(sizeof info);
}

int SetStretchBltMode(HDC dc, int mode)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (!LiveContext(dc) || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (!LiveContext(dst) || !LiveContext(src) || dst->kind != HDC__::Memory || src->kind != HDC__::Memory || w <= 0 ||
        h <= 0 || sw <= 0 || sh <= 0 || rop != SRCCOPY)
        return 0;
    const HBITMAP__& from = src->bitmap != nullptr ? *src->bitmap : stockBitmap;
    HBITMAP__& to = dst->bitmap != nullptr ? *dst->bitmap : stockBitmap;
    if (&to == &stockBitmap)
        return 1; // nothing to see on the stock bitmap
    // Copy from a snapshot when source and destination are one bitmap.
    const std::vector<std::uint32_t> snapshot = &from == &to ? from.pixels : std::vector<std::uint32_t>();
    const std::vector<std::uint32_t>& pixels = &from == &to ? snapshot : from.pixels;
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = static_cast<int>(std::min<std::int64_t>(std::int64_t(x) + w, to.width));
    const int y1 = static_cast<int>(std::min<std::int64_t>(std::int64_t(y) + h, to.height));
    for (int dy = y0; dy < y1; ++dy) {
        // The source pixel under the centre of the destination pixel.
        const std::int64_t fy = sy + ((2 * std::int64_t(dy - y) + 1) * sh) / (2 * std::int64_t(h));
        std::uint32_t* out = to.pixels.data() + static_cast<std::size_t>(dy) * to.width;
        for (int dx = x0; dx < x1; ++dx) {
            const std::int64_t fx = sx + ((2 * std::int64_t(dx - x) + 1) * sw) / (2 * std::int64_t(w));
            const bool inside = fx >= 0 && fy >= 0 && fx < from.width && fy < from.height;
            out[dx] = inside ? pixels[static_cast<std::size_t>(fy) * from.width + static_cast<std::size_t>(fx)] : 0;
        }
    }
    return 1;
}

bool BitmapPixels(HBITMAP bitmap, int& width, int& height, std::vector<std::uint32_t>& pixels)
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    if (!LiveBitmap(bitmap))
        return false;
    width = bitmap->width;
    height = bitmap->height;
    pixels = bitmap->pixels;
    return true;
}

int LiveGdiHandles()
{
    std::lock_guard<std::mutex> guard(gdiMutex);
    return static_cast<int>(liveContexts.size() + liveBitmaps.size());
}

} // namespace win
