// The main window. This unit also holds the program's version text and the
// table of playback speeds.
//
// `MainForm` below is the global pointer to the one TMainForm; the
// application's own main form (Application->MainForm()) is the password
// prompt instead when a viewing password is set.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

#include <cstdint>

// The program's version, appended to the application title and stored in
// the settings file.
inline constexpr char16_t VersionText[] = u"V05A01";

struct TSpeedEntry {
    float Rate;
    const char16_t* Label;
};

// The playback rates in ascending order, with the labels the speed display
// shows (each "×" and the rate in four characters).
inline constexpr TSpeedEntry SpeedTable[9] = {
    {0.0625f, u"×1/16"}, {0.125f, u"×1/8 "}, {0.25f, u"×1/4 "}, {0.5f, u"×1/2 "}, {1.0f, u"×1   "},
    {2.0f, u"×2   "},    {4.0f, u"×4   "},   {8.0f, u"×8   "},  {16.0f, u"×16  "},
};

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* Owner);
    ~TMainForm() override;

    // Hosts of the four panes.
    TPanel* PanelVideo;
    TPanel* PanelMap;
    TPanel* PanelList;
    TPanel* PanelGraph;

    // Writes the settings file "view" (only while "Icon" exists).
    void SaveSettings();
    // Reads the channel mode and the main window's copy of the password.
    void LoadSettings();

    double FSeekScale = 1e-13;
    std::int32_t FWorkAreaHeight = 0;
    std::int32_t FWorkAreaWidth = 0;
    UnicodeString FLastPictureFolder;
    // 1 two-channel view, 2 four-channel view, 0 until the settings are read.
    std::int32_t FScreenMode = 0;
    std::uint8_t FSeekDragging = 0;
    std::uint8_t FVolumeDragging = 0;
    std::uint8_t FFocusLost = 0;
    // The main window's copy of the viewing password, in clear.
    AnsiString FPassword;
    std::int32_t FLastGpsTimeMs = -1;
    std::int32_t FLastPositionMs = -1;
    float FLastLongitude = 0.0f;
    float FLastLatitude = 0.0f;
};

extern TMainForm* MainForm;

// The chosen screen layout, 0 (largest) to 3; -1 while none is chosen or
// when none fits the work area.
extern std::int32_t LayoutIndex;

// The settings file "view" below the program folder's "Icon".
UnicodeString SettingsFilePath();
