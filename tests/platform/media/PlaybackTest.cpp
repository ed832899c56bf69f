// Run state, seeking on the virtual clock, end-of-stream events with the
// notify message, and the graph's audio volume.
#include "MediaFixture.h"

namespace media_test {
namespace {

constexpr LONG kNotify = 0x8001; // the program's graph message

class PlaybackTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        BuildProgramGraph(g, window.Handle());
        Recording r;
        r.playDurationMs = 10000;
        ASSERT_EQ(LoadRecording(g, WriteRecording("A.ASF", r)), S_OK);
    }
    void TearDown() override
    {
        g = ProgramGraph{};
        MediaTest::TearDown();
    }

    OAFilterState State()
    {
        OAFilterState s = -1;
        EXPECT_EQ(g.control->GetState(0, &s), S_OK);
        return s;
    }
    LONGLONG Position()
    {
        LONGLONG p = -1;
        EXPECT_EQ(g.seeking->GetCurrentPosition(&p), S_OK);
        return p;
    }
    HRESULT Seek(LONGLONG to)
    {
        return g.seeking->SetPositions(&to, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    }
    std::int64_t FrameShown()
    {
        VideoRendererState s;
        EXPECT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
        return s.hasFrame ? s.frameNumber : -1;
    }
    std::vector<LONG> TakeEvents()
    {
        std::vector<LONG> codes;
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        while (g.events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            codes.push_back(code);
            EXPECT_EQ(g.events->FreeEventParams(code, p1, p2), S_OK);
        }
        return codes;
    }

    RecordingWindow window;
    ProgramGraph g;
};

TEST_F(PlaybackTest, StateTransitions)
{
    using Call = HRESULT (IMediaControl::*)();
    struct Step {
        const char* name;
        Call call;
        OAFilterState after;
    } steps[] = {
        {"Pause from stopped", &IMediaControl::Pause, State_Paused},
        {"Run from paused", &IMediaControl::Run, State_Running},
        {"Run while running", &IMediaControl::Run, State_Running},
        {"Pause from running", &IMediaControl::Pause, State_Paused},
        {"Stop from paused", &IMediaControl::Stop, State_Stopped},
        {"Run from stopped", &IMediaControl::Run, State_Running},
        {"StopWhenReady from running", &IMediaControl::StopWhenReady, State_Stopped},
        {"StopWhenReady from stopped", &IMediaControl::StopWhenReady, State_Stopped},
        {"Stop while stopped", &IMediaControl::Stop, State_Stopped},
    };
    EXPECT_EQ(State(), State_Stopped);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ((g.control.Get()->*s.call)(), S_OK);
        EXPECT_EQ(State(), s.after);
        FILTER_STATE filterState{};
        ASSERT_EQ(g.vmr->GetState(0, &filterState), S_OK);
        EXPECT_EQ(filterState, s.after) << "the filters follow the graph";
    }
    EXPECT_EQ(g.control->GetState(0, nullptr), E_POINTER);
}

TEST_F(PlaybackTest, DurationAndTimeFormat)
{
    LONGLONG d = 0;
    ASSERT_EQ(g.seeking->GetDuration(&d), S_OK);
    EXPECT_EQ(d, 100000000);
    EXPECT_EQ(g.seeking->GetDuration(nullptr), E_POINTER);
    GUID format{};
    ASSERT_EQ(g.seeking->GetTimeFormat(&format), S_OK);
    EXPECT_EQ(format, TIME_FORMAT_MEDIA_TIME);
}

TEST_F(PlaybackTest, ASeekWhileStoppedOnlyStoresThePosition)
{
    ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    EXPECT_EQ(FrameShown(), 0);

    ASSERT_EQ(Seek(50000000), S_OK);
    EXPECT_EQ(Position(), 50000000);
    EXPECT_EQ(FrameShown(), 0) << "no new picture while stopped";

    ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    EXPECT_EQ(FrameShown(), 50000000 / kDefaultFrameTime);
    EXPECT_EQ(State(), State_Stopped);
}

