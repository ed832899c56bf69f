// The display module's entry (Modules.h): GTK windows and Pango text.
#include "platform/backends/Modules.h"
#include "platform/backends/gtk/GtkDisplay.h"
#include "platform/backends/pango/PangoText.h"

extern "C" __attribute__((visibility("default"))) bool
VmInstallDisplayModule(const backends::gtk::PrinterChoices* printers)
{
    vcl::InstallTextRenderer(&backends::pango::PangoRenderer());
    if (!backends::gtk::InstallDisplay())
        return false;
    if (printers)
        backends::gtk::InstallPrintDialog(*printers);
    return true;
}
