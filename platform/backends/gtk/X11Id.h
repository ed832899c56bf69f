// The X window id of a GDK window (kept apart: X11's headers define macros
// such as None and Window that clash with our names).
#pragma once

#include <gdk/gdk.h>

namespace backends::gtk {

// 0 when the window is null or not on X11.
unsigned long X11IdOf(GdkWindow* window);

} // namespace backends::gtk
