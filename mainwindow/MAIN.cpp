#include "mainwindow/MAIN.h"

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "app/PassChange.h"
#include "app/PasswordScramble.h"
#include "app/ProgBar.h"
#include "mainwindow/ListView.h"
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
#include <iterator>

TMainForm* MainForm = nullptr;
std::int32_t LayoutIndex = -1;

UnicodeString SettingsFilePath() { return ProgramFolder + u"\\Icon\\view"; }

namespace {

constexpr char16_t kSkinFace[] = u"ＭＳ Ｐゴシック";
constexpr int kShiftJisCharset = 128;
// The transport labels' height from the form data (layouts do not set it).
constexpr int kTransportLabelHeight = 27;

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

// ---------------------------------------------------------------- the window's parts

using TEventHandler = void (TMainForm::*)(TObject* Sender);
using TButtonHandler = void (TMainForm::*)(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
using TMoveHandler = void (TMainForm::*)(TObject* Sender, TShiftState Shift, int X, int Y);

// The mouse events a part handles besides its click.
struct TMouseHandlers {
    TEventHandler Enter;
    TEventHandler Leave;
    TButtonHandler Down;
    TMoveHandler Move;
    TButtonHandler Up;
};

// A function icon's caption grows under the mouse and turns silver while pressed.
constexpr TMouseHandlers IconLooks = {&TMainForm::ImageIconMouseEnter, &TMainForm::ImageIconMouseLeave,
                                      &TMainForm::ImageIconMouseDown, nullptr, &TMainForm::ImageIconMouseUp};
// A skinned button shows its pressed picture while held.
constexpr TMouseHandlers ButtonLooks = {nullptr, nullptr, &TMainForm::ImageBtnMouseDown, nullptr,
                                        &TMainForm::ImageBtnMouseUp};
// The drags (MainDrags.cpp).
constexpr TMouseHandlers TitleDrag = {nullptr, nullptr, &TMainForm::ImageFormTitleMouseDown,
                                      &TMainForm::ImageFormTitleMouseMove, &TMainForm::ImageFormTitleMouseUp};
constexpr TMouseHandlers SeekDrag = {nullptr, nullptr, &TMainForm::ImageTrackRectMouseDown,
                                     &TMainForm::ImageTrackRectMouseMove, &TMainForm::ImageTrackRectMouseUp};
constexpr TMouseHandlers VolumeDrag = {nullptr, nullptr, &TMainForm::ImageVolumeRectMouseDown,
                                       &TMainForm::ImageVolumeRectMouseMove, &TMainForm::ImageVolumeRectMouseUp};

// What a part is: the properties it is made with and how a layout places it.
enum class TPartRole {
    Background, // the layout's skin picture over the whole client area
    Title, // the area the window is dragged by, the same in every layout
    Pane, // a panel that hosts one of the four panes
    IconCaption, // a function icon's caption, in the right part of the icon's cell
    Icon, // a function icon: a click area over its cell without a picture of its own
    Path, // the folder path
    PlayTime, // the time read-out, at least as high as the window font's cells
    SeekThumb, // at the seek bar's left and top, as high as the bar's rectangle
    SeekBar, // the seek thumb's drag area, seven eighths of its rectangle high
    VolumeThumb, // at the volume bar's left and top
    VolumeBar, // the volume thumb's drag area
    Button, // a skinned button: the pictures BTN_A_n and BTN_B_n, n its Tag
    ButtonCaption, // a caption below the buttons; the layouts keep its height
};

// The member of TMainForm that holds a part.
struct TPartMember {
    constexpr TPartMember(TPanel* TMainForm::*member) : Panel(member) {}
    constexpr TPartMember(TImage* TMainForm::*member) : Image(member) {}
    constexpr TPartMember(TLabel* TMainForm::*member) : Label(member) {}
    constexpr TPartMember(TEdit* TMainForm::*member) : Edit(member) {}
    TPanel* TMainForm::*Panel = nullptr;
    TImage* TMainForm::*Image = nullptr;
    TLabel* TMainForm::*Label = nullptr;
    TEdit* TMainForm::*Edit = nullptr;
};

struct TPart {
    TPartMember Member;
    const char16_t* Name;
    int Tag;
    TPartRole Role;
    // Its rectangle in the layouts (TLayoutRectIndex); -1 when they do not place it.
    int Rect;
    // An image's OnClick, the path's OnChange.
    TEventHandler Event = nullptr;
    const TMouseHandlers* Mouse = nullptr;
    // A label's caption, an image's hint.
    const char16_t* Text = nullptr;
};

using enum TPartRole;
using F = TMainForm;

// The window's parts on PanelMain, in their z-order from the bottom up (the
// order they are made in). The icon captions lie under the icons, the
// thumbs under their bars' drag areas, which take the mouse.
// clang-format off
constexpr TPart Parts[] = {
    // member               name                  tag role           rect              event                   mouse         text
    {&F::ImageBase,         u"ImageBase",         0,  Background,    -1},
    {&F::ImageFormTitle,    u"ImageFormTitle",    0,  Title,         -1,               nullptr,                &TitleDrag},
    {&F::PanelVideo,        u"PanelVideo",        0,  Pane,          lrPanelVideo},
    {&F::PanelMap,          u"PanelMap",          0,  Pane,          lrPanelMap},
    {&F::PanelList,         u"PanelList",         0,  Pane,          lrPanelList},
    {&F::PanelGraph,        u"PanelGraph",        0,  Pane,          lrPanelGraph},
    {&F::LabelIcon_1,       u"LabelIcon_1",       1,  IconCaption,   lrIcon1},
    {&F::LabelIcon_2,       u"LabelIcon_2",       2,  IconCaption,   lrIcon2},
    {&F::LabelIcon_3,       u"LabelIcon_3",       3,  IconCaption,   lrIcon3},
    {&F::LabelIcon_4,       u"LabelIcon_4",       4,  IconCaption,   lrIcon4},
    {&F::LabelIcon_5,       u"LabelIcon_5",       5,  IconCaption,   lrIcon5},
    {&F::LabelIcon_6,       u"LabelIcon_6",       6,  IconCaption,   lrIcon6},
    {&F::LabelIcon_7,       u"LabelIcon_7",       7,  IconCaption,   lrIcon7},
    {&F::LabelIcon_8,       u"LabelIcon_8",       8,  IconCaption,   lrIcon8},
    {&F::LabelIcon_9,       u"LabelIcon_9",       9,  IconCaption,   lrIcon9},
    {&F::LabelIcon_10,      u"LabelIcon_10",      10, IconCaption,   lrIcon10},
    {&F::Image2Screen,      u"Image2Screen",      1,  Icon,          lrIcon1,          &F::ImageScreen2Click,  &IconLooks},
    {&F::Image4Screen,      u"Image4Screen",      2,  Icon,          lrIcon2,          &F::ImageScreen4Click,  &IconLooks},
    {&F::ImagePassword,     u"ImagePassword",     3,  Icon,          lrIcon3,          &F::ImagePasswordClick, &IconLooks},
    {&F::ImageScreenShot,   u"ImageScreenShot",   4,  Icon,          lrIcon4,          &F::ImageScreenShotClick, &IconLooks},
    {&F::ImagePrint,        u"ImagePrint",        5,  Icon,          lrIcon5,          &F::ImagePrintClick,    &IconLooks},
    {&F::ImageTime,         u"ImageTime",         6,  Icon,          lrIcon6,          &F::ImageTimeClick,     &IconLooks},
    {&F::ImageFind,         u"ImageFind",         7,  Icon,          lrIcon7,          &F::ImageFindClick,     &IconLooks},
    {&F::ImageDL,           u"ImageDL",           8,  Icon,          lrIcon8,          &F::ImageDLClick,       &IconLooks},
    {&F::ImageDel,          u"ImageDel",          9,  Icon,          lrIcon9,          &F::ImageDelClick,      &IconLooks},
    {&F::ImageFolderSel,    u"ImageFolderSel",    10, Icon,          lrIcon10,         &F::ImageFolderSelClick, &IconLooks},
    {&F::EditPath,          u"EditPath",          0,  Path,          lrEditPath,       &F::EditPathChange},
    {&F::LabelPlayTime,     u"LabelPlayTime",     0,  PlayTime,      lrPlayTime,       nullptr,                nullptr,      u"00:00:00/00:00:00"},
    {&F::ImageTrack,        u"ImageTrack",        0,  SeekThumb,     lrTrack},
    {&F::ImageTrackRect,    u"ImageTrackRect",    0,  SeekBar,       lrTrackRect,      nullptr,                &SeekDrag},
    {&F::ImageVolume,       u"ImageVolume",       0,  VolumeThumb,   lrVolume},
    {&F::ImageVolumeRect,   u"ImageVolumeRect",   0,  VolumeBar,     lrVolumeRect,     nullptr,                &VolumeDrag},
    {&F::ImageComaPre,      u"ImageComaPre",      1,  Button,        lrComaPre,        &F::ImageComaPreClick,  &ButtonLooks},
    {&F::ImagePlay,         u"ImagePlay",         2,  Button,        lrPlay,           &F::ImagePlayClick,     &ButtonLooks, u"再生"},
    {&F::ImageComaNext,     u"ImageComaNext",     3,  Button,        lrComaNext,       &F::ImageComaNextClick, &ButtonLooks},
    {&F::ImageStop,         u"ImageStop",         4,  Button,        lrStop,           &F::ImageStopClick,     &ButtonLooks},
    {&F::ImageSpeedDown,    u"ImageSpeedDown",    5,  Button,        lrSpeedDown,      &F::ImageSpeedDownClick, &ButtonLooks},
    {&F::ImageSpeedNone,    u"ImageSpeedNone",    6,  Button,        lrSpeedNone,      &F::ImageSpeedNoneClick, &ButtonLooks, u"等速"},
    {&F::ImageSpeedUp,      u"ImageSpeedUp",      7,  Button,        lrSpeedUp,        &F::ImageSpeedUpClick,  &ButtonLooks},
    {&F::LabelComaPre,      u"LabelComaPre",      0,  ButtonCaption, lrLabelComaPre},
    {&F::LabelPlay,         u"LabelPlay",         0,  ButtonCaption, lrLabelPlay},
    {&F::LabelComaNext,     u"LabelComaNext",     0,  ButtonCaption, lrLabelComaNext},
    {&F::LabelStop,         u"LabelStop",         0,  ButtonCaption, lrLabelStop},
    {&F::LabelSpeedDown,    u"LabelSpeedDown",    0,  ButtonCaption, lrLabelSpeedDown},
    {&F::LabelSpeed,        u"LabelSpeed",        0,  ButtonCaption, lrLabelSpeed,     nullptr,                nullptr,      u"×1"},
    {&F::LabelSpeedUp,      u"LabelSpeedUp",      0,  ButtonCaption, lrLabelSpeedUp},
    {&F::ImageZoom1,        u"ImageZoom1",        8,  Button,        lrZoom1,          &F::ImageZoom1Click,    &ButtonLooks},
    {&F::ImageZoom2,        u"ImageZoom2",        9,  Button,        lrZoom2,          &F::ImageZoom2Click,    &ButtonLooks},
    {&F::ImageZoom3,        u"ImageZoom3",        10, Button,        lrZoom3,          &F::ImageZoom3Click,    &ButtonLooks},
    {&F::ImageZoom4,        u"ImageZoom4",        11, Button,        lrZoom4,          &F::ImageZoom4Click,    &ButtonLooks},
    {&F::ImageZoom0,        u"ImageZoom0",        12, Button,        lrZoom0,          &F::ImageZoom0Click,    &ButtonLooks},
    {&F::LabelZoom,         u"LabelZoom",         0,  ButtonCaption, lrLabelZoom},
};
// clang-format on

constexpr bool FitsItsRole(const TPart& part)
{
    switch (part.Role) {
    case Pane:
        return part.Member.Panel != nullptr;
    case IconCaption:
        return part.Member.Label != nullptr && part.Tag >= 1 && part.Tag <= 10;
    case PlayTime:
    case ButtonCaption:
        return part.Member.Label != nullptr;
    case Path:
        return part.Member.Edit != nullptr;
    default:
        return part.Member.Image != nullptr;
    }
}

// Each rectangle of the layouts places a part, and only the background and
// the title are not placed.
constexpr bool EveryRectPlacesAPart()
{
    bool placed[LayoutRectCount] = {};
    for (const TPart& part : Parts) {
        if ((part.Rect < 0) != (part.Role == Background || part.Role == Title) || part.Rect >= LayoutRectCount)
            return false;
        if (part.Rect >= 0)
            placed[part.Rect] = true;
    }
    for (bool p : placed)
        if (!p)
            return false;
    return true;
}

static_assert(std::all_of(std::begin(Parts), std::end(Parts), FitsItsRole));
static_assert(EveryRectPlacesAPart());

TControl* PartControl(TMainForm& form, const TPart& part)
{
    if (part.Member.Panel)
        return form.*part.Member.Panel;
    if (part.Member.Image)
        return form.*part.Member.Image;
    if (part.Member.Label)
        return form.*part.Member.Label;
    return form.*part.Member.Edit;
}

TNotifyEvent Bound(TMainForm* form, TEventHandler handler)
{
    return [form, handler](TObject* s) { (form->*handler)(s); };
}

TMouseEvent Bound(TMainForm* form, TButtonHandler handler)
{
    return
        [form, handler](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { (form->*handler)(s, b, sh, x, y); };
}

TMouseMoveEvent Bound(TMainForm* form, TMoveHandler handler)
{
    return [form, handler](TObject* s, TShiftState sh, int x, int y) { (form->*handler)(s, sh, x, y); };
}

void LoadThumbPicture(TImage* thumb, const char16_t* picture)
{
    try {
        LoadResourcePicture(thumb, picture);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

// Makes the part on PanelMain into its member, with the properties of its
// role, its events and its text.
void MakePart(TMainForm& form, const TPart& part)
{
    TImage* image = nullptr;
    TLabel* label = nullptr;
    TEdit* edit = nullptr;
    if (part.Member.Panel) {
        form.*part.Member.Panel = MakePanel(&form, form.PanelMain, part.Name);
    } else if (part.Member.Image) {
        image = new TImage(&form);
        image->SetName(part.Name);
        image->SetParent(form.PanelMain);
        image->SetTag(part.Tag);
        form.*part.Member.Image = image;
    } else if (part.Member.Label) {
        label = new TLabel(&form);
        label->SetName(part.Name);
        label->SetParent(form.PanelMain);
        label->SetTag(part.Tag);
        label->SetAutoSize(false);
        label->SetTransparent(true);
        form.*part.Member.Label = label;
    } else {
        edit = new TEdit(&form);
        edit->SetName(part.Name);
        edit->SetParent(form.PanelMain);
        form.*part.Member.Edit = edit;
    }
    TControl* control = PartControl(form, part);

    switch (part.Role) {
    case Background:
        image->SetAlign(alClient);
        image->SetStretch(true);
        image->SetEnabled(false);
        break;
    case Title:
        image->SetBounds(FormTitleRect.Left, FormTitleRect.Top, FormTitleRect.Width, FormTitleRect.Height);
        break;
    case IconCaption:
        label->SetParentFont(false);
        label->Font()->SetName(kSkinFace);
        label->Font()->SetCharset(kShiftJisCharset);
        label->Font()->SetColor(clSkinCream);
        label->SetAlignment(taCenter);
        label->SetLayout(tlCenter);
        break;
    case Path:
        // Dark under the window's cream text.
        edit->SetColor(RGB(8, 9, 11));
        break;
    case SeekThumb:
        image->SetStretch(true);
        image->SetTransparent(true);
        LoadThumbPicture(image, u"IMG_TRACK");
        break;
    case VolumeThumb:
        image->SetStretch(true);
        LoadThumbPicture(image, u"IMG_VOLUME");
        break;
    case Button:
        image->SetStretch(true);
        break;
    case ButtonCaption:
        label->SetAlignment(taCenter);
        label->SetHeight(kTransportLabelHeight);
        break;
    default:
        break;
    }

    if (part.Event) {
        if (edit)
            edit->OnChange = Bound(&form, part.Event);
        else
            control->OnClick = Bound(&form, part.Event);
    }
    if (const TMouseHandlers* mouse = part.Mouse) {
        if (mouse->Enter)
            control->OnMouseEnter = Bound(&form, mouse->Enter);
        if (mouse->Leave)
            control->OnMouseLeave = Bound(&form, mouse->Leave);
        if (mouse->Down)
            control->OnMouseDown = Bound(&form, mouse->Down);
        if (mouse->Move)
            control->OnMouseMove = Bound(&form, mouse->Move);
        if (mouse->Up)
            control->OnMouseUp = Bound(&form, mouse->Up);
    }
    if (part.Text) {
        if (label)
            label->SetCaption(part.Text);
        else
            control->SetHint(part.Text);
    }
}

// Where the layout puts the part (a part without a rectangle stays).
void PlacePart(TControl* control, const TPart& part, const TLayoutRecord& record, const TLayoutFont& font,
               TFontStyles style)
{
    if (part.Rect < 0)
        return;
    const TLayoutRect& r = record.Rects[part.Rect];
    switch (part.Role) {
    case IconCaption: {
        // The icon of the background shows in the left part of the cell.
        control->Font()->SetHeight(font.IconLabelHeight);
        const int left = static_cast<int>(r.Width * IconLabelLeftFraction);
        control->SetBounds(left, r.Top, r.Width - left, r.Height);
        control->Font()->SetStyle(style);
        return;
    }
    case PlayTime:
        // The small layouts' table height is less than the font's cells.
        control->SetBounds(r.Left, r.Top, r.Width, std::max<int>(r.Height, font.WindowHeight));
        return;
    case SeekThumb: {
        // Of its own rectangle only the width counts.
        const TLayoutRect& bar = record.Rects[lrTrackRect];
        control->SetBounds(bar.Left, bar.Top, r.Width, bar.Height);
        return;
    }
    case SeekBar:
        // The bar's height field is the thumb's; the bar keeps seven eighths of it.
        control->SetBounds(r.Left, r.Top, r.Width, 7 * (r.Height / 8));
        return;
    case VolumeThumb: {
        // The thumb starts at the bar's left.
        const TLayoutRect& bar = record.Rects[lrVolumeRect];
        control->SetBounds(bar.Left, bar.Top, r.Width, r.Height);
        return;
    }
    case ButtonCaption:
        control->SetBounds(r.Left, r.Top, r.Width, control->Height());
        return;
    default:
        control->SetBounds(r.Left, r.Top, r.Width, r.Height);
        return;
    }
}

} // namespace

TMainForm::TMainForm(TComponent* Owner) : TForm(Owner)
{
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

    for (const TPart& part : Parts) {
        MakePart(*this, part);
        if (part.Role == IconCaption)
            FIconLabels[part.Tag - 1] = this->*part.Member.Label;
    }
    SavePictureDialog1 = new TSavePictureDialog(this);
    SavePictureDialog1->SetName(u"SavePictureDialog1");
    SavePictureDialog1->Title = u"静止画ファイル保存";
    SavePictureDialog1->Options << ofOverwritePrompt;
    OnKeyUp = [this](TObject* s, std::uint16_t& key, TShiftState sh) { FormKeyUp(s, key, sh); };

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
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        for (const TPart& part : Parts)
            if (part.Role == Button)
                LoadButtonPicture(this->*part.Member.Image, u"BTN_A_");
        SetCaption(u"Velmorastine II  ");
    } catch (Exception& e) {
        LogExceptionError(e);
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

    FIconFontHeight = font.IconLabelHeight;
    for (const TPart& part : Parts)
        PlacePart(PartControl(*this, part), part, record, font, style);
    // Where the thumbs' left edges may go.
    FTrackMin = ImageTrack->Left();
    FTrackMax = ImageTrackRect->Width() + ImageTrack->Left() - ImageTrack->Width();
    FVolumeMin = ImageVolume->Left();
    FVolumeMax = ImageVolume->Left() + ImageVolumeRect->Width() - ImageVolume->Width();
}

// ---------------------------------------------------------------- controls

void TMainForm::SetPlayButtonsEnabled(bool enabled)
{
    for (TControl* control :
         {static_cast<TControl*>(ImageDel), static_cast<TControl*>(ImageDL), static_cast<TControl*>(ImageTrack),
          static_cast<TControl*>(ImagePrint), static_cast<TControl*>(ImageScreenShot),
          static_cast<TControl*>(Image2Screen), static_cast<TControl*>(Image4Screen), static_cast<TControl*>(ImageFind),
          static_cast<TControl*>(ImageComaPre), static_cast<TControl*>(ImagePlay),
          static_cast<TControl*>(ImageComaNext), static_cast<TControl*>(ImageStop),
          static_cast<TControl*>(ImageSpeedDown), static_cast<TControl*>(ImageSpeedNone),
          static_cast<TControl*>(ImageSpeedUp), static_cast<TControl*>(ImageZoom0), static_cast<TControl*>(ImageZoom1),
          static_cast<TControl*>(ImageZoom2)})
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
        LogExceptionError(e);
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

void TMainForm::RestartTrackFollow()
{
    FLastGpsTimeMs = -1;
    FLastPositionMs = -1;
}

void TMainForm::ImageFolderSelClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->ImageFolderClick();
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::EditPathChange(TObject*)
{
    try {
        if (ListControl)
            ListControl->Edit2Change();
    } catch (Exception& e) {
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
    }
}

void TMainForm::OnAppRestore(TObject*) { Restart(Timer1); }

void TMainForm::Timer1Timer(TObject*)
{
    try {
        Timer1->SetEnabled(false);
        if (PlayControl && PlayControl->FileOpened)
            win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 0, 0);
    } catch (Exception& e) {
        LogExceptionError(e);
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
        LogExceptionError(e);
    }
}

void TMainForm::ImageTimeClick(TObject*)
{
    try {
        // Shown without modality, only while the card answers.
        if (TimeSet)
            TimeSet->ShowWhenCardReady();
    } catch (Exception& e) {
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
    }
}

void TMainForm::ImageStopClick(TObject* Sender)
{
    try {
        if (PlayControl)
            PlayControl->ImageStopClick(Sender);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageSpeedDownClick(TObject* Sender)
{
    try {
        if (IsDriveReady(ProgramDrive) && HasSelectedRecording() && PlayControl)
            PlayControl->ImageSpeedDownClick(Sender);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageSpeedNoneClick(TObject* Sender)
{
    try {
        if (IsDriveReady(ProgramDrive) && HasSelectedRecording() && PlayControl)
            PlayControl->ImageSpeedNoneClick(Sender);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageSpeedUpClick(TObject* Sender)
{
    try {
        if (IsDriveReady(ProgramDrive) && HasSelectedRecording() && PlayControl)
            PlayControl->ImageSpeedUpClick(Sender);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImagePasswordClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && PWChange)
            PWChange->Show();
    } catch (Exception& e) {
        LogExceptionError(e);
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
        LogExceptionError(e);
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
        LogExceptionError(e);
    }
}

void TMainForm::ImageDLClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->ImageDownLoadClick();
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageDelClick(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl)
            ListControl->DeleteCheckedFiles();
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}
