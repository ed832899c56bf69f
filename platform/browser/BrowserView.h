// The seam between TEdgeBrowser and a real web view.
//
// A back end supplies one BrowserView per control through the installed
// factory. Every call comes on the user interface thread, and the view
// reports back on that thread only, through the sink it was made with.
// The default factory makes a null view: it shows nothing and never reports
// a finished navigation (as a computer without the browser runtime).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/host/Seam.h"

namespace vcl {
class TCustomForm;
}

namespace browser {

// What a view reports to its control.
class BrowserViewSink {
public:
    virtual ~BrowserViewSink();
    // A navigation ended: the page is loaded (true) or could not be (false).
    // On the user interface thread, never from inside a call of the control.
    virtual void NavigationCompleted(bool success) = 0;
};

class BrowserView {
public:
    virtual ~BrowserView();
    // Starts the browser with its profile and cache below `userDataFolder`
    // (host path, UTF-8). Returns false when no browser can run; the control
    // then stays empty and its scripts go nowhere.
    virtual bool Start(const std::string& userDataFolder);
    // Asks to load the file at `hostPath` (UTF-8). Returns at once; the end
    // is reported through NavigationCompleted.
    virtual void Navigate(const std::string& hostPath);
    // Runs a script in the current page, without waiting for its result.
    virtual void ExecuteScript(const std::u16string& script);
    // Where the view lies, in client pixels of the top-level form that holds
    // the control, and whether it shows.
    virtual void Place(int left, int top, int width, int height, bool visible);
    // The top-level form that holds the control (null: none), told before
    // each Place: a real view lies inside that form's window.
    virtual void SetHostForm(vcl::TCustomForm* form);
};

using BrowserViewFactory = std::function<std::unique_ptr<BrowserView>(BrowserViewSink& sink)>;

// Installs the factory for views made from now on; returns the previous one
// (empty when it was the default). An empty factory puts the null view back.
// Installed and read on the user interface thread (a browser control is
// made there): a plain seam (platform/host/Seam.h).
BrowserViewFactory InstallBrowserViewFactory(BrowserViewFactory factory);
using ScopedBrowserViewFactory = host::ScopedInstall<BrowserViewFactory, &InstallBrowserViewFactory>;
// A view from the factory in force (the null view when it makes none).
std::unique_ptr<BrowserView> CreateBrowserView(BrowserViewSink& sink);

} // namespace browser
