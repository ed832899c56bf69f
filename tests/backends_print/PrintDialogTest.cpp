// The print dialog on a real display (skipped without one): it lists the
// printers it is given with the current one selected, and answers the one
// the user picks, or nothing when cancelled. Run under Xvfb in CI; it
// leaves a snapshot of the dialog in the build folder's snapshots.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/gtk/GtkPrintDialog.h"
#include "platform/win/HostEvents.h"

namespace backends_print_test {

namespace {

GtkWidget* FindCombo(GtkWidget* widget)
{
    if (GTK_IS_COMBO_BOX(widget))
        return widget;
    GtkWidget* found = nullptr;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c && !found; c = c->next)
            found = FindCombo(GTK_WIDGET(c->data));
        g_list_free(children);
    }
    return found;
}

// What the user does once the dialog is up.
struct Answer {
    int pick = -1; // the printer picked, -1 to cancel
    int shownAt = -1; // the selection when it came up
    std::string snapshot;
};

gboolean Respond(gpointer data)
{
    auto* answer = static_cast<Answer*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
        GtkWidget* window = GTK_WIDGET(w->data);
        if (!GTK_IS_DIALOG(window) || !gtk_widget_get_visible(window))
            continue;
        GtkWidget* combo = FindCombo(window);
        answer->shownAt = combo ? gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) : -2;
        if (!answer->snapshot.empty())
            if (GdkPixbuf* shot = gdk_pixbuf_get_from_window(gtk_widget_get_window(window), 0, 0,
                                                             gtk_widget_get_allocated_width(window),
                                                             gtk_widget_get_allocated_height(window))) {
                gdk_pixbuf_save(shot, answer->snapshot.c_str(), "png", nullptr, nullptr);
                g_object_unref(shot);
            }
        if (combo && answer->pick >= 0)
            gtk_combo_box_set_active(GTK_COMBO_BOX(combo), answer->pick);
        gtk_dialog_response(GTK_DIALOG(window), answer->pick >= 0 ? GTK_RESPONSE_ACCEPT : GTK_RESPONSE_CANCEL);
    }
    g_list_free(windows);
    return G_SOURCE_REMOVE;
}

} // namespace

TEST(GtkPrintDialogs, TheDialogOffersThePrintersAndAnswersTheOnePicked)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display || !gtk_init_check(nullptr, nullptr))
        GTEST_SKIP() << "no display";
    backends::gtk::GtkPresenter presenter("");
    win::ScopedHostEventSource installed(presenter);
    std::string chosen;
    backends::gtk::GtkPrintDialog dialog(presenter,
                                         {[](int& current) {
                                              current = 2;
                                              return std::vector<std::string>{"Office", "Lab", "PDF"};
                                          },
                                          [&](const std::string& name) { chosen = name; }});
    const std::string snapshots = std::string(VM_BINARY_DIR) + "/snapshots";
    std::filesystem::create_directories(snapshots);

    Answer pick{1, -1, snapshots + "/print_dialog.png"};
    g_timeout_add(300, &Respond, &pick);
    EXPECT_TRUE(dialog.ConfirmPrint());
    EXPECT_EQ(pick.shownAt, 2);
    EXPECT_EQ(chosen, "Lab");

    Answer cancel;
    chosen.clear();
    g_timeout_add(300, &Respond, &cancel);
    EXPECT_FALSE(dialog.ConfirmPrint());
    EXPECT_EQ(chosen, "");
}

} // namespace backends_print_test