TEST_F(PlaybackTest, PausedAndStoppedPositionsAreExactlyTheLastSought)
{
    ASSERT_EQ(g.control->Pause(), S_OK);
    for (LONGLONG to : {LONGLONG(0), LONGLONG(12345678), LONGLONG(2000000), LONGLONG(99999999), LONGLONG(1)}) {
        SCOPED_TRACE(to);
        ASSERT_EQ(Seek(to), S_OK);
        EXPECT_EQ(Position(), to);
        EXPECT_EQ(FrameShown(), to / kDefaultFrameTime) << "a paused seek shows its frame";
    }
    ASSERT_EQ(g.control->Stop(), S_OK);
    EXPECT_EQ(Position(), 1) << "Stop keeps the position";
    EXPECT_EQ(FrameShown(), 0) << "and the last picture";
}

TEST_F(PlaybackTest, ASeekPastTheEndClampsToTheDuration)
{
    ASSERT_EQ(g.control->Pause(), S_OK);
    ASSERT_EQ(Seek(100000001), S_OK);
    EXPECT_EQ(Position(), 100000000);
    ASSERT_EQ(Seek(-5), S_OK);
    EXPECT_EQ(Position(), 0);

    LONGLONG back = 200000000;
    ASSERT_EQ(g.seeking->SetPositions(&back, AM_SEEKING_AbsolutePositioning | AM_SEEKING_ReturnTime, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(back, 100000000) << "the position as it was set";
    EXPECT_EQ(g.seeking->SetPositions(nullptr, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              E_POINTER);
}

TEST_F(PlaybackTest, RunningTimeMovesOnTheClockTimesTheRate)
{
    ASSERT_EQ(Seek(10000000), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);
    clock_.Advance(1500);
    EXPECT_EQ(Position(), 25000000);
    ASSERT_EQ(g.seeking->SetRate(2.0), S_OK);
    clock_.Advance(1000);
    EXPECT_EQ(Position(), 45000000);
    EXPECT_EQ(FrameShown(), 45000000 / kDefaultFrameTime);
    EXPECT_EQ(g.seeking->SetRate(0.0), E_INVALIDARG);
    EXPECT_EQ(g.seeking->SetRate(-1.0), E_INVALIDARG);

    ASSERT_EQ(g.control->Pause(), S_OK);
    clock_.Advance(5000);
    EXPECT_EQ(Position(), 45000000) << "paused time stands";
    ASSERT_EQ(Seek(30000000), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);
    clock_.Advance(100);
    EXPECT_EQ(Position(), 32000000);
}

TEST_F(PlaybackTest, TheEndQueuesCompleteOnceAndPostsTheNotifyMessage)
{
    ASSERT_EQ(g.events->SetNotifyWindow(reinterpret_cast<OAHWND>(window.Handle()), kNotify, 0), S_OK);
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{});
    ASSERT_EQ(Seek(90000000), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);

    win::PumpFor(999);
    win::PumpPendingMessages();
    EXPECT_TRUE(window.messages.empty()) << "not yet at the end";
    win::PumpFor(1);
    win::PumpPendingMessages();
    EXPECT_EQ(window.messages, (std::vector<Message>{{0x8001, 0, 0}}));
    win::PumpFor(5000);
    EXPECT_EQ(window.messages.size(), 1u) << "once";
    EXPECT_EQ(State(), State_Running) << "the graph stays running";
    EXPECT_EQ(Position(), 100000000);
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{EC_COMPLETE});

    LONG code = 0;
    LONG_PTR p1 = 0;
    LONG_PTR p2 = 0;
    EXPECT_EQ(g.events->GetEvent(&code, &p1, &p2, 0), E_ABORT) << "the queue is empty";
    EXPECT_EQ(g.events->GetEvent(&code, &p1, nullptr, 0), E_POINTER);
}

TEST_F(PlaybackTest, RunAtTheEndCompletesAtOnce)
{
    ASSERT_EQ(g.events->SetNotifyWindow(reinterpret_cast<OAHWND>(window.Handle()), kNotify, 77), S_OK);
    ASSERT_EQ(Seek(100000000), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);
    win::PumpPendingMessages();
    EXPECT_EQ(window.messages, (std::vector<Message>{{0x8001, 0, 77}}));
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{EC_COMPLETE});

    // Back from the start: a second end, a second event.
    ASSERT_EQ(Seek(99000000), S_OK);
    win::PumpFor(100);
    win::PumpPendingMessages();
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{EC_COMPLETE});
    EXPECT_EQ(window.messages.size(), 2u);
}

