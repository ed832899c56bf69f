#include "platform/backends/gtk/GtkFolderPicker.h"

#include <gtk/gtk.h>

#include "platform/backends/gtk/DialogLoop.h"
#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/gtk/WindowsFolder.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Screen.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageBox.h"
#include "platform/win/PathResolver.h"

namespace backends::gtk {

bool GtkFolderPicker::Pick(const rtl::UnicodeString& title, const rtl::UnicodeString& startFolder,
                           rtl::UnicodeString& chosen)
{
    GtkWindow* parent = FPresenter.WindowOf(vcl::Screen->ActiveForm());
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(rtl::ToUtf8(title).c_str(), parent, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                    "キャンセル", GTK_RESPONSE_CANCEL, "OK", kFileChooserAccept, nullptr);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), kFileChooserAccept);
    // The drives as places, the start folder opened.
    for (const win::DriveEntry& d : win::DriveTable::Instance().Entries())
        if (d.present)
            gtk_file_chooser_add_shortcut_folder(GTK_FILE_CHOOSER(dialog), d.root.c_str(), nullptr);
    const win::ResolvedPath start = win::ResolvePath(startFolder.view());
    if (start.ok())
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), start.host.c_str());

    const int response = RunDialogInOurLoop(dialog, false);

    std::string host;
    if (response == kFileChooserAccept)
        if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
            host = name;
            g_free(name);
        }
    gtk_widget_destroy(dialog);
    if (host.empty())
        return false;
    // A folder outside every drive gets a drive of its own.
    const std::u16string folder = UsableWindowsFolderOf(host);
    if (folder.empty()) {
        std::u16string shown;
        const std::u16string text = (win::Utf8ToUtf16(host, shown) ? shown : std::u16string(u"?")) +
            std::u16string(u"\nこのフォルダーは使えません。");
        win::MessageBox(nullptr, text.c_str(), title.c_str(), win::MB_OK | win::MB_ICONWARNING);
        return false;
    }
    chosen = rtl::UnicodeString(folder);
    return true;
}

} // namespace backends::gtk
