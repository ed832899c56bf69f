// The transport with the real main window: the buttons and keys against
// the play state, the end of a recording going on through the list, frame
// steps and stepped play across recordings, the seek and volume drags, and
// the faults of the transport, each on the smallest card that shows it.
#include "ListFixture.h"

#include <cmath>
#include <fstream>

#include "app/Globals.h"
#include "app/PassChange.h"
#include "mainwindow/MAIN.h"
#include "platform/media/Faults.h"
#include "platform/media/FilterGraph.h"
#include "platform/mixer/RecordingMixer.h"
#include "platform/win/SystemInfo.h"
#include "playback/PlayLog.h"
#include "playback/Transport.h"
#include "platform/browser/RecordingBrowserView.h"
#include "tracks/GPSData.h"
#include "tracks/GraphView.h"
#include "tracks/MapView.h"
#include "tests/support/MainFormState.h"

namespace list_test {
namespace {

constexpr std::int64_t kSecond = 10000000;

class TransportTest : public ListTest {
protected:
    // The windows with the main window's own seek bar, play button and time
    // label joined (the list's tests use stand-ins), buttons enabled as the
    // list enables them, and the first recording cued.
    void Open()
    {
        BuildWindows();
        StartUp();
        MainForm->SetPlayButtonsEnabled(true);
        WaitForTracks();
        TakePlayStatePosts();
    }
    // A playable recording whose header says it has no length (as a power
    // loss leaves it).
    void WriteWithoutLength(const std::string& relative, int minute)
    {
        WriteRecording(relative, 9, minute);
        std::fstream f(Host(relative), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(94);
        const char zero[8] = {};
        f.write(zero, 8);
    }
    std::string Loaded() const
    {
        if (!PlayControl->Rendered)
            return "(blank)";
        const std::string path = rtl::ToUtf8(ListControl->FCurrentPath);
        return path.substr(path.rfind('\\') + 1);
    }
    std::int64_t Position() const
    {
        media::LONGLONG p = -1;
        PlayControl->MediaSeeking->GetCurrentPosition(&p);
        return p;
    }
    bool Click(TControl* control) { return driver->Click(*control); }
    // The state as "PlayState/Paused/Timer1/TimerSpeed".
    std::string State() const
    {
        return std::to_string(PlayState) + "/" + std::to_string(PlayControl->Paused) + "/" +
            (PlayControl->Timer1->Enabled() ? "poll" : "-") + "/" + (PlayControl->TimerSpeed->Enabled() ? "step" : "-");
    }
    media::detail::FilterGraph& Graph() const { return *media::detail::FilterGraph::From(PlayControl->Graph); }
};

TEST_F(TransportTest, ButtonsAndKeysAgainstThePlayState)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 5);
    Open();
    struct Row {
        const char* what;
        TImage* TMainForm::*button;
        const char* state;
        const char16_t* hint;
        bool listEnabled;
        const char16_t* speed;
    };
    const Row rows[] = {
        {"play", &TMainForm::ImagePlay, "2/0/poll/-", u"一時停止", false, u"×1"},
        {"pause", &TMainForm::ImagePlay, "1/1/-/-", u"再生", true, u"×1"},
        {"play again", &TMainForm::ImagePlay, "2/0/poll/-", u"一時停止", false, u"×1"},
        {"stop", &TMainForm::ImageStop, "0/1/-/-", u"再生", true, u"×1"},
        {"stop while stopped", &TMainForm::ImageStop, "0/1/-/-", u"再生", true, u"×1"},
        {"frame step while stopped", &TMainForm::ImageComaNext, "0/1/-/-", u"再生", true, u"×1"},
        {"faster while stopped: the rate only", &TMainForm::ImageSpeedUp, "0/1/-/-", u"再生", true, u"×2   "},
        {"play at rate 2: stepped play", &TMainForm::ImagePlay, "1/0/-/step", u"一時停止", false, u"×2   "},
        {"faster during stepped play", &TMainForm::ImageSpeedUp, "1/0/-/step", u"一時停止", false, u"×4   "},
        {"normal speed: normal playback", &TMainForm::ImageSpeedNone, "2/0/poll/-", u"一時停止", false, u"×1   "},
        {"slower while playing: stepped play", &TMainForm::ImageSpeedDown, "1/0/-/step", u"一時停止", false, u"×1/2 "},
        {"frame step pauses", &TMainForm::ImageComaPre, "1/1/-/-", u"再生", true, u"×1/2 "},
        {"play", &TMainForm::ImagePlay, "1/0/-/step", u"一時停止", false, u"×1/2 "},
        {"stop", &TMainForm::ImageStop, "0/1/-/-", u"再生", true, u"×1/2 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TControl* button = MainForm->*row.button;
        ASSERT_TRUE(Click(button));
        EXPECT_EQ(State(), row.state);
        EXPECT_EQ(MainForm->ImagePlay->Hint(), row.hint);
        EXPECT_EQ(folderButton->Enabled(), row.listEnabled);
        EXPECT_EQ(editPath->ReadOnly(), !row.listEnabled);
        EXPECT_EQ(MainForm->LabelSpeed->Caption(), row.speed);
        driver->Advance(100);
    }
    EXPECT_EQ(Position(), 0) << "stopped at the start";

    // Up and Down on the window itself give the list the focus.
    for (std::uint16_t key : {vcl::VK_UP, vcl::VK_DOWN, vcl::VK_LEFT}) {
        SCOPED_TRACE(key);
        MainForm->SetFocus();
        driver->PressKey(*MainForm, key);
        EXPECT_EQ(ListControl->ListView1->Focused(), key != vcl::VK_LEFT) << "the list pane hands it to its list";
    }
}

TEST_F(TransportTest, SpeedButtonsAndReadOutAtTheEndsOfTheTable)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    Open();
    for (int i = 0; i < 6; ++i)
        MainForm->ImageSpeedUpClick(nullptr); // the window's buttons stop at 16; these clicks do not
    EXPECT_EQ(PlayControl->PlayRate, 16.0f);
    EXPECT_EQ(MainForm->LabelSpeed->Caption(), u"×16  ");
    EXPECT_FALSE(MainForm->ImageSpeedUp->Enabled());
    EXPECT_TRUE(MainForm->ImageSpeedDown->Enabled());
    for (int i = 0; i < 12; ++i)
        MainForm->ImageSpeedDownClick(nullptr);
    EXPECT_EQ(PlayControl->PlayRate, 0.0625f);
    EXPECT_EQ(MainForm->LabelSpeed->Caption(), u"×1/16");
    EXPECT_TRUE(MainForm->ImageSpeedUp->Enabled());
    EXPECT_FALSE(MainForm->ImageSpeedDown->Enabled());
    MainForm->ImageSpeedUpClick(nullptr);
    EXPECT_TRUE(MainForm->ImageSpeedDown->Enabled());

