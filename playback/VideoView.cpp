#include "playback/VideoView.h"

#include <cstdarg>
#include <cstdio>

#include "app/Common.h"
#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "mainwindow/MAIN.h"
#include "playback/PlayLog.h"
#include "platform/win/DebugOutput.h"
#include "platform/win/Clock.h"
#include "tracks/DataLoad.h"
#include "tracks/GPSData.h"

using namespace playback;

TPlayControl* PlayControl = nullptr;

namespace {

constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 504;

// Releases one interface field and clears it.
template <class T>
void ReleaseField(T*& field)
{
    if (T* p = field) {
        field = nullptr;
        p->Release();
    }
}

} // namespace

TPlayControl::TPlayControl(TComponent* Owner) : TForm(Owner)
{
    SetName(u"PlayControl");
    SetBorderStyle(bsNone);
    SetColor(clBlack);
    SetClientWidth(kDesignWidth);
    SetClientHeight(kDesignHeight);

    Panel1 = new TPanel(this);
    Panel1->SetName(u"Panel1");
    Panel1->SetParent(this);
    Panel1->SetAlign(alClient);
    Panel1->SetColor(clBlack);
    Panel1->SetShowCaption(false);
    Panel1->SetTabOrder(1);

    Panel9 = new TPanel(this);
    Panel9->SetName(u"Panel9");
    Panel9->SetParent(Panel1);
    Panel9->SetAlign(alClient);
    Panel9->SetBevelOuter(bvNone);
    Panel9->SetParentColor(true);
    Panel9->SetShowCaption(false);
    Panel9->SetTabOrder(0);

    Timer1 = new TTimer(this);
    Timer1->SetName(u"Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(100);
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };

    TimerSpeed = new TTimer(this);
    TimerSpeed->SetName(u"TimerSpeed");
    TimerSpeed->SetEnabled(false);
    TimerSpeed->OnTimer = [this](TObject* s) { TimerSpeedTimer(s); };

    TimerRefresh = new TTimer(this);
    TimerRefresh->SetName(u"TimerRefresh");
    TimerRefresh->SetInterval(1000);
    TimerRefresh->SetEnabled(true);

    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName(u"PrintDialog1");

    OnCreate = [this](TObject* s) { FormCreate(s); };
    TotalTimeText = UnicodeString();

    LogDebug(u"TPlayControl::TPlayControl() START");
    try {
        Paused = 1;
        if (MainForm == nullptr || MainForm->PanelVideo == nullptr)
            throw Exception(u"no video panel to dock into");
        SetParent(MainForm->PanelVideo);
        SetAlign(alClient);

        TimeLabel = MainForm->LabelPlayTime;
        CachedVolume = 0;
        TotalSeconds = 0;
        LastSeekPosition = 0;
        VideoAreaHeight = 0;
        VideoAreaWidth = 0;
        StartAtEnd = 0;
        AdvancedPastEnd = 0;
        MixerHandle = 0;
        VolumeMinimum = VolumeMaximum = VolumeControlId = 0;
        PlayRate = 1.0f;
        FileOpened = 0;
        Rendered = 0;
        FrameTime = DefaultFrameTime;

        GInfoLoader = new TDataLoad();
        GInfo = new TAsfFileInfo();
        IninGraph();
    } catch (Exception& e) {
        LogException(u"TPlayControl::TPlayControl", e);
    }
    SetVisible(true);
}

TPlayControl::~TPlayControl()
{
    LogDebug(u"-----------------TPlayControl::~TPlayControl START----------");
    FreeGraph();
    win::Sleep(100);
    delete GInfoLoader;
    GInfoLoader = nullptr;
    delete GInfo;
    GInfo = nullptr;
    LogDebug(u"-----------------TPlayControl::~TPlayControl END ----------");
    // Windows reach one another through the globals: a window gone is null.
    if (PlayControl == this)
        PlayControl = nullptr;
}

void TPlayControl::FormCreate(TObject*)
{
    SetUpVideoDisplay();
    // The recording list cues the blank picture when it has nothing to play;
    // until it exists the pane does so itself once its graph stands.
    if (MediaControl != nullptr)
        PrepareDummyMedia();
}

win::HRESULT TPlayControl::FreeGraph()
{
    LogDebug(u"-----------------TPlayControl::FreeGraph START----------");
    try {
        if (TimerRefresh)
            TimerRefresh->SetEnabled(false);
        if (Timer1)
            Timer1->SetEnabled(false);
        // Stepped play seeks the graph on each tick: it must not outlive it.
        if (TimerSpeed)
            TimerSpeed->SetEnabled(false);

        if (!IsDriveReady(ProgramDrive)) {
            FFDShowUnRegister();
            return media::E_FAIL;
        }
        StopMedia();
        win::HRESULT result = media::S_OK;
        if (MediaEvent != nullptr)
            result = MediaEvent->SetNotifyWindow(0, 0, 0);

        ReleaseField(MediaControl);
        ReleaseField(MediaSeeking);
        ReleaseField(WindowlessControl);
        ReleaseField(BasicVideo);
        ReleaseField(BasicAudio);
        ReleaseField(MediaEvent);
        ReleaseField(VideoDecoder);
        ReleaseField(AudioDecoder);
        ReleaseField(SourceFilter);
        ReleaseField(SoundRenderer);
        ReleaseField(PinTee);
        ReleaseField(AviDecompressor);
        ReleaseField(ColourConverter);
        ReleaseField(Graph);
        ReleaseField(MediaPosition);
        ReleaseField(VmrFilter);

        FFDShowUnRegister();
        LogDebug(u"-----------------TPlayControl::FreeGraph END----------");
        return result;
    } catch (Exception& e) {
        LogException(u"TPlayControl::FreeGraph", e);
        return media::E_FAIL;
    }
}

void TPlayControl::RetailOutput(const char* format, ...)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        buffer[sizeof buffer - 1] = 0;
        win::OutputDebugStringA(buffer);
    } catch (Exception& e) {
        LogException(u"TPlayControl::RetailOutput", e);
    }
}

void TPlayControl::PostPlayState(win::WPARAM running)
{
    if (MainForm != nullptr)
        win::PostMessage(MainForm->Handle(), WM_PLAY_STATE, running, 0);
}
