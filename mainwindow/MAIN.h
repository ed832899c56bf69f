// The main window: a skinned window of fixed size in one of four layouts,
// hosting the four panes in its panels, with the transport buttons, the seek
// and volume bars, the column of ten function icons and the channel-view
// buttons. This unit also holds the program's version text and the table of
// playback speeds.
//
// `MainForm` below is the global pointer to the one TMainForm; the
// application's own main form (Application->MainForm()) is the password
// prompt instead when a viewing password is set.
#pragma once

#include "mainwindow/LayoutTable.h"
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
    {0.0625f, u"×1/16"}, {0.125f, u"×1/8 "}, {0.25f, u"×1/4 "}, {0.5f, u"×1/2 "},  {1.0f, u"×1   "},
    {2.0f, u"×2   "},    {4.0f, u"×4   "},   {8.0f, u"×8   "},  {16.0f, u"×16  "},
};

// Index 0..3 of the layout in use (0 the largest); -1 while one is chosen
// and when none fits the work area. Readers treat -1 as no layout.
extern std::int32_t LayoutIndex;

// The window's text colour and the pressed icon caption's.
inline constexpr TColor clSkinCream = RGB(255, 251, 240);
inline constexpr TColor clSkinSilver = RGB(192, 192, 192);

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* Owner);
    ~TMainForm() override;

    // --- the form's parts ---
    TPanel* PanelMain;
    TImage* ImageBase;
    TImage* ImageFormTitle;
    // Hosts of the four panes.
    TPanel* PanelVideo;
    TPanel* PanelMap;
    TPanel* PanelList;
    TPanel* PanelGraph;
    // The ten function icons (Tag 1..10) and their captions.
    TImage* Image2Screen;
    TImage* Image4Screen;
    TImage* ImagePassword;
    TImage* ImageScreenShot;
    TImage* ImagePrint;
    TImage* ImageTime;
    TImage* ImageFind;
    TImage* ImageDL;
    TImage* ImageDel;
    TImage* ImageFolderSel;
    TLabel* LabelIcon_1;
    TLabel* LabelIcon_2;
    TLabel* LabelIcon_3;
    TLabel* LabelIcon_4;
    TLabel* LabelIcon_5;
    TLabel* LabelIcon_6;
    TLabel* LabelIcon_7;
    TLabel* LabelIcon_8;
    TLabel* LabelIcon_9;
    TLabel* LabelIcon_10;
    TEdit* EditPath;
    // Seek bar (track and thumb) and volume bar.
    TImage* ImageTrack;
    TImage* ImageTrackRect;
    TLabel* LabelPlayTime;
    TImage* ImageVolume;
    TImage* ImageVolumeRect;
    // The skinned buttons (Tag 1..12) and their captions.
    TImage* ImageComaPre;
    TImage* ImagePlay;
    TImage* ImageComaNext;
    TImage* ImageStop;
    TImage* ImageSpeedDown;
    TImage* ImageSpeedNone;
    TImage* ImageSpeedUp;
    TImage* ImageZoom1;
    TImage* ImageZoom2;
    TImage* ImageZoom3;
    TImage* ImageZoom4;
    TImage* ImageZoom0;
    TLabel* LabelComaPre;
    TLabel* LabelPlay;
    TLabel* LabelComaNext;
    TLabel* LabelStop;
    TLabel* LabelSpeedDown;
    TLabel* LabelSpeed;
    TLabel* LabelSpeedUp;
    TLabel* LabelZoom;
    // One-shot repaint request (100 ms) and the track timer.
    TTimer* Timer1;
    TTimer* TimerGps;

    // --- lifetime and settings ---
    void FormCreate(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The program is asked to end from outside (a stop signal, the end of
    // input), where nobody may be there to answer: closes as after the user
    // confirmed the close, so a running scan, copy or delete stops as its
    // stop button would. Asked while the close question shows, it answers it.
    void CloseConfirmed();
    // Writes the settings file "view" (only while "Icon" exists); true when
    // it was written.
    bool SaveSettings();
    // Reads the channel mode and the main window's copy of the password.
    void LoadSettings();
    // The password-change dialog's new password: kept and written at once;
    // true when the settings file took it.
    bool ChangePassword(const AnsiString& password);

    // --- layouts and skin ---
    void LoadSkin();
    void SelectLayout();
    void ApplyLayout(const TLayoutRecord& record);

    // --- state of the controls ---
    void SetPlayButtonsEnabled(bool enabled);
    void SetVolumePosition(std::int32_t volume);
    // The seek bar: the scale for a recording's duration (100 ns units), the
    // thumb at a fraction 0..1 of the track, the position the thumb shows.
    void SetSeekRange(std::int64_t duration);
    void SetSeekPosition(double fraction);
    std::int64_t GetSeekPosition();
    // A new folder or recording: the track timer and the map's trace, the
    // graph's curves.
    void ClearMapTrace();
    void ClearGraph();
    // New tracks are in: the track timer's next tick moves the cursor and
    // searches the whole list again.
    void RestartTrackFollow();
    // 1 two-channel view, 2 four-channel view, 0 until the settings are read.
    std::int32_t ScreenMode() const { return FScreenMode; }
    // The main window's copy of the viewing password, in clear.
    const AnsiString& Password() const { return FPassword; }

    // --- messages and events ---
    void Dispatch(TMessage& Message) override;
    void OnAppRestore(TObject* Sender);
    void OnMFormActive(TMessage& Message);
    void OnPlayStateMessage(TMessage& Message);
    void OnSetFocusMessage(TMessage& Message);
    void Timer1Timer(TObject* Sender);
    // The track timer: graph cursor, speed read-out and map marker follow
    // the seek thumb.
    void TimerGpsTimer(TObject* Sender);
    void ImageTimeClick(TObject* Sender);
    void ImageScreen2Click(TObject* Sender);
    void ImageScreen4Click(TObject* Sender);
    void ImageZoom1Click(TObject* Sender);
    void ImageZoom2Click(TObject* Sender);
    void ImageZoom3Click(TObject* Sender);
    void ImageZoom4Click(TObject* Sender);
    void ImageZoom0Click(TObject* Sender);
    void ImageFolderSelClick(TObject* Sender);
    void EditPathChange(TObject* Sender);
    // The ten function icons' caption looks.
    void ImageIconMouseEnter(TObject* Sender);
    void ImageIconMouseLeave(TObject* Sender);
    void ImageIconMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageIconMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The skinned buttons' pressed and normal pictures.
    void ImageBtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageBtnMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // --- drags (MainDrags.cpp) ---
    // The window by its title picture.
    void ImageFormTitleMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageFormTitleMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImageFormTitleMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The seek thumb along its track, the volume thumb along its bar.
    void ImageTrackRectMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageTrackRectMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImageTrackRectMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageVolumeRectMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageVolumeRectMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImageVolumeRectMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The search, copy and delete icons: forwarded to the recording list
    // while the program drive answers.
    void ImageFindClick(TObject* Sender);
    void ImageDLClick(TObject* Sender);
    void ImageDelClick(TObject* Sender);

    // Still picture and printing of the current frame (MainStill.cpp). The
    // save dialog asks before an existing file is replaced and opens next
    // time in the folder of the last file saved.
    TSavePictureDialog* SavePictureDialog1 = nullptr;
    void ImageScreenShotClick(TObject* Sender);
    void ImagePrintClick(TObject* Sender);

    // --- state (user interface thread only) ---
    // Other windows read it through the operations above; tests through
    // TMainFormState (tests/support/MainFormState.h).
private:
    friend struct TMainFormState;
    std::int32_t FTrackMin = 0;
    std::int32_t FTrackMax = 0;
    std::int32_t FVolumeMin = 0;
    std::int32_t FVolumeMax = 0;
    double FSeekScale = 1e-13;
    std::int32_t FWorkAreaHeight = 0;
    std::int32_t FWorkAreaWidth = 0;
    UnicodeString FLastPictureFolder;
    std::int32_t FDragStartX = 0;
    std::int32_t FDragStartY = 0;
    std::uint8_t FTitleDragging = 0;
    // LabelIcon_1 .. LabelIcon_10, by the icon's Tag - 1.
    TLabel* FIconLabels[10] = {};
    std::int32_t FIconFontHeight = 0;
    std::uint8_t FSpeedTimerWasOn = 0;
    // 1 two-channel view, 2 four-channel view, 0 until the settings are read.
    std::int32_t FScreenMode = 0;
    std::uint8_t FSeekDragging = 0;
    std::uint8_t FVolumeDragging = 0;
    std::uint8_t FFocusLost = 0;
    // The main window's copy of the viewing password, in clear.
    AnsiString FPassword;
    // Whether FPassword is what the settings file holds (or a password set
    // since): a file that could not be read keeps its stored password.
    bool FPasswordKnown = false;
    std::int32_t FLastGpsTimeMs = -1;
    std::int32_t FLastPositionMs = -1;
    float FLastLongitude = 0.0f;
    float FLastLatitude = 0.0f;

public:
    // --- transport commands and speed read-out ---
    void ImageComaPreClick(TObject* Sender);
    void ImagePlayClick(TObject* Sender);
    void ImageComaNextClick(TObject* Sender);
    void ImageStopClick(TObject* Sender);
    void ImageSpeedDownClick(TObject* Sender);
    void ImageSpeedNoneClick(TObject* Sender);
    void ImageSpeedUpClick(TObject* Sender);
    void ImagePasswordClick(TObject* Sender);
    // The playback control's rate in LabelSpeed; the slow and fast buttons
    // disabled at the ends of the speed table.
    void UpdateSpeedDisplay();
    // Up or Down released on the window itself: the list takes the focus.
    void FormKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);

private:
    // The close goes on without asking (CloseConfirmed).
    bool FCloseConfirmed = false;
    // Message 23 shows, asked by FormClose; FormClose runs its closing steps.
    bool FAskingClose = false;
    bool FClosing = false;

    // The skinned button's picture "BTN_A_n" or "BTN_B_n" from the resources.
    void LoadButtonPicture(TImage* button, const char16_t* prefix);
    // ShowChanel of the playback control, when a recording is selected.
    bool HasSelectedRecording() const;
    void ShowChannels(std::int32_t mode);
    void SetLowerZoomEnabled(bool enabled);
    // The list pane takes the keyboard focus, when it can.
    void FocusList();
    // Where the seek thumb goes for a drag to x (window pixels; MainDrags.cpp).
    std::int32_t SeekThumbDragLeft(int x) const;
    // After a new layout: the seek scale for its track, the thumb where the
    // position was.
    void KeepSeekPosition(std::int64_t position);
};

extern TMainForm* MainForm;

// The settings file "view" below the program folder's "Icon".
UnicodeString SettingsFilePath();
