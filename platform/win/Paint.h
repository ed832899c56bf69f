// Painting a window: device contexts over a window's surface.
//
// A window that can be painted keeps a surface: its client area as 32-bit
// pixels (0x00RRGGBB, top-down), what the screen shows of it. BeginPaint
// gives a device context over that surface, EndPaint gives it back; whoever
// draws with the context (the windowless video renderer through its
// presenter) writes into the surface, and the framework shows the surface
// over the control's own painting, so a form's picture holds what was drawn.
// The surface follows the client size: on a change of size the part that
// still fits is kept and the rest is black.
//
// Thread: the thread that owns the window (as all painting on Windows).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/Rect.h"
#include "platform/win/Types.h"

namespace win {

// The device context handle of the drawing layer.
struct HDC__;
using HDC = HDC__*;

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = 0;
    RECT rcPaint; // the whole client area: there is no partial update
    BOOL fRestore = 0;
    BOOL fIncUpdate = 0;
    BYTE rgbReserved[32] = {};
};

// A window's pixels. Windows hand theirs out through
// WindowProcedure::Surface (null: the window cannot be painted).
struct WindowSurface {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // width * height
    // Something was drawn into it since it was made.
    bool painted = false;

    // Sizes the surface, keeping the part that still fits; new pixels black.
    // Sizes are capped at 16384 a side; negative counts as 0.
    void Resize(int newWidth, int newHeight);
};

// Starts painting the window: fills `paint` (rcPaint the client area) and
// returns its device context. Null, with the last error set, for a null
// `paint` (ERROR_INVALID_PARAMETER), a window that does not exist
// (ERROR_INVALID_WINDOW_HANDLE), one owned by another thread
// (ERROR_ACCESS_DENIED) or one that has no surface.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
// Ends the painting begun by BeginPaint for the same window; the context is
// invalid afterwards. 0 for a null `paint` or a context that is not this
// window's open one (nothing changes then).
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// The client area of the window (0, 0, width, height); 0 when it does not
// exist or has no surface.
BOOL GetClientRect(HWND window, RECT* rect);

// The surface a device context draws into, or null when the context is not
// open or its window is gone. Valid until the context ends; owner thread.
WindowSurface* SurfaceOfDC(HDC dc);
// The window of an open device context, or null.
HWND WindowFromDC(HDC dc);

// Device contexts begun and not yet ended (tests prove nothing leaks).
int OpenDeviceContexts();

} // namespace win
