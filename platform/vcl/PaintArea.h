// Where controls land in the picture of their top-level form's client area
// (the picture a window presenter keeps: the form painted with its client
// area's top left at 0, 0). A presenter repaints only what was invalidated
// and copies a painted surface straight into its picture by these.
#pragma once

#include "platform/vcl/Geometry.h"

namespace vcl {

class TControl;
class TWinControl;

struct PaintArea {
    // The control's rectangle in that picture, clipped to the client area of
    // each of its parents; empty outside it.
    static TRect Of(const TControl& control);
    // Part rect of the control (in its own coordinates) in that picture.
    static TRect OfPart(const TControl& control, const TRect& rect);
    // Where the control's surface (its client area) shows, or an empty
    // rectangle when it or a parent is hidden.
    static TRect ClientOf(const TWinControl& control);
    // Where the top left of the control's client area lies (not clipped).
    static TPoint ClientOrigin(const TWinControl& control);
    // Whether something painted after the control's surface (a child of it,
    // or a later sibling of it or of a parent) lies over area.
    static bool Covered(const TWinControl& control, const TRect& area);

private:
    static TRect InPicture(const TControl& control, TRect rect, bool visibleOnly);
};

} // namespace vcl
