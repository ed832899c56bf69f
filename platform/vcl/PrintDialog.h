// The system's print dialog (modal): the user confirms printing on the
// printer in force (Printer(), Printer.h) or cancels.
//
// Who answers it is a seam: the default, with no display, cancels; the real
// display's back end shows a dialog; TestDriver answers it from a queue.
#pragma once

#include "platform/host/Seam.h"
#include "platform/vcl/Component.h"

namespace vcl {

class PrintDialogAnswerer {
public:
    virtual ~PrintDialogAnswerer() = default;
    // On the user interface thread; may run a modal loop. True to print,
    // false when the user cancels. May change the printer's settings.
    virtual bool ConfirmPrint() = 0;
};

// Installs the answerer (null: the default, which cancels); the previous
// one. The answerer must outlive its installation. Installed and read on the
// user interface thread: a plain seam (platform/host/Seam.h).
PrintDialogAnswerer* InstallPrintDialogAnswerer(PrintDialogAnswerer* answerer);
using ScopedPrintDialogAnswerer = host::ScopedInstall<PrintDialogAnswerer*, &InstallPrintDialogAnswerer>;

class TPrintDialog : public TComponent {
public:
    explicit TPrintDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // True when the user confirms printing.
    bool Execute();
};

} // namespace vcl