    // Without a current row the speed buttons do nothing.
    ListControl->ListView1->ClearSelection();
    MainForm->ImageSpeedUpClick(nullptr);
    EXPECT_EQ(PlayControl->PlayRate, 0.125f);
}

TEST(SpeedTableRate, EveryRateIsHeldToTheTable)
{
    struct Row {
        float in;
        float out;
    };
    const Row rows[] = {
        {32.0f, 16.0f}, {1.0f / 32, 0.0625f}, {INFINITY, 16.0f}, {0.0f, 0.0625f}, {-2.0f, 0.0625f}, {NAN, 1.0f},
        {3.0f, 4.0f},   {2.5f, 2.0f},         {1.0f, 1.0f},      {0.25f, 0.25f},  {16.0f, 16.0f},   {0.0625f, 0.0625f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(playback::SpeedTableRate(row.in), row.out);
    }
}

TEST_F(TransportTest, EachSpeedStepsOneFrameTimeTimesTheRateEvery200Ms)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 8);
    Open();
    for (const TSpeedEntry& entry : SpeedTable) {
        if (entry.Rate == 1.0f)
            continue;
        SCOPED_TRACE(rtl::ToUtf8(entry.Label));
        PlayControl->ChangePlaySpeed(entry.Rate);
        MainForm->ImagePlayClick(nullptr);
        EXPECT_EQ(PlayControl->TimerSpeed->Interval(), 200u);
        ASSERT_EQ(State(), "1/0/-/step");
        const std::int64_t start = Position();
        driver->Advance(199);
        EXPECT_EQ(Position(), start) << "no step before the period";
        driver->Advance(1);
        const std::int64_t step = static_cast<std::int64_t>(2000000.0 * entry.Rate);
        EXPECT_EQ(Position(), start + step);
        driver->Advance(200);
        EXPECT_EQ(Position(), start + 2 * step);
        EXPECT_EQ(MainForm->ImageTrack->Left(),
                  StateOf(*MainForm).FTrackMin +
                      static_cast<int>((StateOf(*MainForm).FTrackMax - StateOf(*MainForm).FTrackMin) *
                                       (static_cast<double>(start + 2 * step) / MediaDuration)));
        MainForm->ImageStopClick(nullptr);
    }
}

