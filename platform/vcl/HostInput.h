// Input from a real display, as the window presenter receives it for one
// of its form windows, delivered to the controls by the same route as the
// test driver's (MouseInput, the key route of TWinControl, TScreen's
// activation). Coordinates are the form's client coordinates (the window's
// own, as the presenter shows the client area 1:1).
//
// The presenter calls these from a message it posted to itself, so input is
// handled in order with the other messages, by any loop that dispatches
// them (modal ones too), never inside the toolkit's own callbacks.
#pragma once

#include <cstdint>

#include "platform/vcl/Events.h"
#include "platform/vcl/Geometry.h"

namespace vcl {

class TControl;
class TCustomForm;

class HostInput {
public:
    // The topmost visible control under p (form client coordinates), at any
    // depth (disabled ones too: MouseInput decides what they get); the form
    // itself where no child is. local receives p in its client coordinates.
    static TControl* ControlAt(TCustomForm& form, TPoint p, TPoint& local);

    // A button went down; dbl: the second press of a double click.
    static void Press(TCustomForm& form, TMouseButton button, TShiftState shift, int x, int y, bool dbl = false);
    // The release goes to the control that took the press (the capture).
    static void Release(TCustomForm& form, TMouseButton button, TShiftState shift, int x, int y);
    static void Move(TCustomForm& form, TShiftState shift, int x, int y);
    // The pointer left the window (hover ends unless a button is held).
    static void Leave(TCustomForm& form);
    // Wheel notches (positive: away from the user) as WM_MOUSEWHEEL
    // (120 a notch, screen coordinates) to the focused control of the form,
    // else the form.
    static void Wheel(TCustomForm& form, TShiftState shift, int x, int y, int notches);

    // A key went down (key: the virtual-key code, 0 for a character without
    // one; ch: the character it types, 0 for none) to the focused control
    // of the form, else the form: key down, then the character unless a
    // handler took the key. A form blocked by a modal one gets nothing.
    static void KeyDown(TCustomForm& form, std::uint16_t key, char16_t ch, TShiftState shift);
    static void KeyUp(TCustomForm& form, std::uint16_t key, TShiftState shift);

    // The window took the keyboard focus / lost it to a window that is not
    // one of ours.
    static void FocusIn(TCustomForm& form);
    static void FocusOut(TCustomForm& form);
    // The title bar's close box (or the window manager's close).
    static void CloseRequest(TCustomForm& form);
    // The window manager moved the window: the form's outer frame is now at
    // left, top (the size stays the form's).
    static void Moved(TCustomForm& form, int left, int top);
};

} // namespace vcl
