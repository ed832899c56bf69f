#include "platform/browser/RecordingBrowserView.h"

#include <algorithm>

#include "platform/win/PathResolver.h"

namespace browser {

class BrowserRecording::View : public BrowserView {
public:
    View(std::shared_ptr<State> state, BrowserViewSink& sink) : owner_(*state), state_(std::move(state)), sink_(sink)
    {
        owner_.live.push_back(this);
    }
    ~View() override
    {
        auto& live = owner_.live;
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
    bool Start(const std::string& folder) override
    {
        owner_.calls.push_back("start " + folder);
        return !owner_.startFails;
    }
    void Navigate(const std::string& path) override { owner_.calls.push_back("navigate " + path); }
    void ExecuteScript(const std::u16string& script) override
    {
        std::string text;
        win::Utf16ToUtf8(script, text);
        owner_.calls.push_back("script " + text);
    }
    void Place(int l, int t, int w, int h, bool visible) override
    {
        owner_.calls.push_back("place " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(w) + " " +
                               std::to_string(h) + (visible ? " shown" : " hidden"));
    }
    BrowserViewSink& Sink() { return sink_; }

private:
    State& owner_;
    std::shared_ptr<State> state_;
    BrowserViewSink& sink_;
};

BrowserRecording::BrowserRecording(bool startFails) : state_(std::make_shared<State>())
{
    state_->startFails = startFails;
    std::shared_ptr<State> state = state_;
    previous_ = InstallBrowserViewFactory(
        [state](BrowserViewSink& sink) -> std::unique_ptr<BrowserView> { return std::make_unique<View>(state, sink); });
}

BrowserRecording::~BrowserRecording() { InstallBrowserViewFactory(std::move(previous_)); }

std::vector<std::string> BrowserRecording::Scripts() const
{
    std::vector<std::string> scripts;
    for (const std::string& call : state_->calls)
        if (call.rfind("script ", 0) == 0)
            scripts.push_back(call.substr(7));
    return scripts;
}

void BrowserRecording::CompleteNavigation(bool success)
{
    // A handler may destroy views: walk a copy and check each is still alive.
    const std::vector<View*> views = state_->live;
    for (View* view : views)
        if (std::find(state_->live.begin(), state_->live.end(), view) != state_->live.end())
            view->Sink().NavigationCompleted(success);
}

} // namespace browser
