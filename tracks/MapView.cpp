#include "tracks/MapView.h"

#include "app/Globals.h"
#include "mainwindow/MAIN.h"
#include "platform/win/Files.h"
#include "playback/PlayLog.h"

TMapControl* MapControl = nullptr;

namespace {

void LogError(const char16_t* where, const Exception& e) { playback::LogException(where, e); }

} // namespace

TMapControl::TMapControl(TComponent* Owner) : TForm(Owner)
{
    SetName(u"MapControl");
    SetBorderStyle(bsNone);
    // The sample page's own background, so the panel looks the same before
    // the page has loaded and where no browser runs.
    SetColor(RGB(0x1b, 0x20, 0x27));
    OnCreate = [this](TObject* s) { FormCreate(s); };

    EdgeBrowser1 = new TEdgeBrowser(this);
    EdgeBrowser1->SetName(u"EdgeBrowser1");
    EdgeBrowser1->OnNavigationCompleted = [this](TEdgeBrowser* b, bool ok) { NavigationCompleted(b, ok); };
    try {
        if (MainForm == nullptr || MainForm->PanelMap == nullptr)
            throw Exception(u"no map panel to dock into");
        SetParent(MainForm->PanelMap);
        SetAlign(alClient);
        EdgeBrowser1->SetParent(this);
        EdgeBrowser1->SetAlign(alClient);
        // The folder may exist already; a missing parent is not made.
        win::CreateDirectoryW(MapUserDataFolder, nullptr);
        EdgeBrowser1->SetUserDataFolder(MapUserDataFolder);
    } catch (Exception& e) {
        LogError(u"TMapControl::TMapControl", e);
    }
    SetVisible(true);
}

TMapControl::~TMapControl()
{
    // Windows reach one another through the globals: a window gone is null.
    if (MapControl == this)
        MapControl = nullptr;
}

void TMapControl::FormCreate(TObject*)
{
    try {
        FitToPanelMap();
        // A plain file path: the page loads while the program goes on.
        EdgeBrowser1->Navigate(ProgramFolder + MapPageName);
    } catch (Exception& e) {
        LogError(u"TMapControl::FormCreate", e);
    }
}

void TMapControl::FitToPanelMap()
{
    if (MainForm == nullptr || MainForm->PanelMap == nullptr)
        return;
    SetWidth(MainForm->PanelMap->Width());
    SetHeight(MainForm->PanelMap->Height());
}

AnsiString TMapControl::CarMarkerScript(const AnsiString& lat, const AnsiString& lng, float heading)
{
    // FloatToStr writes "." whatever the locale, and the float's exact
    // stored value (12.3 arrives as 12.3000001907349).
    return AnsiString("CarMarker(") + lat + AnsiString(", ") + lng + AnsiString(",") +
        AnsiString(FloatToStr(static_cast<double>(heading))) + AnsiString(", '") + AnsiString("Y") + AnsiString("')");
}

bool TMapControl::SetCarPos(AnsiString lat, AnsiString lng, float heading)
{
    try {
        const UnicodeString script(CarMarkerScript(lat, lng, heading));
        if (FPageReady)
            EdgeBrowser1->ExecuteScript(script);
        else
            FPendingScript = script;
    } catch (Exception& e) {
        LogError(u"TMapControl::SetCarPos", e);
    }
    return true;
}

bool TMapControl::ClearCarTrace()
{
    try {
        FPendingScript = UnicodeString();
        if (!FPageReady)
            return false;
        EdgeBrowser1->ExecuteScript(u"ClearCarTrace()");
        return true;
    } catch (Exception& e) {
        LogError(u"TMapControl::ClearCarTrace", e);
    }
    return false;
}

void TMapControl::NavigationCompleted(TEdgeBrowser*, bool success)
{
    FPageReady = success;
    if (success && !FPendingScript.IsEmpty()) {
        const UnicodeString script = FPendingScript;
        FPendingScript = UnicodeString();
        EdgeBrowser1->ExecuteScript(script);
    }
}
