// Window timers on the layer's clock (Clock.h).
//
// A timer produces WM_TIMER (wParam the timer id, lParam the callback if one
// was given) only from message retrieval, after the posted messages, and at
// most one pending tick: periods that pass while nobody retrieves messages
// are not queued up. After a tick the next one is due one interval later
// than the moment the tick was taken. Setting a timer that exists (same
// window and id) replaces it and re-arms it from now.
//
// With coalescing on (CoalesceTimers), ticks fall on multiples of the
// interval on the clock: the first on the first multiple at least one
// interval after the timer is set, each next on the multiple nearest one
// interval after the tick taken. Timers of one interval, or of intervals
// that divide each other, then tick in the same turn of the loop wherever
// they were started, and their paints reach the display together. A first
// tick comes up to one interval late but never early, as a timer the system
// coalesces may; later ticks keep the period.
#pragma once

#include "platform/win/Messages.h"

namespace win {

using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD time);

inline constexpr UINT USER_TIMER_MINIMUM = 10;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Starts (or re-arms) the timer `id` of `window`, which must belong to the
// calling thread; returns `id` (nonzero) on success, 0 on failure
// (ERROR_INVALID_WINDOW_HANDLE, ERROR_ACCESS_DENIED for another thread's
// window). With a null window the timer belongs to the calling thread, `id`
// is ignored and a new id is returned. The interval is clamped to
// USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback);

// Turns coalescing on or off for every thread's timers set or ticking from
// now; off at start.
void CoalesceTimers(bool on);

// Stops the timer and drops its pending tick; 0 when there is no such timer.
BOOL KillTimer(HWND window, UINT_PTR id);

} // namespace win
