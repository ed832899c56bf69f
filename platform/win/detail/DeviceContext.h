// What a device context handle points at: a window's open painting
// (BeginPaint), the screen (GetDC of no window) or a memory context
// (CreateCompatibleDC) with the bitmap selected into it.
#pragma once

#include "platform/win/Types.h"

namespace win {

struct HBITMAP__;

struct HDC__ {
    HWND window = nullptr; // the painted window (BeginPaint only)
    enum Kind { Paint, Screen, Memory } kind = Paint;
    HBITMAP__* bitmap = nullptr; // Memory: the bitmap selected, null for the stock one
    int stretchMode = 1; // BLACKONWHITE until set
};

} // namespace win
