// The browser back end on WebKitGTK 4.1: each TEdgeBrowser gets a web view
// laid by the GTK presenter over the control's place in its form's window.
//
// The profile and cache lie in the control's user-data folder; pages load
// from file:// addresses; scripts run without waiting for their result. The
// end of a load is posted to the control's thread and delivered by our
// message loop, never from inside a call of the control.
//
// With the presenter's smoke-test folder set, the view also writes what it
// did to "browser.log" there: "start", "navigate", "loaded ok|failed" lines
// and, for each script, "script <text> -> <value>" (the script's value,
// read back from the page through its title).
#pragma once

#include "platform/browser/BrowserView.h"

namespace backends::gtk {
class GtkPresenter;
}

namespace backends::webkit {

// The factory of web views on the presenter's windows; used on the user
// interface thread, after the display is installed.
browser::BrowserViewFactory BrowserFactory(gtk::GtkPresenter& presenter);

} // namespace backends::webkit
