#include "platform/backends/gtk/GtkPrintDialog.h"

#include <gtk/gtk.h>

#include "platform/backends/gtk/GtkDisplay.h"
#include "platform/backends/gtk/DialogLoop.h"
#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/vcl/Screen.h"

namespace backends::gtk {

bool GtkPrintDialog::ConfirmPrint()
{
    int chosen = 0;
    const std::vector<std::string> names = FChoices.list(chosen);
    if (names.empty())
        return false;

    GtkWindow* parent = FPresenter.WindowOf(vcl::Screen->ActiveForm());
    GtkWidget* dialog = gtk_dialog_new_with_buttons("印刷", parent, GTK_DIALOG_MODAL, "キャンセル", GTK_RESPONSE_CANCEL,
                                                    "印刷(_P)", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(row), 12);
    GtkWidget* label = gtk_label_new_with_mnemonic("プリンター名(_N):");
    GtkWidget* printers = gtk_combo_box_text_new();
    for (const std::string& name : names)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(printers), name.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(printers), chosen >= 0 && chosen < int(names.size()) ? chosen : 0);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), printers);
    gtk_widget_set_size_request(printers, 260, -1);
    gtk_box_pack_start(GTK_BOX(row), label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), printers, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row, TRUE, TRUE, 0);

    const int response = RunDialogInOurLoop(dialog, true);

    const int index = gtk_combo_box_get_active(GTK_COMBO_BOX(printers));
    gtk_widget_destroy(dialog);
    if (response != GTK_RESPONSE_ACCEPT || index < 0 || index >= int(names.size()))
        return false;
    FChoices.choose(names[index]);
    return true;
}

bool InstallPrintDialog(PrinterChoices choices)
{
    GtkPresenter* presenter = Presenter();
    if (!presenter)
        return false;
    // Lives to the end of the program, as the display does.
    static auto* dialog = new GtkPrintDialog(*presenter, std::move(choices));
    vcl::InstallPrintDialogAnswerer(dialog);
    return true;
}

} // namespace backends::gtk
