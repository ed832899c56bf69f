// Back ends that load their module when they are first needed (Modules.h),
// behind the seams they stand for from the start.
//
// BrowserOnDemand: its views keep what the control asks of them (start,
// host form, place, page) until the browser module is loaded, then hand it
// to a real view. The module is loaded kLoadDelayMs after a view is first
// placed visible, on the user interface thread from its message loop (a
// timer: the window paints and the start goes on to its first recording
// before the load; not on a thread of its own, as the toolkit's libraries
// take GLib's locks while they load and the user interface thread holds
// those). Scripts before then go
// nowhere, as scripts before a page is ready do. Without the module the
// views stay empty (the null view).
//
// PrintingOnDemand: loads the printing module at its first call; without
// it every job fails (TPrinter raises EPrinter) and there are no printers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/backends/Modules.h"
#include "platform/browser/BrowserView.h"
#include "platform/vcl/PrinterBackend.h"

namespace backends {

class BrowserOnDemand {
public:
    // load: gives the real factory, or an empty one when the module is
    // missing; runs once, on the user interface thread.
    explicit BrowserOnDemand(std::function<browser::BrowserViewFactory()> load);
    static constexpr unsigned kLoadDelayMs = 250;
    ~BrowserOnDemand();
    BrowserOnDemand(const BrowserOnDemand&) = delete;
    BrowserOnDemand& operator=(const BrowserOnDemand&) = delete;

    // The factory to install; the object must outlive its views.
    browser::BrowserViewFactory Factory();
    // Loaded and ready (the views made from now on are the real ones).
    bool Loaded() const;

    struct State;

private:
    State* FState;
};

class PrintingOnDemand final : public vcl::PrinterBackend {
public:
    // load: fills the module's printer and printer list; false when missing.
    explicit PrintingOnDemand(std::function<bool(PrintModule&)> load) : FLoad(std::move(load)) {}

    vcl::PageExtent PageSize(vcl::TPrinterOrientation orientation) override;
    bool StartDoc(const rtl::UnicodeString& title, vcl::TPrinterOrientation orientation) override;
    bool AddPicture(const vcl::PrintedPicture& picture) override;
    bool EndDoc(const vcl::PrintedPage& page) override;
    void AbortDoc() override;

    // For the print dialog: the printers (none without the module) and the choice.
    std::vector<std::string> Choices(int& chosen);
    void Choose(const std::string& name);

private:
    vcl::PrinterBackend* Load();

    std::function<bool(PrintModule&)> FLoad;
    bool FTried = false;
    PrintModule FModule;
};

} // namespace backends
