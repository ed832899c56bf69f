#include "mainwindow/MAIN.h"

#include "app/Globals.h"
#include "app/MyLog.h"
#include "app/PasswordScramble.h"
#include "platform/win/Files.h"
#include "platform/win/win.h"

TMainForm* MainForm = nullptr;
std::int32_t LayoutIndex = -1;

UnicodeString SettingsFilePath()
{
    return ProgramFolder + u"\\Icon\\view";
}

namespace {

TPanel* MakePanel(TMainForm* form, const char16_t* name)
{
    auto* panel = new TPanel(form);
    panel->SetName(name);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetShowCaption(false);
    return panel;
}

} // namespace

TMainForm::TMainForm(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"MainForm");
    PanelVideo = MakePanel(this, u"PanelVideo");
    PanelMap = MakePanel(this, u"PanelMap");
    PanelList = MakePanel(this, u"PanelList");
    PanelGraph = MakePanel(this, u"PanelGraph");
    try {
        if (MyLogModule)
            MyLogModule->LogDebug("TMainForm::TMainForm() START");
        FSeekScale = 1e-13;
        FScreenMode = 0;
        FSeekDragging = 0;
        FVolumeDragging = 0;
        FFocusLost = 0;
        FPassword = AnsiString();
        FLastPictureFolder = UnicodeString();
        win::RECT work{};
        win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &work, 0);
        FWorkAreaHeight = work.bottom - work.top;
        FWorkAreaWidth = work.right - work.left;
        FLastGpsTimeMs = -1;
        FLastPositionMs = -1;
        FLastLongitude = 0.0f;
        FLastLatitude = 0.0f;
        LoadSettings();
    } catch (Exception& e) {
        if (MyLogModule)
            MyLogModule->LogMessage(AnsiString(u"ビューワ初期化に失敗しました。【ｴﾗｰ番号：2002】 エラー:") +
                                        AnsiString(e.Message),
                                    3);
        Application->Terminate();
    }
}

TMainForm::~TMainForm()
{
    if (MyLogModule)
        MyLogModule->LogDebug("TMainForm::~TMainForm() END");
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::LoadSettings()
{
    try {
        TIniFile ini(SettingsFilePath());
        FScreenMode = ini.ReadInteger(u"SYSTEM", u"screen", 4) == 2 ? 1 : 2;
        const AnsiString stored = ReadStoredPassword(ini, u"SYSTEM", u"p_m");
        if (UnicodeString(stored) == UnicodeString(kMainWindowPasswordMarker))
            FPassword = kDefaultPassword;
        else
            FPassword = DecodePassword(stored);
    } catch (Exception& e) {
        if (MyLogModule)
            MyLogModule->LogError(AnsiString(e.Message));
    }
}

void TMainForm::SaveSettings()
{
    try {
        if (!win::DirectoryExists(ProgramFolder + u"\\Icon"))
            return;
        TIniFile ini(SettingsFilePath());
        const AnsiString scrambled = EncodePassword(FPassword);
        const std::size_t zero = scrambled.str().find('\0');
        const std::string bytes = scrambled.str().substr(0, zero);
        TMemoryStream stream;
        if (!bytes.empty())
            stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        stream.SetPosition(0);
        ini.WriteBinaryStream(u"SYSTEM", u"p_m", stream);
        ini.WriteInteger(u"SYSTEM", u"screen", FScreenMode == 1 ? 2 : 4);
        ini.WriteString(u"VIEWER_VER", u"version", VersionText);
    } catch (Exception& e) {
        if (MyLogModule)
            MyLogModule->LogError(AnsiString(e.Message));
    }
}
