// Runs a GTK dialog inside our own message loop (never gtk_dialog_run), so
// timers and sent messages go on while it waits.
#pragma once

#include <gtk/gtk.h>

namespace backends::gtk {

// Shows `dialog` (and its children when `showAll`), waits in our loop for
// its answer and returns the response id; Escape or the close box give
// GTK_RESPONSE_CANCEL and leave the dialog whole for the caller to read and
// destroy.
int RunDialogInOurLoop(GtkWidget* dialog, bool showAll);

} // namespace backends::gtk
