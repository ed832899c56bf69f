// The printing module's entry (Modules.h): the system's printers through
// CUPS, pages drawn by cairo.
#include "platform/backends/Modules.h"
#include "platform/backends/cups/CupsPrinter.h"

extern "C" __attribute__((visibility("default"))) bool VmPrintModule(backends::PrintModule* module)
{
    if (module == nullptr)
        return false;
    static backends::cups::CupsPrinter printer;
    module->printer = &printer;
    module->choices = [](int& chosen) { return printer.Choices(chosen); };
    module->choose = [](const std::string& name) { printer.Choose(name); };
    return true;
}
