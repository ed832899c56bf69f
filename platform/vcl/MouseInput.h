// The one path by which mouse input reaches controls (the test driver and,
// later, a window presenter use it). Coordinates are the control's client
// coordinates.
//
// Rules: a press captures the mouse until the release, so moves and the
// release go to the pressed control (coordinates relative to it, possibly
// negative or beyond its size); a click is raised for the left button
// released inside the captured control, before its mouse-up; a control that
// does not accept input (hidden, disabled, or blocked by a modal form) gets
// no press and no click or release without capture, but still enter and
// leave. A double click is down, click, up, then DblClick, down with
// ssDouble, up. An exception of the framework escaping a handler goes to
// the application's exception box, as it would from a window procedure.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/Control.h"

namespace vcl {

class MouseInput {
public:
    // False when the control does not accept input (nothing delivered).
    static bool Press(TControl* control, TMouseButton button, TShiftState shift, int x, int y, bool dbl = false);
    static void Move(TControl* control, TShiftState shift, int x, int y);
    // False when nothing was delivered (no capture and no input accepted).
    static bool Release(TControl* control, TMouseButton button, TShiftState shift, int x, int y);
    // The pressed control while a button is held, else null.
    static TControl* Capture();
    // Drops capture and hover (the driver does at its start and end).
    static void Reset();
    // The control the mouse is over (enter/leave), or null.
    static TControl* Hover();
    // Enter/leave bookkeeping for the mouse arriving over control.
    static void HoverTo(TControl* control);
    // A pop-up (a drop-down calendar) that a press anywhere outside it
    // closes: close runs and that press goes no further, as with the
    // system's pop-ups. One at a time; null takes it away without closing.
    static void SetPopup(TControl* popup, std::function<void()> close);
    static TControl* Popup();
};

} // namespace vcl
