// The map pane on a real display, for the display smoke test: the main
// window with its map pane, the sample page in the real web view, and a
// short drive of marker updates sent through the pane, the first of them
// before the page has loaded. Ends when its window is closed, or after two
// minutes.
//
//     mapsmoke        (in the card's folder, with the program's environment)
//
// Exits 2 when there is no display to show on.
#include <cstdio>

#include "app/Globals.h"
#include "mainwindow/MAIN.h"
#include "platform/backends/Install.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Timer.h"
#include "platform/win/Files.h"
#include "tracks/MapView.h"

namespace {

struct Point {
    const char* lat;
    const char* lng;
    float heading;
};

// A few seconds of a drive east, then north-east.
constexpr Point kDrive[] = {
    {"35.681200", "139.767100", 90.0f},  {"35.681200", "139.768300", 90.0f},  {"35.681350", "139.769500", 80.0f},
    {"35.681800", "139.770500", 60.0f},  {"35.682500", "139.771300", 45.0f},  {"35.683300", "139.772000", 40.0f},
    {"35.684100", "139.772600", 35.3f},
};
constexpr int kPoints = static_cast<int>(sizeof kDrive / sizeof kDrive[0]);
constexpr unsigned kStepMs = 700;
constexpr unsigned kGiveUpMs = 120000;

void Send(int index)
{
    const Point& p = kDrive[index];
    MapControl->SetCarPos(AnsiString(p.lat), AnsiString(p.lng), p.heading);
}

} // namespace

int main()
{
    if (!backends::InstallRealBackends()) {
        std::fprintf(stderr, "mapsmoke: no display\n");
        return 2;
    }
    TApplication application;
    ProgramFolder = UnicodeString(win::CurrentDirectory());
    ProgramDrive = ProgramFolder.IsEmpty() ? '\0' : static_cast<char>(ProgramFolder[1]);
    ViewingAllowed = 1;
    Application->CreateForm(MainForm);
    Application->CreateForm(MapControl);

    // Sent at once: the pane keeps it until the page reports it is ready.
    Send(0);
    int next = 1;
    TTimer drive(nullptr);
    drive.SetInterval(kStepMs);
    drive.OnTimer = [&](TObject*) {
        if (next < kPoints)
            Send(next++);
        else
            drive.SetEnabled(false);
    };
    drive.SetEnabled(true);
    TTimer giveUp(nullptr);
    giveUp.SetInterval(kGiveUpMs);
    giveUp.OnTimer = [](TObject*) { Application->Terminate(); };
    giveUp.SetEnabled(true);

    Application->Run();
    return 0;
}
