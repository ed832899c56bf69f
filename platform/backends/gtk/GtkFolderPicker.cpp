#include "platform/backends/gtk/GtkFolderPicker.h"

#include <gtk/gtk.h>

#include "platform/backends/gtk/DialogLoop.h"
#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/gtk/WindowsFolder.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Screen.h"
#include "platform/win/DriveTable.h"
#include "platform/win/PathResolver.h"

namespace backends::gtk {

bool GtkFolderPicker::Pick(const rtl::UnicodeString& title, const rtl::UnicodeString& startFolder,
                           rtl::UnicodeString& chosen)
{
    GtkWindow* parent = FPresenter.WindowOf(vcl::Screen->ActiveForm());
    GtkWidget* dialog = gtk_file_chooser_dialog_new(rtl::ToUtf8(title).c_str(), parent,
                                                    GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "キャンセル",
                                                    GTK_RESPONSE_CANCEL, "OK", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    // The drives as places, the start folder opened.
    for (const win::DriveEntry& d : win::DriveTable::Instance().Entries())
        if (d.present)
            gtk_file_chooser_add_shortcut_folder(GTK_FILE_CHOOSER(dialog), d.root.c_str(), nullptr);
    const win::ResolvedPath start = win::ResolvePath(startFolder.view());
    if (start.ok())
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), start.host.c_str());

    const int response = RunDialogInOurLoop(dialog, false);

    std::u16string folder;
    if (response == GTK_RESPONSE_ACCEPT)
        if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
            folder = WindowsFolderOf(name);
            g_free(name);
        }
    gtk_widget_destroy(dialog);
    // A folder outside every drive is nothing the program could open.
    if (folder.empty())
        return false;
    chosen = rtl::UnicodeString(folder);
    return true;
}

} // namespace backends::gtk
