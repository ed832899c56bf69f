#include "platform/browser/EdgeBrowser.h"

#include "platform/vcl/CustomForm.h"
#include "platform/win/Messages.h"
#include "platform/win/PathResolver.h"

namespace vcl {

namespace {

// Posted to the control itself: a navigation that failed before it reached
// the view still ends through the message loop, as a real one does.
constexpr win::UINT kNavigationFailed = win::WM_APP + 0x3F00;

} // namespace

TEdgeBrowser::TEdgeBrowser(TComponent* AOwner) : TWinControl(AOwner) {}

TEdgeBrowser::~TEdgeBrowser() { FView.reset(); }

bool TEdgeBrowser::EnsureStarted()
{
    if (FStarted)
        return true;
    if (FStartFailed)
        return false;
    std::string folder;
    if (!FUserDataFolder.IsEmpty()) {
        const win::ResolvedPath resolved = win::ResolvePath(std::u16string_view(FUserDataFolder.c_str()));
        if (resolved.ok())
            folder = resolved.host;
    }
    FView = browser::CreateBrowserView(*this);
    if (!FView->Start(folder)) {
        FView.reset();
        FStartFailed = true;
        return false;
    }
    FStarted = true;
    FViewThread = win::GetCurrentThreadId();
    PlaceView();
    return true;
}

bool TEdgeBrowser::Navigate(const UnicodeString& path)
{
    if (!EnsureStarted())
        return false;
    const win::ResolvedPath resolved = win::ResolvePath(std::u16string_view(path.c_str()));
    if (!resolved.ok()) {
        win::PostMessage(Handle(), kNavigationFailed, 0, 0);
        return true;
    }
    FView->Navigate(resolved.host);
    return true;
}

void TEdgeBrowser::ExecuteScript(const UnicodeString& script)
{
    if (FView)
        FView->ExecuteScript(std::u16string(script.c_str()));
}

void TEdgeBrowser::NavigationCompleted(bool success)
{
    if (OnNavigationCompleted)
        OnNavigationCompleted(this, success);
}

void TEdgeBrowser::Dispatch(TMessage& Message)
{
    if (Message.Msg == kNavigationFailed) {
        NavigationCompleted(false);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TEdgeBrowser::PlaceView()
{
    if (!FView)
        return;
    TPoint origin = ClientOrigin();
    TCustomForm* form = GetParentForm(this);
    if (form) {
        const TPoint formOrigin = form->ClientOrigin();
        origin.X -= formOrigin.X;
        origin.Y -= formOrigin.Y;
    }
    const Placement placement{form, origin.X, origin.Y, Width(), Height(), Showing()};
    if (FPlaced && placement == FPlacement)
        return;
    FPlaced = true;
    FPlacement = placement;
    FView->SetHostForm(form);
    FView->Place(origin.X, origin.Y, Width(), Height(), Showing());
}

void TEdgeBrowser::Paint(TCanvas& canvas)
{
    TWinControl::Paint(canvas);
    // A move of a parent changes none of our bounds: the paint that
    // follows it places the view anew (the view is the user interface
    // thread's alone, and a picture may be painted elsewhere).
    if (FView && win::GetCurrentThreadId() == FViewThread)
        PlaceView();
}

void TEdgeBrowser::BoundsChanged(bool sizeChanged)
{
    TWinControl::BoundsChanged(sizeChanged);
    PlaceView();
}

void TEdgeBrowser::ShowingChanged()
{
    TWinControl::ShowingChanged();
    PlaceView();
}

} // namespace vcl
