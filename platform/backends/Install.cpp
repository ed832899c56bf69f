#include "platform/backends/Install.h"

#include "platform/backends/gtk/GtkDisplay.h"
#include "platform/backends/pango/PangoText.h"

namespace backends {

bool InstallRealBackends()
{
    // Each back end adds its installation here.
    pango::InstallText();
    return gtk::InstallDisplay();
}

} // namespace backends
