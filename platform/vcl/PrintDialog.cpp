#include "platform/vcl/PrintDialog.h"

namespace vcl {

namespace {

class CancellingAnswerer : public PrintDialogAnswerer {
public:
    bool ConfirmPrint() override { return false; }
};

PrintDialogAnswerer* Cancelling()
{
    static CancellingAnswerer cancelling;
    return &cancelling;
}

constinit host::Seam<PrintDialogAnswerer*, host::SeamReaders::UserInterfaceThread> gAnswerers(&Cancelling);

} // namespace

PrintDialogAnswerer* InstallPrintDialogAnswerer(PrintDialogAnswerer* answerer) { return gAnswerers.Install(answerer); }

bool TPrintDialog::Execute() { return gAnswerers.Current()->ConfirmPrint(); }

} // namespace vcl
