// Where a native widget (the web view) lies over a form's painted picture:
// pure arithmetic, kept apart from GTK so that it can be tested alone.
#pragma once

namespace backends::gtk {

struct NativeRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;

    bool operator==(const NativeRect&) const = default;
};

// The part of the rectangle (client pixels of the form) inside the form's
// client area. A widget reaching past the area would make the window grow,
// so it is cut there; nothing left, or not visible, means hidden (with an
// empty rectangle).
NativeRect ClipToClient(int left, int top, int width, int height, bool visible, int clientWidth, int clientHeight);

} // namespace backends::gtk