TEST_F(TransportTest, TheEndOfARecordingPlaysTheNextAndWrapsToTheFirst)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 2);
    WriteRecording("DATA/REC_0002.ASF", 9, 35, 1);
    Open();
    ListControl->PlayNextFile();
    MainForm->ImagePlayClick(nullptr);
    ASSERT_EQ(Loaded(), "REC_0002.ASF");

    // The messages of the transport as they are handled, and each opening.
    std::vector<std::string> seen;
    std::string loaded = Loaded();
    TakePlayStatePosts();
    for (int t = 0; t < 350; ++t) {
        driver->Clock().Advance(10);
        win::MSG msg{};
        while (win::PeekMessage(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            if (msg.message == WM_GRAPH_NOTIFY)
                seen.push_back("graph notify");
            else if (msg.message == WM_PLAY_NEXT)
                seen.push_back("play next");
            else if (msg.message == WM_PLAY_STATE)
                seen.push_back("play state " + std::to_string(msg.wParam));
            win::TranslateMessage(&msg);
            win::DispatchMessage(&msg);
            if (Loaded() != loaded)
                seen.push_back("open " + (loaded = Loaded()));
        }
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{
                  "graph notify",
                  "play next",
                  "open REC_0001.ASF",
                  "play state 1", // wrapped
                  "graph notify",
                  "play next",
                  "open REC_0002.ASF",
                  "play state 1",
              }));
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(ListControl->FCurrentRow, 1);
    WaitForTracks();
}

TEST_F(TransportTest, TheNextRecordingOpensAfterTheEventLoopNotInsideIt)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 1);
    WriteRecording("DATA/REC_0002.ASF", 9, 35, 1);
    Open();
    MainForm->ImagePlayClick(nullptr);
    Graph().Notify(media::EC_COMPLETE, 0, 0);
    PlayControl->OnGraphNotify();
    EXPECT_EQ(Loaded(), "REC_0001.ASF") << "nothing opened inside the loop";
    win::MSG msg{};
    EXPECT_TRUE(win::PeekMessage(&msg, PlayControl->Handle(), WM_PLAY_NEXT, WM_PLAY_NEXT, win::PM_NOREMOVE));
    driver->Pump();
    EXPECT_EQ(Loaded(), "REC_0002.ASF");
    EXPECT_EQ(PlayState, 2);
    WaitForTracks();
}

TEST_F(TransportTest, RecordingsWithoutLengthStopAfterOneRoundInsteadOfHanging)
{
    WriteWithoutLength("DATA/REC_0001.ASF", 30);
    WriteWithoutLength("DATA/REC_0002.ASF", 35);
    WriteWithoutLength("DATA/REC_0003.ASF", 40);
    Open();
    ASSERT_EQ(MediaDuration, 0);
    // Each recording the list moves on to is selected, then opened.
    int opened = 0;
    const auto select = ListControl->ListView1->OnSelectItem;
    ListControl->ListView1->OnSelectItem = [&](TObject* sender, TListItem* item, bool selected) {
        opened += selected ? 1 : 0;
        select(sender, item, selected);
    };
    MainForm->ImagePlayClick(nullptr);
    for (int i = 0; i < 50 && PlayState != 0; ++i)
        driver->Pump();
    ListControl->ListView1->OnSelectItem = select;
    EXPECT_EQ(PlayState, 0) << "stopped after one round";
    EXPECT_EQ(opened, 2) << "the two other rows were opened once";
    EXPECT_EQ(Loaded(), "REC_0003.ASF");
    EXPECT_EQ(PlayControl->EmptyEndings, 0);
    WaitForTracks();
}

