// GDI bitmaps: the screen's device context, memory device contexts,
// device-independent bitmaps turned into device bitmaps, and stretch copies.
//
// Device bitmaps are 32-bit, top-down, one uint32 per pixel (0x00RRGGBB).
// A DIB given to CreateDIBitmap may be bottom-up (positive height) or
// top-down (negative height), 24 or 32 bits per pixel, uncompressed; it
// becomes top-down. StretchBlt copies nearest-neighbour in every stretch
// mode (COLORONCOLOR's rule; HALFTONE is not blended here) and only SRCCOPY.
// Pixels outside the source bitmap read as black; nothing is read or
// written outside a bitmap.
//
// Every device context from GetDC and CreateCompatibleDC and every bitmap
// is a live handle until ReleaseDC / DeleteDC / DeleteObject; LiveGdiHandles
// counts them so tests can prove nothing leaks.
//
// Thread: any thread; a handle is used by one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/Paint.h"
#include "platform/win/Types.h"

namespace win {

struct HBITMAP__;
using HBITMAP = HBITMAP__*;
using HGDIOBJ = void*;

#pragma pack(push, 2)
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);

inline constexpr DWORD BI_RGB = 0;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// What GetObject tells of a bitmap.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits; // null: device bitmaps keep their bits to themselves
};

inline constexpr DWORD CBM_INIT = 4;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// The screen's device context for a null window; windows' own contexts are
// not given here (null with ERROR_INVALID_WINDOW_HANDLE).
HDC GetDC(HWND window);
// 1 when `dc` came from GetDC and is released now; 0 otherwise.
int ReleaseDC(HWND window, HDC dc);

// A memory device context compatible with `dc` (null: the screen), holding
// the one-pixel stock bitmap. Null when `dc` is not a live context.
HDC CreateCompatibleDC(HDC dc);
// Deletes a memory context; the bitmap selected into it is free again
// (not deleted). 0 for anything that is not a live memory context.
BOOL DeleteDC(HDC dc);

// A bitmap of width x height compatible with `dc`, black. Null for a dead
// context, a size not above 0, or above 16384 a side.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A device bitmap of the DIB's size; with CBM_INIT, `bits` laid out as
// `info` says (rows padded to 4 bytes) fill it. Null for a null header, a
// header size below 40, a size of 0 or above 16384 a side, planes other
// than 1, a compression other than BI_RGB, 24/32 bits per pixel not given,
// CBM_INIT with null bits or info, or usage other than DIB_RGB_COLORS.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);

// Selects a bitmap into a memory context; returns the one selected before
// (the stock bitmap at first). Null when `dc` is no memory context, the
// object is no live bitmap, or the bitmap is selected into another context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a bitmap that is not selected; 0 for a selected bitmap, the stock
// bitmap or anything that is not a live bitmap.
BOOL DeleteObject(HGDIOBJ object);
// Fills a BITMAP for a bitmap; the bytes written, 0 for no bitmap or a
// buffer smaller than BITMAP.
int GetObject(HGDIOBJ object, int size, void* buffer);

// The stretch mode of the context (BLACKONWHITE..HALFTONE); returns the
// previous mode, 0 for a bad context or mode.
int SetStretchBltMode(HDC dc, int mode);
// Copies source rectangle (sx, sy, sw, sh) of `src`'s bitmap onto
// (x, y, w, h) of `dst`'s, nearest neighbour. Both must be memory contexts
// with bitmaps selected; sizes above 0; rop SRCCOPY. 0 otherwise.
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);

// The pixels of a bitmap, top-down 0x00RRGGBB (what GetDIBits gives for a
// 32-bit top-down request): false for no bitmap.
bool BitmapPixels(HBITMAP bitmap, int& width, int& height, std::vector<std::uint32_t>& pixels);

// Device contexts from GetDC and CreateCompatibleDC and bitmaps not yet
// given back.
int LiveGdiHandles();

} // namespace win
