#include "platform/backends/gtk/DialogLoop.h"

#include "platform/win/MessageLoop.h"

namespace backends::gtk {

int RunDialogInOurLoop(GtkWidget* dialog, bool showAll)
{
    struct State {
        bool done = false;
        int response = GTK_RESPONSE_CANCEL;
    } state;
    g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, gint response, gpointer data) {
                         auto* s = static_cast<State*>(data);
                         s->response = response;
                         s->done = true;
                     }),
                     &state);
    g_signal_connect(dialog, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
    if (showAll)
        gtk_widget_show_all(dialog);
    else
        gtk_widget_show(dialog);
    win::PumpUntil([&] { return state.done; });
    return state.response;
}

} // namespace backends::gtk