TEST_F(TransportTest, SteppedPlayThroughRecordingsWithoutLengthStopsAfterOneRound)
{
    WriteWithoutLength("DATA/REC_0001.ASF", 30);
    WriteWithoutLength("DATA/REC_0002.ASF", 35);
    Open();
    PlayControl->ChangePlaySpeed(2.0f);
    MainForm->ImagePlayClick(nullptr);
    driver->Advance(1000);
    EXPECT_EQ(State(), "0/1/-/-");
    WaitForTracks();
}

TEST_F(TransportTest, ARecordingWithLengthAmongEmptyOnesKeepsPlaybackGoing)
{
    WriteWithoutLength("DATA/REC_0001.ASF", 30);
    WriteRecording("DATA/REC_0002.ASF", 9, 35, 1);
    Open();
    MainForm->ImagePlayClick(nullptr);
    driver->Pump();
    driver->Pump();
    EXPECT_EQ(Loaded(), "REC_0002.ASF");
    driver->Advance(1100);
    driver->Pump();
    driver->Advance(1100);
    EXPECT_EQ(PlayState, 2) << "rounds that played something go on";
    WaitForTracks();
}

TEST_F(TransportTest, FrameStepsCrossIntoThePreviousAndNextRecording)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 2);
    WriteRecording("DATA/REC_0002.ASF", 9, 35, 3);
    Open();
    ASSERT_EQ(Loaded(), "REC_0001.ASF");

    // Back from the first frame of the first row: the last row, at its end.
    MainForm->ImageComaPreClick(nullptr);
    EXPECT_EQ(Loaded(), "REC_0002.ASF");
    EXPECT_EQ(Position(), 3 * kSecond - 2000000);
    EXPECT_EQ(MainForm->ImageTrack->Left(), StateOf(*MainForm).FTrackMax);
    EXPECT_EQ(MainForm->LabelPlayTime->Caption(), u"00:00:03/00:00:03");
    EXPECT_EQ(State(), "0/1/-/-") << "cued, not playing";
    EXPECT_EQ(PlayControl->StartAtEnd, 0);

    // Forward to exactly the duration: a seek; one more: the next row (wrapping).
    MainForm->ImageComaNextClick(nullptr);
    EXPECT_EQ(Loaded(), "REC_0002.ASF");
    EXPECT_EQ(Position(), 3 * kSecond);
    MainForm->ImageComaNextClick(nullptr);
    EXPECT_EQ(Loaded(), "REC_0001.ASF");
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(State(), "0/1/-/-") << "at rate 1 the next recording waits on its first frame";
    EXPECT_EQ(PlayControl->AdvancedPastEnd, 0);

    // Back from exactly one frame time reaches 0 and stays.
    MainForm->ImageComaNextClick(nullptr);
    EXPECT_EQ(Position(), 2000000);
    MainForm->ImageComaPreClick(nullptr);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Loaded(), "REC_0001.ASF");
    WaitForTracks();
}

TEST_F(TransportTest, SteppedPlayGoesOnInTheNextRecording)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 1);
    WriteRecording("DATA/REC_0002.ASF", 9, 35, 2);
    Open();
    PlayControl->ChangePlaySpeed(4.0f);
    MainForm->ImagePlayClick(nullptr);
    // 1 s at 0.8 s a tick: the second tick crosses the end.
    driver->Advance(400);
    EXPECT_EQ(Loaded(), "REC_0002.ASF");
    EXPECT_EQ(State(), "1/0/-/step");
    EXPECT_EQ(Position(), 0);
    driver->Advance(200);
    EXPECT_EQ(Position(), 8000000);
    MainForm->ImageStopClick(nullptr);
    WaitForTracks();
}

