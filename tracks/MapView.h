// The map pane: the car marker on a local map page (docked into the main
// window's PanelMap). The page "Icon\googleMap.html" below the program
// folder is loaded once; afterwards the pane only runs its script function
// CarMarker(lat, lng, heading, 'Y') for each marker update.
#pragma once

#include "platform/browser/browser.h"
#include "platform/vcl/vcl.h"

class TMapControl : public TForm {
public:
    explicit TMapControl(TComponent* Owner);
    ~TMapControl() override;

    TEdgeBrowser* EdgeBrowser1 = nullptr;

    void FormCreate(TObject* Sender);
    void FitToPanelMap();
    // Moves the marker. Always true: the track timer advances its search
    // as if the marker had moved.
    bool SetCarPos(AnsiString lat, AnsiString lng, float heading);
    // Asks the page to forget the track drawn so far; false when nothing
    // could be sent.
    bool ClearCarTrace();

    // The marker script for one position, as the page runs it.
    static AnsiString CarMarkerScript(const AnsiString& lat, const AnsiString& lng, float heading);

private:
    void NavigationCompleted(TEdgeBrowser* sender, bool success);

    // A marker that came before the page was ready: the latest one is run
    // as soon as the page reports it has loaded.
    UnicodeString FPendingScript;
    bool FPageReady = false;
};

extern TMapControl* MapControl;

// The browser's profile and cache folder, and the page, below the program
// folder.
inline constexpr char16_t MapUserDataFolder[] = u"C:\\Users\\Public\\Documents\\WebView2_cache";
inline constexpr char16_t MapPageName[] = u"\\Icon\\googleMap.html";
