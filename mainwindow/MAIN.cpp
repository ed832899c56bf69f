#include "mainwindow/MAIN.h"

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "app/PassChange.h"
#include "app/PasswordScramble.h"
#include "app/ProgBar.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MainLink.h"
#include "app/SeekPosition.h"
#include "platform/win/Files.h"
#include "platform/win/win.h"
#include "playback/VideoView.h"
#include "recorder/TimerSet.h"
#include "playback/Volume.h"
#include "tracks/GraphView.h"
#include "tracks/MapView.h"
#include "tracks/TrackTimer.h"

#include <algorithm>
#include <cmath>

TMainForm* MainForm = nullptr;
std::int32_t LayoutIndex = -1;

UnicodeString SettingsFilePath()
{
    return ProgramFolder + u"\\Icon\\view";
}

namespace {

constexpr char16_t kSkinFace[] = u"ＭＳ Ｐゴシック";
constexpr int kShiftJisCharset = 128;
// The transport labels' height from the form data (layouts do not set it).
constexpr int kTransportLabelHeight = 27;

void LogError(const Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString(e.Message));
}

void LogFailure(const char16_t* text, const Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogMessage(AnsiString(UnicodeString(text) + e.Message), 3);
}

TPanel* MakePanel(TMainForm* form, TWinControl* parent, const char16_t* name)
{
    auto* panel = new TPanel(form);
    panel->SetName(name);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetShowCaption(false);
    panel->SetColor(clBlack);
    return panel;
}

// A picture of the program's resources (type "JPEG") into the image.
void LoadResourcePicture(TImage* image, const UnicodeString& name)
{
    TResourceStream stream(HInstance, name, u"JPEG");
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    image->Picture()->Assign(&jpeg);
}

// Starting a running timer starts its interval anew.
void Restart(TTimer* timer)
{
    timer->SetEnabled(false);
    timer->SetEnabled(true);
}

} // namespace

TImage* TMainForm::NewImage(const char16_t* name, int tag)
{
    auto* image = new TImage(this);
    image->SetName(name);
    image->SetParent(PanelMain);
    image->SetTag(tag);
    return image;
}

TLabel* TMainForm::NewLabel(const char16_t* name, int tag)
{
    auto* label = new TLabel(this);
    label->SetName(name);
    label->SetParent(PanelMain);
    label->SetTag(tag);
    label->SetAutoSize(false);
    label->SetTransparent(true);
    return label;
}

