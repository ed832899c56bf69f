// The print dialog on a real display: a small dialog of ours listing the
// printers to choose from, shown without GTK's modal loop (our own loop,
// PumpUntil, waits for the answer). The printers come from whoever installs
// it (the printing back end), so this folder knows nothing of CUPS.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/PrintDialog.h"

namespace backends::gtk {

class GtkPresenter;

struct PrinterChoices {
    // The printers by name; chosen is the index of the current one.
    std::function<std::vector<std::string>(int& chosen)> list;
    std::function<void(const std::string& name)> choose;
};

class GtkPrintDialog : public vcl::PrintDialogAnswerer {
public:
    GtkPrintDialog(GtkPresenter& presenter, PrinterChoices choices)
        : FPresenter(presenter), FChoices(std::move(choices))
    {
    }
    bool ConfirmPrint() override;

private:
    GtkPresenter& FPresenter;
    PrinterChoices FChoices;
};

// Installs the dialog when the GTK display is in use (InstallDisplay gave
// true); false otherwise, and the print dialog stays as it was.
bool InstallPrintDialog(PrinterChoices choices);

} // namespace backends::gtk
