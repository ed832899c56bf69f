#include "platform/backends/gtk/X11Id.h"

#include <gdk/gdkx.h>

namespace backends::gtk {

unsigned long X11IdOf(GdkWindow* window)
{
    if (!window || !GDK_IS_X11_WINDOW(window))
        return 0;
    return static_cast<unsigned long>(gdk_x11_window_get_xid(window));
}

} // namespace backends::gtk