TEST_F(TransportTest, TheSeekDragSeeksAndPutsTheTimersBack)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 4);
    Open();
    TImage* bar = MainForm->ImageTrackRect;
    const int span = StateOf(*MainForm).FTrackMax - StateOf(*MainForm).FTrackMin;
    ASSERT_GT(span, 0);

    struct Row {
        const char* what;
        float rate;
        bool play;
        int x; // release, in the bar's pixels
        const char* during; // the state while dragging
        const char* after;
    };
    const int middle = span / 2;
    const Row rows[] = {
        {"stopped, to the middle", 1.0f, false, middle, "0/1/-/-", "0/1/poll/-"},
        {"playing, past the end", 1.0f, true, span + 50, "2/0/-/-", "2/0/poll/-"},
        {"stepped play, before the start", 2.0f, true, -30, "1/0/-/-", "1/0/poll/step"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MainForm->ImageStopClick(nullptr);
        PlayControl->Timer1->SetEnabled(false);
        PlayControl->ChangePlaySpeed(row.rate);
        if (row.play)
            MainForm->ImagePlayClick(nullptr);
        const int thumb = MainForm->ImageTrack->Left();
        ASSERT_TRUE(driver->MouseDown(*bar, 5, 2));
        EXPECT_EQ(State(), row.during);
        EXPECT_EQ(MainForm->ImageTrack->Left(), thumb) << "the press does not move the thumb";
        driver->MouseMove(*bar, row.x, 2);
        const int left = std::clamp(row.x + bar->Left(), StateOf(*MainForm).FTrackMin, StateOf(*MainForm).FTrackMax);
        EXPECT_EQ(MainForm->ImageTrack->Left(), left);
        driver->MouseUp(*bar, row.x, 2);
        EXPECT_EQ(State(), row.after);
        std::int64_t expected =
            static_cast<std::int64_t>((left - StateOf(*MainForm).FTrackMin) / StateOf(*MainForm).FSeekScale);
        if (left == StateOf(*MainForm).FTrackMax)
            expected -= 1;
        EXPECT_EQ(Position(), expected);
        EXPECT_EQ(StateOf(*MainForm).FSeekDragging, 0);
    }
    // No drag without a length, and a release without a press seeks nothing.
    MainForm->ImageStopClick(nullptr);
    MediaDuration = 0;
    driver->MouseDown(*bar, 5, 2);
    EXPECT_EQ(StateOf(*MainForm).FSeekDragging, 0);
    MediaDuration = 4 * kSecond;
    driver->MouseUp(*bar, middle, 2);
    EXPECT_EQ(Position(), 0);
    WaitForTracks();
}

TEST_F(TransportTest, TheVolumeDragSetsTheVolumeOnRelease)
{
    mixer::RecordingMixer mixer;
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    Open();
    TImage* bar = MainForm->ImageVolumeRect;
    const int travel =
        StateOf(*MainForm).FVolumeMax - StateOf(*MainForm).FVolumeMin - MainForm->ImageVolume->Width() / 2;
    ASSERT_GT(travel, 0);
    struct Row {
        int x;
        std::int32_t volume;
    };
    const Row rows[] = {{-20, 0}, {travel + 40, 30}, {travel / 2, (travel / 2) * 30 / travel}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.x);
        mixer.ClearCalls();
        ASSERT_TRUE(driver->MouseDown(*bar, 1, 1));
        driver->MouseMove(*bar, row.x, 1);
        EXPECT_TRUE(mixer.Writes().empty()) << "moving alone changes nothing audible";
        driver->MouseUp(*bar, row.x, 1);
        EXPECT_EQ(PlayControl->CachedVolume, row.volume);
        EXPECT_EQ(mixer.Writes().size(), 1u);
    }
    mixer.ClearCalls();
    driver->MouseUp(*bar, 3, 1);
    EXPECT_TRUE(mixer.Writes().empty()) << "a release without a press";
    WaitForTracks();
}

