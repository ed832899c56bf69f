// The run state: run, pause and stop, the play state they keep and the
// WM_PLAY_STATE posts to the main window.
#include "PlaybackFixture.h"

#include "platform/media/Faults.h"
#include "platform/win/DriveTable.h"

using namespace media;

namespace playback_test {

namespace {

enum class Op { Run, Pause, Stop };

const char* OpName(Op op) { return op == Op::Run ? "Run" : op == Op::Pause ? "Pause" : "Stop"; }

} // namespace

TEST_F(PlaybackTest, RunPauseAndStopFollowTheTransitionTable)
{
    struct Row {
        std::int32_t from;
        Op op;
        bool fails;
        std::int32_t to;
        std::vector<win::WPARAM> posts;
        const char* debugOutput; // on a failure
        OAFilterState graph; // the graph's state afterwards
    };
    const Row rows[] = {
        {0, Op::Run, false, 2, {1}, nullptr, State_Running},
        {1, Op::Run, false, 2, {1}, nullptr, State_Running},
        {2, Op::Run, false, 2, {1}, nullptr, State_Running},
        {2, Op::Pause, false, 1, {0}, nullptr, State_Paused},
        {0, Op::Pause, false, 0, {0}, nullptr, State_Stopped},
        {1, Op::Pause, false, 1, {0}, nullptr, State_Paused},
        {1, Op::Stop, false, 0, {0}, nullptr, State_Stopped},
        {2, Op::Stop, false, 0, {0}, nullptr, State_Stopped},
        {0, Op::Stop, false, 0, {}, nullptr, State_Stopped},
        {0, Op::Run, true, 0, {}, "TPlayControl::RunMedia Error (80004005)!\r\n", State_Stopped},
        {1, Op::Run, true, 1, {}, "TPlayControl::RunMedia Error (80004005)!\r\n", State_Paused},
        {2, Op::Pause, true, 2, {0}, "PauseMedia Error (80004005)!\r\n", State_Running},
        {2, Op::Stop, true, 2, {}, "StopMedia Error (80004005)!\r\n", State_Running},
        {1, Op::Stop, true, 1, {}, "StopMedia Error (80004005)!\r\n", State_Paused},
    };
    Build();
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(OpName(row.op)) + " from " + std::to_string(row.from) + (row.fails ? " failing" : ""));
        // Reach the row's start through the operations themselves.
        Faults::Clear();
        ASSERT_EQ(pane->RunMedia(), S_OK);
        if (row.from == 1) {
            ASSERT_EQ(pane->PauseMedia(), S_OK);
        }
        if (row.from == 0) {
            ASSERT_EQ(pane->StopMedia(), S_OK);
        }
        ASSERT_EQ(PlayState, row.from);
        TakePlayStatePosts();
        win::ClearDebugOutput();

        const Fault point = row.op == Op::Run ? Fault::Run : row.op == Op::Pause ? Fault::Pause : Fault::Stop;
        if (row.fails)
            Faults::Fail(point, E_FAIL);
        const HRESULT hr = row.op == Op::Run ? pane->RunMedia()
            : row.op == Op::Pause            ? pane->PauseMedia()
                                             : pane->StopMedia();
        EXPECT_EQ(hr, row.fails ? E_FAIL : S_OK);
        EXPECT_EQ(PlayState, row.to);
        EXPECT_EQ(TakePlayStatePosts(), row.posts);
        if (row.debugOutput) {
            EXPECT_EQ(win::DebugOutputTexts(), std::vector<std::string>{row.debugOutput});
        } else {
            EXPECT_TRUE(win::DebugOutputTexts().empty());
        }
        Faults::Clear();
        OAFilterState state = -1;
        EXPECT_EQ(pane->MediaControl->GetState(0, &state), S_OK);
        EXPECT_EQ(state, row.graph);
    }
}

TEST_F(PlaybackTest, ARunSeeksALoadedRecordingAgainOnlyToAPositionTheGraphGave)
{
    Build();
    const int seeksAfterBlank = Faults::Calls(Fault::SetPositions);
    EXPECT_EQ(pane->RunMedia(), S_OK);
    EXPECT_EQ(Faults::Calls(Fault::SetPositions), seeksAfterBlank) << "the blank recording is not sought again";
    ASSERT_EQ(pane->StopMedia(), S_OK);

    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    int seeks = Faults::Calls(Fault::SetPositions);
    EXPECT_EQ(pane->RunMedia(), S_OK);
    EXPECT_EQ(Faults::Calls(Fault::SetPositions), seeks + 1);
    ASSERT_EQ(pane->PauseMedia(), S_OK);

    Faults::Fail(Fault::GetCurrentPosition, E_UNEXPECTED);
    seeks = Faults::Calls(Fault::SetPositions);
    EXPECT_EQ(pane->RunMedia(), S_OK);
    EXPECT_EQ(Faults::Calls(Fault::SetPositions), seeks) << "no seek to a position that was never read";
}

TEST_F(PlaybackTest, WithTheCardGoneTheRunStateCallsFailAndPostNothing)
{
    Build();
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    ASSERT_EQ(pane->RunMedia(), S_OK);
    TakePlayStatePosts();
    win::DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_EQ(pane->PauseMedia(), E_FAIL);
    EXPECT_EQ(pane->StopMedia(), E_FAIL);
    EXPECT_EQ(pane->RunMedia(), E_FAIL);
    EXPECT_EQ(pane->RenderWMFile(kRecording), E_FAIL);
    EXPECT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_EQ(pane->PrepareDummyMedia(), S_OK);
    EXPECT_EQ(PlayState, 2);
    EXPECT_TRUE(TakePlayStatePosts().empty());
    win::DriveTable::Instance().SetPresent(u'E', true);
}

TEST_F(PlaybackTest, AMissingSeekingInterfaceLeavesNeutralValues)
{
    Faults::Fail(Fault::QueryInterface, E_NOINTERFACE, u"IMediaSeeking");
    Build();
    application->ProcessMessages();
    EXPECT_FALSE(application->Terminated());
    EXPECT_EQ(pane->MediaSeeking, nullptr);
    EXPECT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_EQ(MediaDuration, 0);
    EXPECT_EQ(pane->RunMedia(), S_OK);
    EXPECT_EQ(pane->PauseMedia(), S_OK);
    EXPECT_EQ(PlayState, 1);
}

TEST_F(PlaybackTest, AfterAFailedStartEveryOperationFindsNoGraph)
{
    Faults::Fail(Fault::Create, E_FAIL, u"InfTee");
    Build();
    Faults::Clear();
    ASSERT_EQ(pane->MediaControl, nullptr);
    TakePlayStatePosts();
    EXPECT_EQ(pane->RunMedia(), E_FAIL);
    EXPECT_EQ(pane->StopMedia(), S_OK);
    EXPECT_EQ(pane->PauseMedia(), S_OK);
    EXPECT_EQ(TakePlayStatePosts(), std::vector<win::WPARAM>{0}) << "a pause request always posts 0";
    EXPECT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_EQ(pane->PrepareDummyMedia(), S_OK);
    EXPECT_EQ(pane->RenderWMFile(kRecording), S_OK);
    EXPECT_EQ(pane->RenderWMFile(u"E:\\DATA\\GONE.ASF"), -9900);
    EXPECT_EQ(pane->RenderDummyFile(TPlayControl::DummyFilePath()), S_OK);
    EXPECT_EQ(pane->Rendered, 0);
    EXPECT_FALSE(pane->TestPinConnect());
    EXPECT_EQ(PlayState, 0);
}

} // namespace playback_test