TMainForm::TMainForm(TComponent* Owner)
    : TForm(Owner)
{
    // The form's parts, in their z-order from the bottom up.
    SetName(u"MainForm");
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetFormStyle(fsMDIForm);
    SetColor(clBlack);
    Font()->SetName(kSkinFace);
    Font()->SetCharset(kShiftJisCharset);
    SetShowHint(true);

    PanelMain = new TPanel(this);
    PanelMain->SetName(u"PanelMain");
    PanelMain->SetParent(this);
    PanelMain->SetAlign(alClient);
    PanelMain->SetBevelOuter(bvNone);
    PanelMain->SetShowCaption(false);
    PanelMain->SetColor(clBlack);

    ImageBase = NewImage(u"ImageBase", 0);
    ImageBase->SetAlign(alClient);
    ImageBase->SetStretch(true);
    ImageBase->SetEnabled(false);
    ImageFormTitle = NewImage(u"ImageFormTitle", 0);
    ImageFormTitle->SetBounds(FormTitleRect.Left, FormTitleRect.Top, FormTitleRect.Width, FormTitleRect.Height);

    PanelVideo = MakePanel(this, PanelMain, u"PanelVideo");
    PanelMap = MakePanel(this, PanelMain, u"PanelMap");
    PanelList = MakePanel(this, PanelMain, u"PanelList");
    PanelGraph = MakePanel(this, PanelMain, u"PanelGraph");

    // The icon captions lie under the icons, which are click areas over the
    // whole cell without a picture of their own.
    TLabel** iconLabels[10] = {&LabelIcon_1, &LabelIcon_2, &LabelIcon_3, &LabelIcon_4, &LabelIcon_5,
                               &LabelIcon_6, &LabelIcon_7, &LabelIcon_8, &LabelIcon_9, &LabelIcon_10};
    for (int n = 1; n <= 10; ++n) {
        const UnicodeString name = u"LabelIcon_" + IntToStr(n);
        TLabel* label = NewLabel(name.c_str(), n);
        label->SetParentFont(false);
        label->Font()->SetName(kSkinFace);
        label->Font()->SetCharset(kShiftJisCharset);
        label->Font()->SetColor(clSkinCream);
        label->SetAlignment(taCenter);
        label->SetLayout(tlCenter);
        *iconLabels[n - 1] = label;
    }
    Image2Screen = NewImage(u"Image2Screen", 1);
    Image4Screen = NewImage(u"Image4Screen", 2);
    ImagePassword = NewImage(u"ImagePassword", 3);
    ImageScreenShot = NewImage(u"ImageScreenShot", 4);
    ImagePrint = NewImage(u"ImagePrint", 5);
    ImageTime = NewImage(u"ImageTime", 6);
    ImageFind = NewImage(u"ImageFind", 7);
    ImageDL = NewImage(u"ImageDL", 8);
    ImageDel = NewImage(u"ImageDel", 9);
    ImageFolderSel = NewImage(u"ImageFolderSel", 10);
    for (TImage* icon : {Image2Screen, Image4Screen, ImagePassword, ImageScreenShot, ImagePrint, ImageTime, ImageFind,
                         ImageDL, ImageDel, ImageFolderSel}) {
        icon->OnMouseEnter = [this](TObject* s) { ImageIconMouseEnter(s); };
        icon->OnMouseLeave = [this](TObject* s) { ImageIconMouseLeave(s); };
        icon->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageIconMouseDown(s, b, sh, x, y);
        };
        icon->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageIconMouseUp(s, b, sh, x, y);
        };
    }
    Image2Screen->OnClick = [this](TObject* s) { ImageScreen2Click(s); };
    Image4Screen->OnClick = [this](TObject* s) { ImageScreen4Click(s); };
    ImageTime->OnClick = [this](TObject* s) { ImageTimeClick(s); };
    ImageFolderSel->OnClick = [this](TObject* s) { ImageFolderSelClick(s); };
    ImagePassword->OnClick = [this](TObject* s) { ImagePasswordClick(s); };
    ImageFind->OnClick = [this](TObject* s) { ImageFindClick(s); };
    ImageDL->OnClick = [this](TObject* s) { ImageDLClick(s); };
    ImageDel->OnClick = [this](TObject* s) { ImageDelClick(s); };
    ImageScreenShot->OnClick = [this](TObject* s) { ImageScreenShotClick(s); };
    ImagePrint->OnClick = [this](TObject* s) { ImagePrintClick(s); };
    SavePictureDialog1 = new TSavePictureDialog(this);
    SavePictureDialog1->SetName(u"SavePictureDialog1");
    SavePictureDialog1->Title = u"静止画ファイル保存";
    SavePictureDialog1->Options << ofOverwritePrompt;

    EditPath = new TEdit(this);
    EditPath->SetName(u"EditPath");
    EditPath->SetParent(PanelMain);
    // Dark under the window's cream text.
    EditPath->SetColor(RGB(8, 9, 11));
    EditPath->OnChange = [this](TObject* s) { EditPathChange(s); };

    LabelPlayTime = NewLabel(u"LabelPlayTime", 0);
    // The thumbs lie under their bars' drag areas, which take the mouse.
    ImageTrack = NewImage(u"ImageTrack", 0);
    ImageTrack->SetStretch(true);
    ImageTrack->SetTransparent(true);
    ImageTrackRect = NewImage(u"ImageTrackRect", 0);
    ImageVolume = NewImage(u"ImageVolume", 0);
    ImageVolume->SetStretch(true);
    ImageVolumeRect = NewImage(u"ImageVolumeRect", 0);
    ImageTrackRect->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ImageTrackRectMouseDown(s, b, sh, x, y);
    };
    ImageTrackRect->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        ImageTrackRectMouseMove(s, sh, x, y);
    };
    ImageTrackRect->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ImageTrackRectMouseUp(s, b, sh, x, y);
    };
    ImageVolumeRect->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ImageVolumeRectMouseDown(s, b, sh, x, y);
    };
    ImageVolumeRect->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        ImageVolumeRectMouseMove(s, sh, x, y);
    };
    ImageVolumeRect->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ImageVolumeRectMouseUp(s, b, sh, x, y);
    };
    for (auto [thumb, picture] : {std::pair{ImageTrack, u"IMG_TRACK"}, std::pair{ImageVolume, u"IMG_VOLUME"}}) {
        try {
            LoadResourcePicture(thumb, picture);
        } catch (Exception& e) {
            LogError(e);
        }
    }

    ImageComaPre = NewImage(u"ImageComaPre", 1);
    ImagePlay = NewImage(u"ImagePlay", 2);
    ImageComaNext = NewImage(u"ImageComaNext", 3);
    ImageStop = NewImage(u"ImageStop", 4);
    ImageSpeedDown = NewImage(u"ImageSpeedDown", 5);
    ImageSpeedNone = NewImage(u"ImageSpeedNone", 6);
    ImageSpeedUp = NewImage(u"ImageSpeedUp", 7);
    LabelComaPre = NewLabel(u"LabelComaPre", 0);
    LabelPlay = NewLabel(u"LabelPlay", 0);
    LabelComaNext = NewLabel(u"LabelComaNext", 0);
    LabelStop = NewLabel(u"LabelStop", 0);
    LabelSpeedDown = NewLabel(u"LabelSpeedDown", 0);
    LabelSpeed = NewLabel(u"LabelSpeed", 0);
    LabelSpeedUp = NewLabel(u"LabelSpeedUp", 0);
    ImageZoom1 = NewImage(u"ImageZoom1", 8);
    ImageZoom2 = NewImage(u"ImageZoom2", 9);
    ImageZoom3 = NewImage(u"ImageZoom3", 10);
    ImageZoom4 = NewImage(u"ImageZoom4", 11);
    ImageZoom0 = NewImage(u"ImageZoom0", 12);
    LabelZoom = NewLabel(u"LabelZoom", 0);
    for (TImage* button : {ImageComaPre, ImagePlay, ImageComaNext, ImageStop, ImageSpeedDown, ImageSpeedNone,
                           ImageSpeedUp, ImageZoom1, ImageZoom2, ImageZoom3, ImageZoom4, ImageZoom0}) {
        button->SetStretch(true);
        button->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageBtnMouseDown(s, b, sh, x, y);
        };
        button->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageBtnMouseUp(s, b, sh, x, y);
        };
    }
    ImageComaPre->OnClick = [this](TObject* s) { ImageComaPreClick(s); };
    ImagePlay->OnClick = [this](TObject* s) { ImagePlayClick(s); };
    ImageComaNext->OnClick = [this](TObject* s) { ImageComaNextClick(s); };
    ImageStop->OnClick = [this](TObject* s) { ImageStopClick(s); };
    ImageSpeedDown->OnClick = [this](TObject* s) { ImageSpeedDownClick(s); };
    ImageSpeedNone->OnClick = [this](TObject* s) { ImageSpeedNoneClick(s); };
    ImageSpeedUp->OnClick = [this](TObject* s) { ImageSpeedUpClick(s); };
    OnKeyUp = [this](TObject* s, std::uint16_t& key, TShiftState sh) { FormKeyUp(s, key, sh); };
    ImagePlay->SetHint(u"再生");
    ImageSpeedNone->SetHint(u"等速");
    ImageZoom1->OnClick = [this](TObject* s) { ImageZoom1Click(s); };
    ImageZoom2->OnClick = [this](TObject* s) { ImageZoom2Click(s); };
    ImageZoom3->OnClick = [this](TObject* s) { ImageZoom3Click(s); };
    ImageZoom4->OnClick = [this](TObject* s) { ImageZoom4Click(s); };
    ImageZoom0->OnClick = [this](TObject* s) { ImageZoom0Click(s); };
    for (TLabel* label :
         {LabelComaPre, LabelPlay, LabelComaNext, LabelStop, LabelSpeedDown, LabelSpeed, LabelSpeedUp, LabelZoom}) {
        label->SetAlignment(taCenter);
        label->SetHeight(kTransportLabelHeight);
    }
    LabelSpeed->SetCaption(u"×1");
    LabelPlayTime->SetCaption(u"00:00:00/00:00:00");

    ImageFormTitle->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ImageFormTitleMouseDown(s, b, sh, x, y);
    };
    ImageFormTitle->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        ImageFormTitleMouseMove(s, sh, x, y);
    };
    ImageFormTitle->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ImageFormTitleMouseUp(s, b, sh, x, y);
    };

    Timer1 = new TTimer(this);
    Timer1->SetName(u"Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(100);
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
    TimerGps = new TTimer(this);
    TimerGps->SetName(u"TimerGps");
    TimerGps->SetEnabled(false);
    TimerGps->SetInterval(100);
    TimerGps->OnTimer = [this](TObject* s) { TimerGpsTimer(s); };

    // What the recording list and the opening of a recording reach here.
    MainLink.EditPath = EditPath;
    MainLink.ImageFolderSel = ImageFolderSel;
    MainLink.ImageTrack = ImageTrack;
    MainLink.ImagePlay = ImagePlay;
    MainLink.LabelPlayTime = LabelPlayTime;
    MainLink.SetSeekRange = [this](std::int64_t duration) { SetSeekRange(duration); };
    MainLink.SetSeekPosition = [this](double fraction) { SetSeekPosition(fraction); };
    MainLink.GetSeekPosition = [this] { return GetSeekPosition(); };
    MainLink.SetPlayButtonsEnabled = [this](bool enabled) { SetPlayButtonsEnabled(enabled); };
    MainLink.ClearGraph = [this] { ClearGraph(); };
    MainLink.ClearMapTrace = [this] { ClearMapTrace(); };
    MainLink.SetTrackTimer = [this](bool on) { TimerGps->SetEnabled(on); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnResize = [this](TObject* s) { FormResize(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

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
        Application->OnRestore = [this](TObject* s) { OnAppRestore(s); };
        FLastGpsTimeMs = -1;
        FLastPositionMs = -1;
        FLastLongitude = 0.0f;
        FLastLatitude = 0.0f;
        for (int n = 0; n < 10; ++n)
            FIconLabels[n] = *iconLabels[n];
        LoadSettings();
    } catch (Exception& e) {
        LogFailure(u"ビューワ初期化に失敗しました。【ｴﾗｰ番号：2002】 エラー:", e);
        Application->Terminate();
    }
}

TMainForm::~TMainForm()
{
    if (MyLogModule)
        MyLogModule->LogDebug("TMainForm::~TMainForm() END");
    if (Application)
        Application->OnRestore = nullptr;
    if (MainLink.EditPath == EditPath)
        MainLink = TMainLink{};
    if (MainForm == this)
        MainForm = nullptr;
}

// ---------------------------------------------------------------- settings

void TMainForm::LoadSettings()
{
    FPasswordKnown = false;
    try {
        const UnicodeString path = SettingsFilePath();
        TIniFile ini(path);
        FScreenMode = ini.ReadInteger(u"SYSTEM", u"screen", 4) == 2 ? 1 : 2;
        // A file that is there but cannot be read (or a card that does not
        // answer) reads as defaults: its password must not be overwritten.
        bool readable = true;
        if (win::GetFileAttributes(path.c_str()) == win::INVALID_FILE_ATTRIBUTES) {
            const win::DWORD error = win::GetLastError();
            readable = error == win::ERROR_FILE_NOT_FOUND || error == win::ERROR_PATH_NOT_FOUND;
        } else {
            try {
                TFileStream probe(path, fmOpenRead | fmShareDenyNone);
            } catch (Exception&) {
                readable = false;
            }
        }
        const TStoredPassword stored = ReadStoredPassword(ini, u"SYSTEM", u"p_m");
        FPassword = PasswordFromStoredForm(stored.Bytes);
        FPasswordKnown = readable && stored.Intact;
    } catch (Exception& e) {
        LogError(e);
    }
}

bool TMainForm::SaveSettings()
{
    try {
        if (!win::DirectoryExists(ProgramFolder + u"\\Icon"))
            return false;
        TIniFile ini(SettingsFilePath());
        // A password that could not be read stays as the file holds it.
        if (FPasswordKnown) {
            const AnsiString scrambled = EncodePassword(FPassword);
            TMemoryStream stream;
            if (!scrambled.IsEmpty())
                stream.WriteBuffer(scrambled.c_str(), static_cast<std::int32_t>(scrambled.Length()));
            stream.SetPosition(0);
            ini.WriteBinaryStream(u"SYSTEM", u"p_m", stream);
        }
        ini.WriteInteger(u"SYSTEM", u"screen", FScreenMode == 1 ? 2 : 4);
        ini.WriteString(u"VIEWER_VER", u"version", VersionText);
        return true;
    } catch (Exception& e) {
        LogError(e);
        return false;
    }
}

bool TMainForm::ChangePassword(const AnsiString& password)
{
    const AnsiString previous = FPassword;
    const bool previousKnown = FPasswordKnown;
    FPassword = password;
    FPasswordKnown = true;
    if (SaveSettings())
        return true;
    FPassword = previous;
    FPasswordKnown = previousKnown;
    return false;
}

// ---------------------------------------------------------------- lifetime

void TMainForm::FormCreate(TObject*)
{
    try {
        LoadSkin();
        SelectLayout();
        SetPlayButtonsEnabled(false);
        SaveSettings();
    } catch (Exception& e) {
        LogFailure(u"アプリ初期化に失敗しました。【ｴﾗｰ番号：2001】 エラー:", e);
        Application->Terminate();
    }
}

void TMainForm::FormResize(TObject*)
{
    try {
        win::RECT work{};
        win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &work, 0);
        const std::int32_t height = work.bottom - work.top;
        const std::int32_t width = work.right - work.left;
        // Only a change of both dimensions (a new resolution) counts.
        if (height == FWorkAreaHeight || width == FWorkAreaWidth)
            return;
        FWorkAreaHeight = height;
        FWorkAreaWidth = width;
        const std::int64_t shown = GetSeekPosition();
        SelectLayout();
        KeepSeekPosition(shown);
        // The panes that exist follow their panels.
        if (GraphControl)
            GraphControl->ArrangeGraph();
        if (PlayControl)
            PlayControl->FitToPanelVideo();
        if (MapControl)
            MapControl->FitToPanelMap();
        if (ListControl)
            ListControl->AdjustListLayout();
    } catch (Exception& e) {
        LogFailure(u"アプリ初期化に失敗しました。【ｴﾗｰ番号：2001】 エラー:", e);
        Application->Terminate();
    }
}

void TMainForm::FormClose(TObject*, TCloseAction& Action)
{
    try {
        if (ProgForm && ProgForm->Visible()) {
            // A long operation of the list runs: ask, and let it see the abort.
            if (!FCloseConfirmed) {
                FAskingClose = true;
                const int answer = SDDlg ? SDDlg->ShowSDDlg(23) : 2;
                FAskingClose = false;
                if (answer != 1 && !FCloseConfirmed) {
                    Action = caNone;
                    return;
                }
            }
            FClosing = true;
            ProgForm->FAbort = 1;
            Application->ProcessMessages();
            win::Sleep(500);
        }
        FClosing = true;
        if (PlayControl && PlayControl->TimerSpeed)
            PlayControl->TimerSpeed->SetEnabled(false);
        TimerGps->SetEnabled(false);
        Timer1->SetEnabled(false);
        win::Sleep(100);
        if (ListControl)
            ListControl->Close();
        if (PlayControl)
            PlayControl->Close();
        win::Sleep(200);
        Application->Terminate();
    } catch (Exception& e) {
        LogError(e);
    }
    FClosing = false;
}

void TMainForm::CloseConfirmed()
{
    const bool asking = FAskingClose;
    FCloseConfirmed = true;
    if (FClosing)
        return;
    if (asking) {
        // The close that asks goes on as after "yes".
        if (SDDlg)
            SDDlg->SetModalResult(mrCancel);
        return;
    }
    Close();
}

// ---------------------------------------------------------------- skin and layouts

void TMainForm::LoadButtonPicture(TImage* button, const char16_t* prefix)
{
    LoadResourcePicture(button, prefix + IntToStr(static_cast<int>(button->Tag())));
}

void TMainForm::LoadSkin()
{
    try {
        Font()->SetColor(clSkinCream);
        LabelComaPre->SetCaption(u"コマ戻し");
        LabelPlay->SetCaption(u"再生/一時停止");
        LabelComaNext->SetCaption(u"コマ送り");
        LabelStop->SetCaption(u"停止");
        LabelSpeedDown->SetCaption(u"スロー再生");
        LabelSpeedUp->SetCaption(u"スピード再生");
        LabelZoom->SetCaption(u"画面拡大");
        LabelIcon_1->SetCaption(u"２画面表示");
        LabelIcon_2->SetCaption(u"４画面表示");
        LabelIcon_3->SetCaption(u"パスワード\n設定");
        LabelIcon_4->SetCaption(u"静止画\n保存");
        LabelIcon_5->SetCaption(u"印 刷");
        LabelIcon_6->SetCaption(u"本体設定");
        LabelIcon_7->SetCaption(u"検 索");
        LabelIcon_8->SetCaption(u"ファイルを\nコピー");
        LabelIcon_9->SetCaption(u"ファイルを\n削除");
        LabelIcon_10->SetCaption(u"ファイルを\n開く");
        for (TImage* button : {ImageComaPre, ImagePlay, ImageComaNext, ImageStop, ImageSpeedDown, ImageSpeedNone,
                               ImageSpeedUp, ImageZoom1, ImageZoom2, ImageZoom3, ImageZoom4, ImageZoom0})
            LoadButtonPicture(button, u"BTN_A_");
        SetCaption(u"Velmorastine II  ");
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::SelectLayout()
{
    LayoutIndex = -1;
    int chosen = -1;
    for (int k = 0; k < LayoutCount && chosen < 0; ++k)
        if (FWorkAreaHeight >= LayoutTable[k].ClientHeight + LayoutFrameHeight &&
            FWorkAreaWidth >= LayoutTable[k].ClientWidth + LayoutFrameWidth)
            chosen = k;
    if (chosen < 0) {
        win::MessageBox(nullptr, u"対応解像度未対応です！解像度を大きくしてお願いします。", u"Error", win::MB_OK);
        Application->Terminate();
        return;
    }
    LayoutIndex = chosen;
    ApplyLayout(LayoutTable[chosen]);
    LoadResourcePicture(ImageBase, u"JPG_BASE" + IntToStr(chosen));
    SetLeft((FWorkAreaWidth - Width()) / 2);
    SetTop(Height() < FWorkAreaHeight ? 0 : (FWorkAreaHeight - Height()) / 2);
}

void TMainForm::ApplyLayout(const TLayoutRecord& record)
{
    const TLayoutFont& font = LayoutFontTable[LayoutIndex >= 0 && LayoutIndex < LayoutCount ? LayoutIndex : 0];
    const TFontStyles style = font.WindowBold ? TFontStyles{fsBold} : TFontStyles{};
    Font()->SetStyle(style);
    Font()->SetHeight(font.WindowHeight);
    SetClientWidth(record.ClientWidth);
    SetClientHeight(record.ClientHeight);

    auto place = [&](TControl* control, int index) {
        const TLayoutRect& r = record.Rects[index];
        control->SetBounds(r.Left, r.Top, r.Width, r.Height);
    };
    // Labels without a height of their own in the table.
    auto placeNoHeight = [&](TControl* control, int index) {
        const TLayoutRect& r = record.Rects[index];
        control->SetBounds(r.Left, r.Top, r.Width, control->Height());
    };

    place(PanelVideo, lrPanelVideo);
    place(PanelList, lrPanelList);
    place(LabelPlayTime, lrPlayTime);
    // The small layouts' table height is less than the font's cells.
    LabelPlayTime->SetHeight(std::max<int>(record.Rects[lrPlayTime].Height, font.WindowHeight));
    // The volume bar; its thumb starts at the bar's left.
    place(ImageVolumeRect, lrVolumeRect);
    ImageVolume->SetBounds(ImageVolumeRect->Left(), ImageVolumeRect->Top(), record.Rects[lrVolume].Width,
                           record.Rects[lrVolume].Height);
    FVolumeMin = ImageVolume->Left();
    FVolumeMax = ImageVolume->Left() + ImageVolumeRect->Width() - ImageVolume->Width();
    place(ImageComaPre, lrComaPre);
    place(ImagePlay, lrPlay);
    place(ImageComaNext, lrComaNext);
    place(ImageStop, lrStop);
    place(ImageSpeedDown, lrSpeedDown);
    place(ImageSpeedNone, lrSpeedNone);
    place(ImageSpeedUp, lrSpeedUp);
    placeNoHeight(LabelSpeed, lrLabelSpeed);
    place(ImageTime, lrIcon6);
    place(ImagePassword, lrIcon3);
    place(ImageDL, lrIcon8);
    place(ImageDel, lrIcon9);
    place(ImageFind, lrIcon7);
    place(ImageFolderSel, lrIcon10);
    place(EditPath, lrEditPath);
    place(ImageScreenShot, lrIcon4);
    place(ImagePrint, lrIcon5);
    // The seek bar: the thumb takes the bar's left and top and the bar's
    // height field; the bar keeps seven eighths of it.
    const TLayoutRect& track = record.Rects[lrTrackRect];
    ImageTrackRect->SetBounds(track.Left, track.Top, track.Width, ImageTrackRect->Height());
    ImageTrack->SetBounds(ImageTrackRect->Left(), ImageTrackRect->Top(), record.Rects[lrTrack].Width, track.Height);
    FTrackMin = ImageTrack->Left();
    ImageTrackRect->SetHeight(7 * (ImageTrack->Height() / 8));
    FTrackMax = ImageTrackRect->Width() + ImageTrack->Left() - ImageTrack->Width();
    place(ImageZoom1, lrZoom1);
    place(ImageZoom2, lrZoom2);
    place(ImageZoom3, lrZoom3);
    place(ImageZoom4, lrZoom4);
    place(ImageZoom0, lrZoom0);
    place(Image2Screen, lrIcon1);
    place(Image4Screen, lrIcon2);
    placeNoHeight(LabelComaPre, lrLabelComaPre);
    placeNoHeight(LabelPlay, lrLabelPlay);
    placeNoHeight(LabelComaNext, lrLabelComaNext);
    placeNoHeight(LabelStop, lrLabelStop);
    placeNoHeight(LabelSpeedDown, lrLabelSpeedDown);
    placeNoHeight(LabelSpeedUp, lrLabelSpeedUp);
    placeNoHeight(LabelZoom, lrLabelZoom);
    // The icon captions take the right part of their cells; the icon of the
    // background shows in the left part.
    FIconFontHeight = font.IconLabelHeight;
    for (int n = 1; n <= 10; ++n) {
        TLabel* label = FIconLabels[n - 1];
        const TLayoutRect& cell = record.Rects[lrIcon1 + n - 1];
        label->Font()->SetHeight(FIconFontHeight);
        const int left = static_cast<int>(cell.Width * IconLabelLeftFraction);
        label->SetBounds(left, cell.Top, cell.Width - left, cell.Height);
        label->Font()->SetStyle(style);
    }
    place(PanelGraph, lrPanelGraph);
    place(PanelMap, lrPanelMap);
}

// ---------------------------------------------------------------- controls

void TMainForm::SetPlayButtonsEnabled(bool enabled)
{
    for (TControl* control : {static_cast<TControl*>(ImageDel), static_cast<TControl*>(ImageDL),
                              static_cast<TControl*>(ImageTrack), static_cast<TControl*>(ImagePrint),
                              static_cast<TControl*>(ImageScreenShot), static_cast<TControl*>(Image2Screen),
                              static_cast<TControl*>(Image4Screen), static_cast<TControl*>(ImageFind),
                              static_cast<TControl*>(ImageComaPre), static_cast<TControl*>(ImagePlay),
                              static_cast<TControl*>(ImageComaNext), static_cast<TControl*>(ImageStop),
                              static_cast<TControl*>(ImageSpeedDown), static_cast<TControl*>(ImageSpeedNone),
                              static_cast<TControl*>(ImageSpeedUp), static_cast<TControl*>(ImageZoom0),
                              static_cast<TControl*>(ImageZoom1), static_cast<TControl*>(ImageZoom2)})
        control->SetEnabled(enabled);
    // The lower quadrants never in the two-channel view.
    SetLowerZoomEnabled(enabled && FScreenMode != 1);
}

void TMainForm::SetSeekRange(std::int64_t duration)
{
    // A recording without length has no scale; the seek drag refuses it.
    if (duration <= 0)
        return;
    FSeekScale = static_cast<double>(FTrackMax - FTrackMin) / static_cast<double>(duration);
}

void TMainForm::SetSeekPosition(double fraction)
{
    try {
        const double left = static_cast<double>(FTrackMax - FTrackMin) * fraction + FTrackMin;
        // Beyond the end (or no number at all) stands at the end.
        if (!(left <= FTrackMax)) {
            ImageTrack->SetLeft(FTrackMax);
            return;
        }
        ImageTrack->SetLeft(left < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(left));
    } catch (Exception& e) {
        LogError(e);
    }
}

std::int64_t TMainForm::GetSeekPosition()
{
    std::int64_t position = 0;
    ThumbToPosition(ImageTrack->Left(), FTrackMin, FSeekScale, position);
    return position;
}

void TMainForm::ClearMapTrace()
{
    TimerGps->SetEnabled(false);
    if (MapControl)
        MapControl->ClearCarTrace();
}

void TMainForm::ClearGraph()
{
    if (GraphControl)
        GraphControl->ResetGraph();
}

void TMainForm::ImageFolderSelClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->ImageFolderClick();
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::EditPathChange(TObject*)
{
    try {
        if (ListControl)
            ListControl->Edit2Change();
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::SetLowerZoomEnabled(bool enabled)
{
    ImageZoom3->SetEnabled(enabled);
    ImageZoom4->SetEnabled(enabled);
}

void TMainForm::SetVolumePosition(std::int32_t volume)
{
    try {
        ImageVolume->SetLeft(playback::VolumeThumbLeft(volume, FVolumeMin, FVolumeMax, ImageVolume->Width()));
    } catch (Exception& e) {
        LogError(e);
    }
}

// ---------------------------------------------------------------- messages

void TMainForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case win::WM_ACTIVATE:
        OnMFormActive(Message);
        return;
    case win::WM_SETFOCUS:
        OnSetFocusMessage(Message);
        return;
    case win::WM_KILLFOCUS:
        FFocusLost = 1;
        return;
    case WM_PLAY_STATE:
        OnPlayStateMessage(Message);
        return;
    default:
        TForm::Dispatch(Message);
    }
}

void TMainForm::OnMFormActive(TMessage& Message)
{
    try {
        // Activated other than by a mouse click.
        if (Message.WParam == 1 && PlayControl) {
            PlayControl->RePositions();
        }
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::OnSetFocusMessage(TMessage&)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        if (ListControl && ListControl->Showing() && ListControl->CanFocus())
            ListControl->SetFocus();
        // A volume changed elsewhere meanwhile shows on the thumb.
        if (PlayControl && PlayControl->FileOpened && FFocusLost == 1)
            SetVolumePosition(PlayControl->GetVolume());
        FFocusLost = 0;
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::OnPlayStateMessage(TMessage& Message)
{
    try {
        const bool running = Message.WParam != 0;
        ImageScreenShot->SetEnabled(!running);
        ImagePrint->SetEnabled(!running);
        if (running)
            Timer1->SetEnabled(false);
        else
            Restart(Timer1);
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::OnAppRestore(TObject*)
{
    Restart(Timer1);
}

void TMainForm::Timer1Timer(TObject*)
{
    try {
        Timer1->SetEnabled(false);
        if (PlayControl && PlayControl->FileOpened)
            win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 0, 0);
    } catch (Exception& e) {
        LogError(e);
    }
}

namespace {

// What a tick of the track timer moves: the graph pane and the map pane,
// those that exist.
class TPaneTargets : public TTrackTimerTargets {
public:
    void SetPos(std::int32_t ms) override
    {
        if (GraphControl)
            GraphControl->SetPos(ms);
    }
    void SetSpeedText(const UnicodeString& text) override
    {
        if (GraphControl)
            GraphControl->SetSpeedText(AnsiString(text));
    }
    bool SetCarPos(const AnsiString& lat, const AnsiString& lng, float heading) override
    {
        return MapControl && MapControl->SetCarPos(lat, lng, heading);
    }
};

} // namespace

void TMainForm::TimerGpsTimer(TObject*)
{
    try {
        if (!PlayControl)
            return;
        TPaneTargets panes;
        TrackTimerTick(ImageTrack->Left(), FTrackMin, FSeekScale, PlayControl->GInfo,
                       {FLastPositionMs, FLastGpsTimeMs, FLastLatitude, FLastLongitude}, panes);
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageTimeClick(TObject*)
{
    try {
        // Shown without modality, only while the card answers.
        if (TimeSet)
            TimeSet->ShowWhenCardReady();
    } catch (Exception& e) {
        LogError(e);
    }
}

// ---------------------------------------------------------------- channel views

bool TMainForm::HasSelectedRecording() const
{
    return ListControl && ListControl->ListView1 && ListControl->ListView1->ItemIndex() != -1;
}

void TMainForm::ShowChannels(std::int32_t mode)
{
    if (PlayControl)
        PlayControl->ShowChanel(mode);
}

void TMainForm::ImageScreen2Click(TObject*)
{
    if (!HasSelectedRecording())
        return;
    ShowChannels(2);
    FScreenMode = 1;
    SetLowerZoomEnabled(false);
    SaveSettings();
    Restart(Timer1);
}

void TMainForm::ImageScreen4Click(TObject*)
{
    if (!HasSelectedRecording())
        return;
    ShowChannels(4);
    FScreenMode = 2;
    SetLowerZoomEnabled(true);
    SaveSettings();
    Restart(Timer1);
}

void TMainForm::ImageZoom1Click(TObject*)
{
    if (!HasSelectedRecording())
        return;
    ShowChannels(11);
    Restart(Timer1);
}

void TMainForm::ImageZoom2Click(TObject*)
{
    if (!HasSelectedRecording())
        return;
    ShowChannels(12);
    Restart(Timer1);
}

void TMainForm::ImageZoom3Click(TObject*)
{
    if (!HasSelectedRecording() || FScreenMode == 1)
        return;
    ShowChannels(13);
    Restart(Timer1);
}

void TMainForm::ImageZoom4Click(TObject*)
{
    if (!HasSelectedRecording() || FScreenMode == 1)
        return;
    ShowChannels(14);
    Restart(Timer1);
}

void TMainForm::ImageZoom0Click(TObject*)
{
    if (!HasSelectedRecording())
        return;
    if (FScreenMode == 1) {
        ShowChannels(2);
        SetLowerZoomEnabled(false);
    } else {
        ShowChannels(4);
        FScreenMode = 2;
        SetLowerZoomEnabled(true);
    }
    SaveSettings();
    Restart(Timer1);
}

// ---------------------------------------------------------------- icon looks and buttons

namespace {

TLabel* IconLabel(TObject* sender, TLabel* const (&labels)[10])
{
    auto* icon = dynamic_cast<TControl*>(sender);
    if (!icon || icon->Tag() < 1 || icon->Tag() > 10)
        return nullptr;
    return labels[icon->Tag() - 1];
}

bool IconEnabled(TObject* sender)
{
    auto* icon = dynamic_cast<TControl*>(sender);
    return icon && icon->Enabled();
}

} // namespace

void TMainForm::ImageIconMouseEnter(TObject* Sender)
{
    TLabel* label = IconLabel(Sender, FIconLabels);
    if (!label || !IconEnabled(Sender))
        return;
    label->Font()->SetColor(clSkinCream);
    label->Font()->SetHeight(static_cast<int>(FIconFontHeight * 1.15));
}

void TMainForm::ImageIconMouseLeave(TObject* Sender)
{
    TLabel* label = IconLabel(Sender, FIconLabels);
    if (!label)
        return;
    label->Font()->SetColor(clSkinCream);
    label->Font()->SetHeight(FIconFontHeight);
}

void TMainForm::ImageIconMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    TLabel* label = IconLabel(Sender, FIconLabels);
    if (!label || !IconEnabled(Sender))
        return;
    label->Font()->SetColor(clSkinSilver);
    label->Font()->SetHeight(static_cast<int>(FIconFontHeight * 1.15));
}

void TMainForm::ImageIconMouseUp(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    TLabel* label = IconLabel(Sender, FIconLabels);
    if (!label || !IconEnabled(Sender))
        return;
    label->Font()->SetColor(clSkinCream);
}

void TMainForm::ImageBtnMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    auto* button = dynamic_cast<TImage*>(Sender);
    if (button && button->Enabled())
        LoadButtonPicture(button, u"BTN_B_");
}

void TMainForm::ImageBtnMouseUp(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    if (auto* button = dynamic_cast<TImage*>(Sender))
        LoadButtonPicture(button, u"BTN_A_");
}

// ---------------------------------------------------------------- transport commands

void TMainForm::FocusList()
{
    if (ListControl && ListControl->CanFocus())
        ListControl->SetFocus();
}

void TMainForm::ImageComaPreClick(TObject* Sender)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        FocusList();
        if (PlayControl)
            PlayControl->ImageComaPreClick(Sender);
        ImagePlay->SetHint(u"再生");
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImagePlayClick(TObject* Sender)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        FocusList();
        if (PlayControl)
            PlayControl->ImagePlayClick(Sender);
        ImagePlay->SetHint(!PlayControl || PlayControl->Paused ? u"再生" : u"一時停止");
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageComaNextClick(TObject* Sender)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        FocusList();
        if (PlayControl)
            PlayControl->ImageComaNextClick(Sender);
        ImagePlay->SetHint(u"再生");
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageStopClick(TObject* Sender)
{
    try {
        if (PlayControl)
            PlayControl->ImageStopClick(Sender);
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageSpeedDownClick(TObject* Sender)
{
    try {
        if (IsDriveReady(ProgramDrive) && HasSelectedRecording() && PlayControl)
            PlayControl->ImageSpeedDownClick(Sender);
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageSpeedNoneClick(TObject* Sender)
{
    try {
        if (IsDriveReady(ProgramDrive) && HasSelectedRecording() && PlayControl)
            PlayControl->ImageSpeedNoneClick(Sender);
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageSpeedUpClick(TObject* Sender)
{
    try {
        if (IsDriveReady(ProgramDrive) && HasSelectedRecording() && PlayControl)
            PlayControl->ImageSpeedUpClick(Sender);
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImagePasswordClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && PWChange)
            PWChange->Show();
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::UpdateSpeedDisplay()
{
    try {
        if (!PlayControl)
            return;
        const float rate = PlayControl->PlayRate;
        const float slowest = SpeedTable[0].Rate;
        const float fastest = SpeedTable[sizeof SpeedTable / sizeof SpeedTable[0] - 1].Rate;
        ImageSpeedDown->SetEnabled(rate != slowest);
        ImageSpeedUp->SetEnabled(rate != fastest);
        for (const TSpeedEntry& entry : SpeedTable)
            if (entry.Rate == rate) {
                LabelSpeed->SetCaption(entry.Label);
                break;
            }
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::FormKeyUp(TObject*, std::uint16_t& Key, TShiftState)
{
    try {
        if ((Key == vcl::VK_UP || Key == vcl::VK_DOWN) && ListControl)
            FocusList();
    } catch (...) {
    }
}

void TMainForm::KeepSeekPosition(std::int64_t position)
{
    // The old scale belongs to the old track: seeks would land elsewhere.
    if (MediaDuration < 1)
        return;
    SetSeekRange(MediaDuration);
    SetSeekPosition(static_cast<double>(position) / static_cast<double>(MediaDuration));
}

// --- the search, copy and delete commands ---

void TMainForm::ImageFindClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->ImageFindClick();
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageDLClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->ImageDownLoadClick();
    } catch (Exception& e) {
        LogError(e);
    }
}

void TMainForm::ImageDelClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->DeleteCheckedFiles();
    } catch (Exception& e) {
        LogError(e);
    }
}
