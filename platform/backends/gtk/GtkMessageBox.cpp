#include "platform/backends/gtk/GtkMessageBox.h"

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Screen.h"
#include "platform/win/MessageLoop.h"

namespace backends::gtk {

namespace {

struct Request {
    const win::MessageBoxCall* call = nullptr;
    int result = 0;
};

struct ButtonSpec {
    int id;
    const char* label;
};

std::vector<ButtonSpec> ButtonsOf(win::UINT type)
{
    switch (type & win::MB_TYPEMASK) {
    case win::MB_OKCANCEL:
        return {{win::IDOK, "OK"}, {win::IDCANCEL, "キャンセル"}};
    case win::MB_ABORTRETRYIGNORE:
        return {{win::IDABORT, "中止(_A)"}, {win::IDRETRY, "再試行(_R)"}, {win::IDIGNORE, "無視(_I)"}};
    case win::MB_YESNOCANCEL:
        return {{win::IDYES, "はい(_Y)"}, {win::IDNO, "いいえ(_N)"}, {win::IDCANCEL, "キャンセル"}};
    case win::MB_YESNO:
        return {{win::IDYES, "はい(_Y)"}, {win::IDNO, "いいえ(_N)"}};
    case win::MB_RETRYCANCEL:
        return {{win::IDRETRY, "再試行(_R)"}, {win::IDCANCEL, "キャンセル"}};
    default:
        return {{win::IDOK, "OK"}};
    }
}

const char* IconOf(win::UINT type)
{
    switch (type & win::MB_ICONMASK) {
    case win::MB_ICONERROR:
        return "dialog-error";
    case win::MB_ICONQUESTION:
        return "dialog-question";
    case win::MB_ICONWARNING:
        return "dialog-warning";
    case win::MB_ICONINFORMATION:
        return "dialog-information";
    default:
        return nullptr;
    }
}

struct BoxState {
    bool done = false;
    int result = 0;
};

} // namespace

GtkMessageBoxes::GtkMessageBoxes(GtkPresenter& presenter) : FPresenter(presenter), FUiThread(std::this_thread::get_id())
{
    FPresenter.OnBoxRequest = [this](win::LPARAM lParam) {
        auto* request = reinterpret_cast<Request*>(lParam);
        request->result = Show(*request->call);
    };
}

int GtkMessageBoxes::Answer(const win::MessageBoxCall& call)
{
    if (std::this_thread::get_id() == FUiThread)
        return Show(call);
    Request request;
    request.call = &call;
    win::SendMessage(FPresenter.PostTarget(), GtkPresenter::WM_HOST_BOX, 0, reinterpret_cast<win::LPARAM>(&request));
    return request.result;
}

int GtkMessageBoxes::Show(const win::MessageBoxCall& call)
{
    std::u16string text;
    for (char16_t c : call.text)
        if (c != u'\r')
            text += c;

    BoxState state;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), rtl::Utf16ToUtf8(call.caption).c_str());
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window), TRUE);
    gtk_window_set_keep_above(GTK_WINDOW(window), TRUE);
    gtk_window_set_modal(GTK_WINDOW(window), TRUE);
    GtkWindow* parent = FPresenter.WindowOf(vcl::Screen->ActiveForm());
    if (parent) {
        gtk_window_set_transient_for(GTK_WINDOW(window), parent);
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER_ON_PARENT);
    } else {
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    }

    GtkWidget* outer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    gtk_container_set_border_width(GTK_CONTAINER(outer), 12);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    if (const char* icon = IconOf(call.type))
        gtk_box_pack_start(GTK_BOX(row), gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG), FALSE, FALSE, 0);
    GtkWidget* label = gtk_label_new(rtl::Utf16ToUtf8(text).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_box_pack_start(GTK_BOX(row), label, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(outer), row, TRUE, TRUE, 0);
    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_CENTER);
    gtk_box_set_spacing(GTK_BOX(buttons), 8);
    gtk_box_pack_start(GTK_BOX(outer), buttons, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window), outer);

    const int defaultId = win::DefaultMessageBoxResult(call.type);
    GtkWidget* defaultButton = nullptr;
    for (const ButtonSpec& spec : ButtonsOf(call.type)) {
        GtkWidget* button = gtk_button_new_with_mnemonic(spec.label);
        g_object_set_data(G_OBJECT(button), "vm-result", GINT_TO_POINTER(spec.id));
        g_signal_connect(button, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer data) {
                             auto* s = static_cast<BoxState*>(data);
                             s->result = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "vm-result"));
                             s->done = true;
                         }),
                         &state);
        gtk_container_add(GTK_CONTAINER(buttons), button);
        if (spec.id == defaultId)
            defaultButton = button;
    }
    // Closing or Escape: 0, which the layer turns into what closing gives.
    g_signal_connect(window, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer data) -> gboolean {
                         static_cast<BoxState*>(data)->done = true;
                         return TRUE;
                     }),
                     &state);
    g_signal_connect(window, "key-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer data) -> gboolean {
                         if (e->keyval != GDK_KEY_Escape)
                             return FALSE;
                         static_cast<BoxState*>(data)->done = true;
                         return TRUE;
                     }),
                     &state);
    gtk_widget_show_all(window);
    if (defaultButton) {
        gtk_widget_set_can_default(defaultButton, TRUE);
        gtk_window_set_default(GTK_WINDOW(window), defaultButton);
        gtk_widget_grab_focus(defaultButton);
    }
    gtk_window_present(GTK_WINDOW(window));

    // Our own modal loop: messages, timers and other input go on meanwhile.
    win::PumpUntil([&] { return state.done; });
    // The signal handlers point at state: they go with the window.
    gtk_widget_destroy(window);
    return state.result;
}

} // namespace backends::gtk
