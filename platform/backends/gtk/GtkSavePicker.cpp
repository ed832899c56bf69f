#include "platform/backends/gtk/GtkSavePicker.h"

#include <gtk/gtk.h>

#include "platform/backends/gtk/DialogLoop.h"
#include "platform/backends/gtk/FileFilter.h"
#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/gtk/WindowsFolder.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Screen.h"
#include "platform/win/CurrentDirectory.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageBox.h"
#include "platform/win/PathResolver.h"

namespace backends::gtk {

namespace {

// The host folder a Windows folder names, or empty.
std::string HostFolderOf(const std::u16string& windowsFolder)
{
    if (windowsFolder.empty())
        return {};
    const win::ResolvedPath r = win::ResolvePath(windowsFolder);
    return r.ok() && g_file_test(r.host.c_str(), G_FILE_TEST_IS_DIR) ? r.host : std::string();
}

std::u16string Wide(const std::string& utf8)
{
    std::u16string out;
    return win::Utf8ToUtf16(utf8, out) ? out : std::u16string(u"?");
}

void Refuse(const std::u16string& title, const std::u16string& text)
{
    win::MessageBox(nullptr, text.c_str(), title.c_str(), win::MB_OK | win::MB_ICONWARNING);
}

} // namespace

bool GtkSavePicker::PickSaveFile(const vcl::SaveFileRequest& request, rtl::UnicodeString& chosen)
{
    // The proposed name may carry a folder of its own ("E:\x\name.jpg").
    std::u16string name(request.fileName.view());
    std::u16string folder(request.initialDir.view());
    if (const std::size_t cut = name.find_last_of(u"\\/"); cut != std::u16string::npos) {
        if (folder.empty())
            folder = name.substr(0, cut == 2 && name[1] == u':' ? 3 : cut);
        name.erase(0, cut + 1);
    }
    std::string hostFolder = HostFolderOf(folder);
    if (hostFolder.empty())
        hostFolder = HostFolderOf(win::CurrentDirectory());
    std::string hostName = rtl::ToUtf8(rtl::UnicodeString(name));
    const std::vector<NamedFilter> filters = ParseFileFilter(std::u16string(request.filter.view()));

    for (;;) {
        GtkWindow* parent = FPresenter.WindowOf(vcl::Screen->ActiveForm());
        GtkWidget* dialog =
            gtk_file_chooser_dialog_new(rtl::ToUtf8(request.title).c_str(), parent, GTK_FILE_CHOOSER_ACTION_SAVE,
                                        "キャンセル", GTK_RESPONSE_CANCEL, "保存(_S)", kFileChooserAccept, nullptr);
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
        gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
        gtk_window_set_position(GTK_WINDOW(dialog), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
        gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), kFileChooserAccept);
        // The program asks about an existing file itself.
        gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
        gtk_file_chooser_set_local_only(chooser, TRUE);
        for (const win::DriveEntry& d : win::DriveTable::Instance().Entries())
            if (d.present)
                gtk_file_chooser_add_shortcut_folder(chooser, d.root.c_str(), nullptr);
        for (const NamedFilter& f : filters) {
            GtkFileFilter* filter = gtk_file_filter_new();
            gtk_file_filter_set_name(filter, f.name.c_str());
            for (const std::string& pattern : f.patterns)
                gtk_file_filter_add_pattern(filter, pattern.c_str());
            gtk_file_chooser_add_filter(chooser, filter);
        }
        if (!hostFolder.empty())
            gtk_file_chooser_set_current_folder(chooser, hostFolder.c_str());
        gtk_file_chooser_set_current_name(chooser, hostName.c_str());

        const int response = RunDialogInOurLoop(dialog, false);

        std::string file;
        if (response == kFileChooserAccept)
            if (gchar* picked = gtk_file_chooser_get_filename(chooser)) {
                file = picked;
                g_free(picked);
            }
        // Where the user was, for showing the dialog again after a refusal.
        std::string shownFolder;
        if (gchar* current = gtk_file_chooser_get_current_folder(chooser)) {
            shownFolder = current;
            g_free(current);
        }
        gtk_widget_destroy(dialog);
        if (response != kFileChooserAccept)
            return false;
        if (file.empty()) { // no name yet: the dialog stays
            hostFolder = shownFolder;
            continue;
        }

        // A folder named in the name field is opened, as GTK would.
        if (g_file_test(file.c_str(), G_FILE_TEST_IS_DIR)) {
            hostFolder = file;
            hostName.clear();
            continue;
        }
        std::u16string windowsFile;
        const std::size_t slash = file.rfind('/');
        hostFolder = slash == 0 || slash == std::string::npos ? std::string("/") : file.substr(0, slash);
        hostName = file.substr(slash + 1);
        switch (WindowsFileOf(file, windowsFile)) {
        case HostFileVerdict::ok:
            chosen = rtl::UnicodeString(windowsFile);
            return true;
        case HostFileVerdict::badName:
            Refuse(std::u16string(request.title.view()),
                   Wide(hostName) +
                       u"\nこのファイル名は使えません。\n"
                       u"ファイル名には次の文字は使えません: \\ / : * ? \" < > |");
            break;
        case HostFileVerdict::missingFolder:
            Refuse(std::u16string(request.title.view()), Wide(hostFolder) + u"\nこのフォルダーは見つかりません。");
            hostFolder = shownFolder;
            break;
        case HostFileVerdict::unusableFolder:
            Refuse(std::u16string(request.title.view()), Wide(hostFolder) + u"\nこのフォルダーには保存できません。");
            hostFolder = shownFolder;
            break;
        }
    }
}

} // namespace backends::gtk