TEST_F(TransportTest, ActivationOtherThanByTheMouseRedrawsTheFrame)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    Open();
    MainForm->ImagePlayClick(nullptr);
    struct Row {
        win::WPARAM wParam;
        int seeks;
    };
    const Row rows[] = {{1, 1}, {2, 0}, {0, 0}, {0x10001, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.wParam);
        const int before = media::Faults::Calls(media::Fault::SetPositions);
        TMessage m{win::WM_ACTIVATE, row.wParam, 0, 0};
        MainForm->Dispatch(m);
        EXPECT_EQ(media::Faults::Calls(media::Fault::SetPositions) - before, row.seeks);
        EXPECT_EQ(PlayState, 2) << "a running graph keeps running";
    }
    WaitForTracks();
}

TEST_F(TransportTest, ThePasswordIconOpensThePasswordChange)
{
    Open();
    Application->CreateForm(PWChange);
    MainForm->ImagePasswordClick(nullptr);
    EXPECT_TRUE(PWChange->Visible());
}

// ---------------------------------------------------------------- faults

TEST_F(TransportTest, AFailedRunGivesTheFolderControlsBack)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    Open();
    for (float rate : {1.0f, 2.0f}) {
        SCOPED_TRACE(rate);
        PlayControl->ChangePlaySpeed(rate);
        media::Faults::Fail(media::Fault::Run, media::E_FAIL);
        MainForm->ImagePlayClick(nullptr);
        EXPECT_EQ(State(), "0/1/-/-");
        EXPECT_TRUE(folderButton->Enabled());
        EXPECT_FALSE(editPath->ReadOnly());
        EXPECT_EQ(MainForm->ImagePlay->Hint(), u"再生");
        media::Faults::Clear();
    }
    WaitForTracks();
}

TEST_F(TransportTest, AFailedPauseAtTheStartOfSteppedPlayStopsTheSpeedTimer)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    Open();
    PlayControl->ChangePlaySpeed(2.0f);
    media::Faults::Fail(media::Fault::Pause, media::E_FAIL);
    MainForm->ImagePlayClick(nullptr);
    EXPECT_FALSE(PlayControl->TimerSpeed->Enabled());
    EXPECT_EQ(PlayControl->Paused, 1);
    EXPECT_TRUE(folderButton->Enabled());
    media::Faults::Clear();

    // The same at a change of rate during normal playback.
    MainForm->ImageStopClick(nullptr);
    PlayControl->ChangePlaySpeed(1.0f);
    MainForm->ImagePlayClick(nullptr);
    media::Faults::Fail(media::Fault::Pause, media::E_FAIL);
    PlayControl->ChangePlaySpeed(2.0f);
    EXPECT_EQ(State(), "2/0/poll/-") << "normal playback goes on";
    WaitForTracks();
}

TEST_F(TransportTest, PlayWithoutACurrentRowShowsMessage8WhilePaused)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    Open();
    ListControl->ListView1->ClearSelection();
    int pausedDuringBox = -1;
    driver->Then([&] { pausedDuringBox = PlayControl->Paused; });
    driver->AnswerForm(u"SDDlg", u"OKSDLabel");
    MainForm->ImagePlayClick(nullptr);
    EXPECT_EQ(driver->PendingSteps(), 0) << "message 8 was shown";
    EXPECT_EQ(pausedDuringBox, 1);
    EXPECT_EQ(State(), "0/1/-/-");

    // The frame-step buttons answer it themselves.
    driver->AnswerForm(u"SDDlg", u"OKSDLabel");
    MainForm->ImageComaNextClick(nullptr);
    EXPECT_EQ(driver->PendingSteps(), 0);
    WaitForTracks();
}