TEST_F(PlaybackTest, EventsAreFoundWithoutMessagesAndNoWindowGetsNothing)
{
    ASSERT_EQ(g.events->SetNotifyWindow(reinterpret_cast<OAHWND>(window.Handle()), kNotify, 0), S_OK);
    ASSERT_EQ(g.events->SetNotifyWindow(0, 0, 0), S_OK);
    ASSERT_EQ(Seek(99000000), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);
    clock_.Advance(2000); // nobody pumps
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{EC_COMPLETE});
    win::PumpPendingMessages();
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(PlaybackTest, StoppingBeforeTheEndQueuesNothing)
{
    ASSERT_EQ(Seek(99000000), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);
    win::PumpFor(50);
    ASSERT_EQ(g.control->Stop(), S_OK);
    win::PumpFor(5000);
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{});
    EXPECT_EQ(Position(), 99500000);
}

TEST_F(PlaybackTest, BasicAudioVolume)
{
    EXPECT_EQ(g.audio->put_Volume(0), S_OK);
    LONG v = 1;
    ASSERT_EQ(g.audio->get_Volume(&v), S_OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(g.audio->put_Volume(-2500), S_OK);
    ASSERT_EQ(g.audio->get_Volume(&v), S_OK);
    EXPECT_EQ(v, -2500);
    EXPECT_EQ(g.audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(g.audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(g.audio->get_Volume(nullptr), E_POINTER);

    ASSERT_EQ(g.graph->RemoveFilter(g.soundRenderer.Get()), S_OK);
    EXPECT_EQ(g.audio->put_Volume(0), E_NOTIMPL) << "no sound renderer in the graph";
}

TEST_F(PlaybackTest, WithoutAConnectedSourceThereIsNothingToSeek)
{
    ASSERT_EQ(g.graph->RemoveFilter(g.source.Get()), S_OK);
    LONGLONG p = 0;
    EXPECT_EQ(g.seeking->GetDuration(&p), E_NOTIMPL);
    EXPECT_EQ(g.seeking->GetCurrentPosition(&p), E_NOTIMPL);
    EXPECT_EQ(Seek(0), E_NOTIMPL);
    EXPECT_EQ(g.control->Run(), S_OK) << "running an empty chain is allowed";
    win::PumpFor(20000);
    EXPECT_EQ(TakeEvents(), std::vector<LONG>{});
}

TEST_F(PlaybackTest, ANewSourceStartsAtZero)
{
    ASSERT_EQ(g.control->Pause(), S_OK);
    ASSERT_EQ(Seek(70000000), S_OK);
    ASSERT_EQ(g.control->Stop(), S_OK);
    ASSERT_EQ(g.graph->RemoveFilter(g.source.Get()), S_OK);
    Recording r;
    r.playDurationMs = 4000;
    ASSERT_EQ(LoadRecording(g, WriteRecording("B.ASF", r)), S_OK);
    LONGLONG d = 0;
    ASSERT_EQ(g.seeking->GetDuration(&d), S_OK);
    EXPECT_EQ(d, 40000000);
    EXPECT_EQ(Position(), 0);
}

} // namespace
} // namespace media_test
