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

// The response of a file chooser's accept button. GTK's file chooser dialog
// checks an accept-like response (GTK_RESPONSE_ACCEPT, OK...) itself and
// reports a failed check with a message box of its own in a GTK modal loop;
// with this id, Enter and a double click still answer through the default
// button, and the caller checks the choice in our loop.
inline constexpr int kFileChooserAccept = 1;

} // namespace backends::gtk
