// The embedded browser control: a web view over the control's rectangle.
//
// The browser starts on the first Navigate, with its profile and cache in
// UserDataFolder; a folder set after the start is kept but no longer used,
// as the runtime reads it only when it starts. Navigate takes a plain
// Windows file path ("E:\Icon\page.html"), returns at once and reports the
// end through OnNavigationCompleted, from the message loop. ExecuteScript
// runs a script in the current page and returns at once; before the start
// it goes nowhere. Which web view does the work is the installed
// BrowserView back end (the null view by default: nothing shows and no
// navigation ever completes).
#pragma once

#include <functional>
#include <memory>

#include "platform/browser/BrowserView.h"
#include "platform/vcl/WinControl.h"

namespace vcl {

class TEdgeBrowser;
using TNavigationCompletedEvent = std::function<void(TEdgeBrowser* Sender, bool IsSuccess)>;

class TEdgeBrowser : public TWinControl, private browser::BrowserViewSink {
public:
    explicit TEdgeBrowser(TComponent* AOwner);
    ~TEdgeBrowser() override;

    UnicodeString UserDataFolder() const { return FUserDataFolder; }
    void SetUserDataFolder(const UnicodeString& folder) { FUserDataFolder = folder; }

    // False when the browser could not start (the request is dropped).
    bool Navigate(const UnicodeString& path);
    void ExecuteScript(const UnicodeString& script);
    // The browser has started (a first Navigate was made and the view runs).
    bool BrowserStarted() const { return FStarted; }

    TNavigationCompletedEvent OnNavigationCompleted;

    void Dispatch(TMessage& Message) override;

protected:
    void BoundsChanged(bool sizeChanged) override;
    void ShowingChanged() override;
    void Paint(TCanvas& canvas) override;

private:
    void NavigationCompleted(bool success) override;
    bool EnsureStarted();
    void PlaceView();

    UnicodeString FUserDataFolder;
    std::unique_ptr<browser::BrowserView> FView;
    bool FStarted = false;
    bool FStartFailed = false;
    // Where the view was last put: the same place is not sent again.
    struct Placement {
        TCustomForm* form = nullptr;
        int left = 0, top = 0, width = 0, height = 0;
        bool shown = false;
        bool operator==(const Placement&) const = default;
    };
    Placement FPlacement;
    bool FPlaced = false;
    win::DWORD FViewThread = 0; // the thread that started the view
};

} // namespace vcl