TEST_F(TransportTest, ANewLayoutRecomputesTheSeekScale)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 4);
    Open();
    MainForm->SetSeekPosition(0.5);
    const std::int64_t before = MainForm->GetSeekPosition();
    const int oldSpan = StateOf(*MainForm).FTrackMax - StateOf(*MainForm).FTrackMin;
    win::SetScreen(win::SIZE{1024, 768}, win::RECT{0, 0, 1024, 728});
    MainForm->FormResize(nullptr);
    const int span = StateOf(*MainForm).FTrackMax - StateOf(*MainForm).FTrackMin;
    ASSERT_NE(span, oldSpan) << "a smaller layout";
    EXPECT_DOUBLE_EQ(StateOf(*MainForm).FSeekScale, static_cast<double>(span) / MediaDuration);
    EXPECT_NEAR(static_cast<double>(MainForm->GetSeekPosition()), static_cast<double>(before),
                1.0 / StateOf(*MainForm).FSeekScale + 1)
        << "the thumb stands where the position was";
    WaitForTracks();
}

TEST_F(TransportTest, AnErrorAbortStopsPlaybackWithMessage22)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 4);
    Open();
    MainForm->ImagePlayClick(nullptr);
    driver->Advance(500);
    Graph().Notify(media::EC_ERRORABORT, media::E_FAIL, 0);
    driver->AnswerForm(u"SDDlg", u"OKSDLabel");
    driver->Pump();
    EXPECT_EQ(driver->PendingSteps(), 0) << "message 22 was shown";
    EXPECT_EQ(State(), "0/1/-/-");
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Loaded(), "REC_0001.ASF") << "the list stays where it was";
    WaitForTracks();
}

} // namespace
} // namespace list_test

namespace list_test {
namespace {

TEST_F(TransportTest, SnapshotOfFastPlay)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 8);
    WriteRecording("DATA/REC_0002.ASF", 9, 35, 8);
    Open();
    // The whole window in its layout, with the panes fitted to it.
    MainForm->SelectLayout();
    ListControl->AdjustListLayout();
    PlayControl->FitToPanelVideo();
    MainForm->ImageSpeedUpClick(nullptr);
    MainForm->ImageSpeedUpClick(nullptr);
    MainForm->ImagePlayClick(nullptr);
    driver->Advance(1000);
    EXPECT_EQ(MainForm->LabelSpeed->Caption(), u"×4   ");
    EXPECT_EQ(MainForm->LabelPlayTime->Caption(), u"00:00:04/00:00:08");
    EXPECT_TRUE(MainForm->SaveSnapshot(std::string(VM_BINARY_DIR) + "/mainwindow_fast_play.png"));
    MainForm->ImageStopClick(nullptr);
    WaitForTracks();
}

TEST_F(TransportTest, PlayingMovesTheGraphCursorTheSpeedAndTheMarkerOncePerSecond)
{
    browser::BrowserRecording browser;
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 5);
    BuildWindows();
    Application->CreateForm(MapControl);
    Application->CreateForm(GraphControl);
    StartUp();
    MainForm->SetPlayButtonsEnabled(true);
    WaitForTracks();
    ASSERT_TRUE(MainForm->TimerGps->Enabled()) << "the tracks switch the timer on";
    browser.CompleteNavigation(true);
    ASSERT_TRUE(Click(MainForm->ImagePlay));
    for (int i = 0; i < 35; ++i)
        driver->Advance(100);
    // The writer's fixes lie at 1, 2, 3 and 4 s, at 10.5 knots: the read-out
    // shows 19 km/h, and the car moves once a second.
    EXPECT_EQ(GraphControl->IdxSpeedVal->Caption(), u"19");
    const std::vector<std::string> scripts = browser.Scripts();
    ASSERT_EQ(scripts.size(), 3u) << "at 1, 2 and 3 s";
    for (const std::string& script : scripts)
        EXPECT_EQ(script.rfind("CarMarker(35.65", 0), 0u) << script;
    EXPECT_NE(scripts[0], scripts[1]);
    EXPECT_GE(StateOf(*MainForm).FLastPositionMs, 3000);
    EXPECT_LT(StateOf(*MainForm).FLastPositionMs, 4000);

    // Paused, the thumb stays: nothing more is sent.
    ASSERT_TRUE(Click(MainForm->ImagePlay));
    for (int i = 0; i < 20; ++i)
        driver->Advance(100);
    EXPECT_EQ(browser.Scripts().size(), 3u);
}

} // namespace
} // namespace list_test
