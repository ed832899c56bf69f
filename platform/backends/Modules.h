// The back ends the program loads at run time, each a module of its own
// (a shared object found beside the executable, or one folder above it, as
// the tools are): the display with its text (GTK 3 and Pango), when a
// display is there; the browser (WebKitGTK), when a map page is first shown;
// printing (cairo and CUPS), when printing is first asked for. What the
// start needs (decoding, sound) is linked into the program.
//
// Each module exports one entry, named below, with the signature given
// here; the program's symbols (the platform layer) are the module's, so a
// module links none of the layer itself. A module that is missing or fails
// to load leaves its seam's null behaviour and says why on the debugger
// output; it never ends the program.
#pragma once

#include <string>
#include <vector>

#include "platform/backends/gtk/GtkPrintDialog.h"
#include "platform/browser/BrowserView.h"
#include "platform/vcl/PrinterBackend.h"

namespace backends {

inline constexpr char kDisplayModule[] = "velmorastine-gtk.so";
inline constexpr char kBrowserModule[] = "velmorastine-webkit.so";
inline constexpr char kPrintModule[] = "velmorastine-print.so";

// kDisplayModule: installs the text renderer, the display and, with the
// printers from `printers`, the print dialog. False when there is no
// display to open (the text renderer stays installed).
inline constexpr char kDisplayEntry[] = "VmInstallDisplayModule";
using DisplayEntry = bool (*)(const gtk::PrinterChoices* printers);

// kBrowserModule: the factory of web views on the display's windows; false
// without a display. The display module must be loaded (its symbols are the
// browser module's).
inline constexpr char kBrowserEntry[] = "VmBrowserModule";
using BrowserEntry = bool (*)(browser::BrowserViewFactory* factory);

// kPrintModule: the system's printers.
struct PrintModule {
    vcl::PrinterBackend* printer = nullptr; // lives to the end of the program
    std::vector<std::string> (*choices)(int& chosen) = nullptr;
    void (*choose)(const std::string& name) = nullptr;
};
inline constexpr char kPrintEntry[] = "VmPrintModule";
using PrintEntry = bool (*)(PrintModule* module);

// Loads a module and finds its entry: null, with a debugger-output line,
// when either is missing. `global` makes the module's symbols visible to
// modules loaded later. Thread-safe.
void* LoadModuleEntry(const char* module, const char* entry, bool global);

} // namespace backends
