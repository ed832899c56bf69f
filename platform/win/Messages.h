// Window messages and the per-thread message queues.
//
// Every thread has one queue, created on its first use of this layer (a
// TThread's queue exists as soon as the TThread object does, so a message
// posted before the thread runs is kept). What a queue hands out, in order:
//   1. messages sent from other threads (SendMessage): handled inside the
//      retrieving call, never returned;
//   2. posted messages, first in first out;
//   3. WM_QUIT when PostQuitMessage was called;
//   4. WM_TIMER for a due timer (Timers.h), at most one pending tick per timer.
// A thread handles sent messages in every wait of this layer: GetMessage,
// PeekMessage, the pumps of MessageLoop.h, TThread::WaitFor and its own
// SendMessage to another thread.
//
// Window procedures always run on the thread that owns the window.
#pragma once

#include "platform/win/Rect.h"
#include "platform/win/Types.h"

namespace win {

using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

// Error codes of the window and thread calls (GetLastError, LastError.h).
inline constexpr DWORD ERROR_NOT_OWNER = 288;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
inline constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

// System messages (the numbers of the real platform).
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETTINGCHANGE = 0x001A;
inline constexpr UINT WM_ACTIVATEAPP = 0x001C;
inline constexpr UINT WM_DISPLAYCHANGE = 0x007E;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

inline constexpr LRESULT HTCAPTION = 2;
inline constexpr WPARAM SC_CLOSE = 0xF060;

// PeekMessage's removal flags.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// A message as the queue hands it out. `time` is the layer's tick count when
// the message was posted (or the timer ticked).
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

// A message as the framework's handlers receive it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// The layer's id of the calling thread (never 0). Threads started by TThread
// get theirs when the TThread object is built; any other thread on its first
// call. Ids are not reused within a process.
DWORD GetCurrentThreadId();

// Appends to the queue of the window's thread; nonzero on success. A null
// window posts to the calling thread, as a thread message. Fails with
// ERROR_INVALID_WINDOW_HANDLE for a window that does not exist (any more)
// and ERROR_NOT_ENOUGH_QUOTA when the queue holds 10000 messages.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Posts a message without a window to a thread's queue; fails with
// ERROR_INVALID_THREAD_ID when no such thread exists or it has ended.
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// Calls the window's procedure and returns its result. On the owner's thread
// directly; from another thread it waits until the owner handles it (in any
// of its waits), handling messages sent to the calling thread meanwhile.
// Returns 0 for a window that does not exist, and releases the sender with 0
// when the window is destroyed or its thread ends before handling it.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the calling thread's quit request: GetMessage returns WM_QUIT (with
// wParam exitCode) once the posted messages ahead of it are taken.
void PostQuitMessage(int exitCode);

// Waits for the next message of the calling thread and removes it. Returns
// 0 for WM_QUIT, nonzero otherwise (-1 for a bad argument). `window` null
// takes every message of the thread, (HWND)-1 only thread messages; a range
// min..max (0, 0 = all) restricts the message numbers. Under the virtual
// clock a wait that nothing can end calls the stall handler (MessageLoop.h)
// on threads not started by TThread.
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);

// Like GetMessage but never waits: nonzero when a message was there (WM_QUIT
// included), 0 when none. PM_REMOVE takes it off the queue.
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);

// Waits until the calling thread has something to retrieve (a posted
// message, the quit request, a due timer) or has handled a message sent to
// it; returns at once when something is there already. Under the virtual clock it
// moves the clock on or calls the stall handler as GetMessage does. A loop
// that finds nothing with PeekMessage waits here (the framework's idle wait).
BOOL WaitMessage();

// Keys are delivered by the framework's test interface directly; this
// produces no WM_CHAR and returns 0.
BOOL TranslateMessage(const MSG* msg);

// Calls the procedure of the message's window (or the timer's callback for a
// WM_TIMER that carries one) and returns its result. A message for a window
// that no longer exists, or that the calling thread does not own, and a
// thread message are dropped (result 0).
LRESULT DispatchMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);

} // namespace win
