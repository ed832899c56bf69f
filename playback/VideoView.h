// The playback control: the one media graph and the video pane (docked into
// the main window's PanelVideo).
//
// The pane builds its graph once, in its constructor (IninGraph), and
// releases it in FreeGraph (from the destructor, or earlier on a failed
// start). Every interface field holds one reference of the pane's own; while
// MediaControl is null the graph counts as absent and every graph operation
// does nothing. Everything here runs on the user interface thread.
#pragma once

#include <cstdint>

#include "platform/media/ControlInterfaces.h"
#include "platform/media/FilterInterfaces.h"
#include "platform/media/Vmr9Interfaces.h"
#include "platform/vcl/vcl.h"
#include "platform/win/win.h"

class TDataLoad;
struct TAsfFileInfo;

// Media graph events, to the playback control.
inline constexpr win::UINT WM_GRAPH_NOTIFY = win::WM_APP + 1;
// Posted to the main window: wParam 1 playback runs, 0 it stopped or paused.
inline constexpr win::UINT WM_PLAY_STATE = win::WM_APP + 3;
// Posted to the playback control: repaint the video.
inline constexpr win::UINT WM_VIDEO_REPAINT = win::WM_APP + 5;
// Posted by the playback control to itself after an end of stream: open the
// list's next recording (wParam 1 when the one that ended had no length).
inline constexpr win::UINT WM_PLAY_NEXT = win::WM_APP + 11;

// Results of loading beside the graph's own codes.
inline constexpr win::HRESULT PLAY_E_FILE_MISSING = -9900;
inline constexpr win::HRESULT PLAY_E_NO_SOURCE = -9901;

// One frame step, 100 ns units.
inline constexpr std::int32_t DefaultFrameTime = 2000000;

// 0 stopped, 1 paused, 2 running: what the last successful run, pause or stop
// set. Written only by RunMedia, PauseMedia and StopMedia.
extern std::int32_t PlayState;
// Duration of the loaded recording in 100 ns units; 0 for the test recording
// and while nothing is loaded.
extern std::int64_t MediaDuration;

class TPlayControl : public TForm {
public:
    explicit TPlayControl(TComponent* Owner);
    ~TPlayControl() override;

