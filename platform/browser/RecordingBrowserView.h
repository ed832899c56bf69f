// A browser back end for tests: every view records its calls as lines in a
// shared list, and the test decides when a navigation ends.
//
//   browser::BrowserRecording rec;          // installs itself, removes itself
//   ... Navigate ...
//   rec.Calls()  -> {"start C:/profile", "navigate /card/Icon/map.html"}
//   rec.CompleteNavigation(true);           // the page is ready
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/browser/BrowserView.h"

namespace browser {

class BrowserRecording {
public:
    // Installs the recording factory; `startFails` makes Start answer false.
    explicit BrowserRecording(bool startFails = false);
    ~BrowserRecording();
    BrowserRecording(const BrowserRecording&) = delete;
    BrowserRecording& operator=(const BrowserRecording&) = delete;

    // "start <folder>", "navigate <path>", "script <text>" (UTF-8), and
    // "place <l> <t> <w> <h> shown|hidden" in call order.
    const std::vector<std::string>& Calls() const { return state_->calls; }
    // The "script" lines' texts alone.
    std::vector<std::string> Scripts() const;
    void ClearCalls() { state_->calls.clear(); }
    // Number of views alive.
    int Views() const { return static_cast<int>(state_->live.size()); }
    // Reports the end of a navigation to every live view's control, as the
    // browser does when the page has loaded (or failed to).
    void CompleteNavigation(bool success);

private:
    class View;
    // Shared with the views, which may outlive the recording.
    struct State {
        std::vector<std::string> calls;
        std::vector<View*> live;
        bool startFails = false;
    };
    std::shared_ptr<State> state_;
    BrowserViewFactory previous_;
};

} // namespace browser
