// The browser module's entry (Modules.h): WebKitGTK views on the display
// module's windows.
#include "platform/backends/Modules.h"
#include "platform/backends/gtk/GtkDisplay.h"
#include "platform/backends/webkit/WebKitBrowser.h"

extern "C" __attribute__((visibility("default"))) bool VmBrowserModule(browser::BrowserViewFactory* factory)
{
    backends::gtk::GtkPresenter* presenter = backends::gtk::Presenter();
    if (presenter == nullptr || factory == nullptr)
        return false;
    *factory = backends::webkit::BrowserFactory(*presenter);
    return true;
}