    // Graph release: stops the graph, detaches its events, releases every
    // interface in a fixed order and lets the codec installation remove the
    // decoder (ending COM). Safe to run twice. E_FAIL with the card gone
    // (nothing released then) or on an exception.
    win::HRESULT FreeGraph();
    // printf-style text to the debugger output (1024 bytes at most); nothing
    // while the program drive does not answer.
    void RetailOutput(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Builds the graph; failures show their numbered message and end the
    // application (or restart it). Called once by the constructor.
    void IninGraph();
    // True when the test recording's video pin connects to the video decoder.
    bool TestPinConnect();

    // 1 when a filter of that friendly name is registered (and, with a graph,
    // bound and added to it under that name); 0 otherwise.
    static bool AddFilterFromFriendlyName(media::IGraphBuilder* graph, media::IBaseFilter** filter,
                                          const UnicodeString& friendlyName);
    // Adds a Video Mixing Renderer 9 in windowless mode clipped to
    // `clippingWindow`, black border, letterbox. On success *renderer and
    // *control hold one reference each.
    static win::HRESULT InitializeWindowlessVMR(media::IGraphBuilder* graph, media::IBaseFilter** renderer,
                                                media::IVMRWindowlessControl9** control, win::HWND clippingWindow);
    // The pin of `filter` with that name and direction (one reference), or a
    // failure with *pin null.
    static win::HRESULT GetPinByName(media::IBaseFilter* filter, const UnicodeString& pinName,
                                     media::PIN_DIRECTION direction, media::IPin** pin);
    // Connects source's output pin to target's input pin directly. Pins that
    // are already connected to each other count as done; pins connected
    // elsewhere are freed (both ends) first.
    static win::HRESULT ConnectFiltersByName(media::IGraphBuilder* graph, media::IBaseFilter* source,
                                             const UnicodeString& outputPinName, media::IBaseFilter* target,
                                             const UnicodeString& inputPinName, const media::AM_MEDIA_TYPE* mediaType);

    // Loading (the graph is left stopped with one frame shown).
    win::HRESULT PrepareMedia(const UnicodeString& path);
    win::HRESULT PrepareDummyMedia();
    win::HRESULT RenderWMFile(const UnicodeString& path);
    win::HRESULT RenderDummyFile(const UnicodeString& path);
    win::HRESULT RenderOutputPins(media::IGraphBuilder* graph, media::IBaseFilter* source);
    // The test recording: ProgramFolder + "\FFDShow\DummyFile.ASF".
    static UnicodeString DummyFilePath();
    // Whether GInfo's recording is the one the last PrepareMedia put into the
    // graph: a track answer for any other (a load that failed, the blank
    // recording) is not to be drawn.
    bool TracksBelongToLoad() const;

    // Run state; each posts WM_PLAY_STATE to the main window as it changes.
    win::HRESULT RunMedia();
    win::HRESULT StopMedia();
    win::HRESULT PauseMedia();

    // The form's parts.
    TPanel* Panel1 = nullptr;
    TPanel* Panel9 = nullptr; // the video renderer's clipping window
    TTimer* Timer1 = nullptr;
    TTimer* TimerSpeed = nullptr;
    TTimer* TimerRefresh = nullptr;

    // The pane's data. TimeLabel is the main window's LabelPlayTime, where
    // the position text goes.
    TLabel* TimeLabel = nullptr;
    std::int32_t CachedVolume = 0;
    std::int32_t TotalSeconds = 0;
    std::int64_t LastSeekPosition = 0;
    std::int32_t VideoAreaHeight = 0;
    std::int32_t VideoAreaWidth = 0;
    std::uint8_t StartAtEnd = 0;
    std::uint8_t AdvancedPastEnd = 0;
    UnicodeString TotalTimeText;
    media::IGraphBuilder* Graph = nullptr;
    media::IMediaSeeking* MediaSeeking = nullptr;
    media::IMediaControl* MediaControl = nullptr;
    media::IMediaEventEx* MediaEvent = nullptr;
    media::IBasicVideo* BasicVideo = nullptr;
    media::IVMRWindowlessControl9* WindowlessControl = nullptr;
    media::IBaseFilter* VmrFilter = nullptr;
    media::IBaseFilter* SourceFilter = nullptr;
    media::IMediaPosition* MediaPosition = nullptr;
    media::IBasicAudio* BasicAudio = nullptr;
    media::IBaseFilter* VideoDecoder = nullptr;
    media::IBaseFilter* AudioDecoder = nullptr;
    media::IBaseFilter* SoundRenderer = nullptr;
    media::IBaseFilter* PinTee = nullptr;
    media::IBaseFilter* AviDecompressor = nullptr;
    media::IBaseFilter* ColourConverter = nullptr;
    std::uint32_t MixerHandle = 0;
    std::uint32_t VolumeMinimum = 0;
    std::uint32_t VolumeMaximum = 0;
    std::uint32_t VolumeControlId = 0;
    float PlayRate = 1.0f;
    std::uint8_t Paused = 1;
    std::uint8_t FileOpened = 0;
    std::uint8_t Rendered = 0;
    std::int32_t FrameTime = DefaultFrameTime;
    TDataLoad* GInfoLoader = nullptr;
    TAsfFileInfo* GInfo = nullptr;

    // --- Opening the list's current recording (PlayFile.cpp) ---
    // Opens ListControl->FCurrentPath: cued (or resumed when the graph was
    // playing or paused), seek bar and time label set up, tracks requested
    // once the file is in the graph. False, with message 21, 7 or 22, the
    // blank picture and the list untouched, when it cannot be opened.
    bool PlayFile();
    // Reads the duration; sets the seek scale, the total time and the thumb.
    void ConfigureSeekbar();
    // The 100 ms position poll (Timer1).
    void Timer1Timer(TObject* Sender);
    // Thumb and time label to the graph's current position.
    void ReadMediaPosition();
    // The time label for `position` (100 ns units), when the thumb moved.
    void UpdatePosition(std::int64_t position);
    // WM_GINFO_LOAD_END: the tracks of the recording in the graph go to the
    // graph pane and the track timer starts; an answer for any other
    // recording is dropped.
    void OnGInfoLoadEnd();
    // Play / pause toggle, and stop with rewind.
    void ImagePlayClick(TObject* Sender);
    void ImageStopClick(TObject* Sender);
    // WM_ERASEBKGND (swallowed), WM_VIDEO_REPAINT, WM_GINFO_LOAD_END.
    void Dispatch(TMessage& Message) override;

private:
    // The path of the last successful PrepareMedia; empty after a failed load
    // and while the test recording is in the graph.
    UnicodeString LoadedPath;

    void FormCreate(TObject* Sender);
    // Stops the graph directly (PlayState untouched) and takes the current
    // source out of it.
    void DropSource();
    // Seeks the current position to `position` (absolute, stop unchanged):
    // success when skipped for a missing drive or seeking interface.
    win::HRESULT SeekTo(std::int64_t position);
    void PostPlayState(win::WPARAM running);

    // ---- Video display (channel views, repaint) and master volume ----
public:
    // Shows a channel view of the 2x2 mosaic (VideoDisplay.h): 2 the upper
    // two cameras, 4 all four, 11..14 one camera enlarged; stores the mode in
    // ChannelMode. Any other mode is ignored.
    void ShowChanel(std::int32_t mode);
    // Sizes the pane to the main window's PanelVideo, shows ChannelMode again
    // and places the volume thumb. The main window calls it on a new layout.
    void FitToPanelVideo();
    // Repaint triggers: the form's paint, the 1000 ms TimerRefresh tick and
    // WM_VIDEO_REPAINT (only while the recording list exists); each only
    // while the program drive answers.
    void FormPaint(TObject* Sender);
    void TimerRefreshTimer(TObject* Sender);
    void OnVideoRepaintMessage();
    // Presents the renderer's current picture again into Panel9 (between
    // BeginPaint and EndPaint); failures are swallowed.
    void RepaintVideoPanel();

    // The master volume on the 0..30 scale (Volume.h). SetVolume clamps and
    // writes it (true with the card gone, false when the mixer refuses;
    // CachedVolume keeps the last volume written or read); GetVolume reads it,
    // giving CachedVolume when the mixer cannot be read and 0 with the card
    // gone. InitMasterVolumeControl finds the speakers volume control (1/0),
    // IGetMasterVolume reads and scales it (1/0).
    bool SetVolume(std::int32_t volume);
    std::int32_t GetVolume();
    int InitMasterVolumeControl();
    int IGetMasterVolume(std::int32_t& volume);

    // ---- Still pictures and printing (Still.cpp, Still.h) ----
public:
    // The current frame cut out as ChannelMode shows it, as a JPEG at quality
    // 100: with print false written to the file `name` (replacing it), with
    // print true printed landscape on one page titled `name` after
    // PrintDialog1 confirms. False when no frame could be taken or a failure
    // was logged (a job that failed half way is aborted); true when the
    // print dialog is cancelled. Every GDI handle, the renderer's image and
    // the pictures are given back before it returns.
    bool SaveBMP(const UnicodeString& name, bool print);
    TPrintDialog* PrintDialog1 = nullptr;

private:
    // FormCreate's part: sizes, the initial renderer position and view.
    void SetUpVideoDisplay();
    // Reads the volume for the main window's thumb.
    void PlaceVolumeThumb();

    // ---- Transport: seeking, graph events, frame steps and speed play ----
public:
    // Seeks to `position` (100 ns units) keeping the graph's run state.
    void HandleTrackbar(std::int64_t position);
    // Presents the current frame again; a running graph keeps running.
    void RePositions();
    // WM_GRAPH_NOTIFY: takes every queued event. An end of stream posts
    // WM_PLAY_NEXT (the next recording opens after the loop, never inside
    // it); an error abort stops playback and shows message 22.
    void OnGraphNotify();
    // WM_PLAY_NEXT: the list's next recording, wrapping. A whole cycle of
    // recordings that ended without length stops instead.
    void OnPlayNext(bool endedWithoutLength);
    // One frame time back (before the start: the previous recording, cued
    // at its end) or forward (single step, or a stepped-play tick of one
    // frame time times PlayRate; past the end: the next recording).
    void PlayPrevFrame();
    void PlayNextFrame(bool single);
    // Sets the rate, held to the speed table, and switches between normal
    // and stepped play.
    void ChangePlaySpeed(float rate);
    void TimerSpeedTimer(TObject* Sender);
    void ImageSpeedUpClick(TObject* Sender);
    void ImageSpeedDownClick(TObject* Sender);
    void ImageSpeedNoneClick(TObject* Sender);
    void ImageComaPreClick(TObject* Sender);
    void ImageComaNextClick(TObject* Sender);
    // Ends of stream in a row whose recordings had no length.
    std::int32_t EmptyEndings = 0;

private:
    // The frame-step buttons' common part.
    void FrameStep(bool forward);
    // Counts an end of a recording; true (and stopped) when a whole round of
    // the list ended without length.
    bool RoundPlayedNothing(bool endedWithoutLength);
    // A stepped-play tick is letting messages through.
    bool InSpeedTick = false;
};

// The channel view last shown: 2, 4 or 11..14; 4 at start.
extern std::int32_t ChannelMode;

extern TPlayControl* PlayControl;

// Asks the video panel to repaint itself (after a list, a dialog or a
// progress window that covered it has gone).
inline void PostVideoRepaint()
{
    if (PlayControl)
        win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 1, 0);
}
