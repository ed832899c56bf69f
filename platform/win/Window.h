// Window handles: one registry for the process.
//
// A window is a handle, the thread that created it (its owner) and an object
// with a window procedure. The registry never reuses a handle, so a message
// for a destroyed window can never reach another one. Window procedures run
// only on the owner's thread; DestroyWindow is allowed only there.
#pragma once

#include "platform/win/Messages.h"
#include "platform/win/Types.h"

namespace win {

struct WindowSurface;

// What a window handle calls. Implemented by the framework's windowed
// controls and by TMessageWindow.
class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    // Runs on the owner's thread. May run nested loops, send, post and destroy
    // its own window.
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The window's pixels for BeginPaint (Paint.h), sized to its client area;
    // null when it cannot be painted. Runs on the owner's thread.
    virtual WindowSurface* Surface() { return nullptr; }
    // EndPaint ended a painting of the surface (owner's thread; no context
    // is open for it any more, the pixels are what was drawn).
    virtual void SurfacePainted() {}
};

// Registers a window owned by the calling thread. `procedure` must outlive
// the handle (destroy the window first). Null procedure: returns null and
// ERROR_INVALID_PARAMETER.
HWND CreateWindowHandle(WindowProcedure* procedure);

// Sends WM_DESTROY to the procedure, then removes the handle with its timers;
// senders still waiting on it are released with 0 and its posted messages
// are dropped. Fails (0, ERROR_INVALID_WINDOW_HANDLE) for an unknown handle,
// and (0, ERROR_ACCESS_DENIED) from a thread other than the owner.
BOOL DestroyWindow(HWND window);

// Nonzero while the handle is registered.
BOOL IsWindow(HWND window);

// The owner's thread id, 0 for an unknown handle. `processId`, when given,
// receives the process id.
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

// The default procedure: WM_CLOSE destroys the window; everything else
// gives 0.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace win
