#include "platform/vcl/PrintDialog.h"

namespace vcl {

namespace {

class CancellingAnswerer : public PrintDialogAnswerer {
public:
    bool ConfirmPrint() override { return false; }
};

PrintDialogAnswerer* g_answerer = nullptr; // user interface thread only

} // namespace

PrintDialogAnswerer* SetPrintDialogAnswerer(PrintDialogAnswerer* answerer)
{
    PrintDialogAnswerer* previous = g_answerer;
    g_answerer = answerer;
    return previous;
}

bool TPrintDialog::Execute()
{
    static CancellingAnswerer cancelling;
    return (g_answerer ? *g_answerer : cancelling).ConfirmPrint();
}

} // namespace vcl
