// Releasing the graph: at exit, twice, and with the card gone.
#include "PlaybackFixture.h"

#include "platform/media/Faults.h"
#include "mainwindow/MAIN.h"
#include "platform/win/Com.h"
#include "platform/win/DriveTable.h"
#include "tests/support/ScopedValue.h"

using namespace media;

namespace playback_test {

namespace {

const std::string kStart = "-----------------TPlayControl::FreeGraph START----------";
const std::string kEnd = "-----------------TPlayControl::FreeGraph END----------";

} // namespace

TEST_F(PlaybackTest, FreeGraphReleasesEverythingAndCanRunTwice)
{
    Build();
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    ASSERT_EQ(pane->RunMedia(), S_OK);
    pane->TimerSpeed->SetEnabled(true);
    pane->Timer1->SetEnabled(true);
    TakePlayStatePosts();
    // COM started twice: by the decoder check and by the build. Each codec
    // removal ends it once.
    ASSERT_EQ(win::CoInitializeCount(), 2);

    EXPECT_EQ(pane->FreeGraph(), S_OK);
    EXPECT_FALSE(pane->TimerRefresh->Enabled());
    EXPECT_FALSE(pane->Timer1->Enabled());
    EXPECT_FALSE(pane->TimerSpeed->Enabled()) << "stepped play must not outlive the graph";
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(TakePlayStatePosts(), std::vector<win::WPARAM>{0});
    for (IUnknown* p : std::initializer_list<IUnknown*>{
             pane->MediaControl, pane->MediaSeeking, pane->WindowlessControl, pane->BasicVideo, pane->BasicAudio,
             pane->MediaEvent, pane->VideoDecoder, pane->AudioDecoder, pane->SourceFilter, pane->SoundRenderer,
             pane->PinTee, pane->AviDecompressor, pane->ColourConverter, pane->Graph, pane->MediaPosition,
             pane->VmrFilter})
        EXPECT_EQ(p, nullptr);
    // Every reference handed out on the way was given back: the graph is gone.
    EXPECT_EQ(LiveObjectCount(), liveBefore);
    EXPECT_EQ(CountLogged(kEnd), 1);
    EXPECT_EQ(win::CoInitializeCount(), 1);

    // Again (as the destructor does after a failed start): nothing to stop or
    // release, the removal runs once more.
    const int stopsBefore = Faults::Calls(Fault::Stop);
    EXPECT_EQ(pane->FreeGraph(), S_OK);
    EXPECT_EQ(Faults::Calls(Fault::Stop), stopsBefore);
    EXPECT_TRUE(TakePlayStatePosts().empty());
    EXPECT_EQ(CountLogged(kStart), 2);
    EXPECT_EQ(CountLogged(kEnd), 2);
    EXPECT_EQ(win::CoInitializeCount(), 0) << "the codec removal ran again";

    Destroy();
    EXPECT_EQ(CountLogged(kStart), 3);
    const std::vector<std::string> texts = LogTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.back(), "-----------------TPlayControl::~TPlayControl END ----------");
}

TEST_F(PlaybackTest, FreeGraphWithTheCardGoneReleasesNothing)
{
    Build();
    pane->Timer1->SetEnabled(true);
    ASSERT_EQ(win::CoInitializeCount(), 2);
    win::DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_EQ(pane->FreeGraph(), E_FAIL);
    EXPECT_FALSE(pane->Timer1->Enabled());
    EXPECT_FALSE(pane->TimerRefresh->Enabled());
    EXPECT_NE(pane->Graph, nullptr);
    EXPECT_NE(pane->MediaControl, nullptr);
    EXPECT_EQ(win::CoInitializeCount(), 1) << "the codec removal ran";
    EXPECT_EQ(CountLogged(kEnd), 0);
    win::DriveTable::Instance().SetPresent(u'E', true);
}

TEST_F(PlaybackTest, TheEventWindowsResultIsFreeGraphsResult)
{
    Build();
    Faults::Fail(Fault::SetNotifyWindow, E_UNEXPECTED);
    EXPECT_EQ(pane->FreeGraph(), E_UNEXPECTED);
    EXPECT_EQ(pane->Graph, nullptr) << "released all the same";
    EXPECT_EQ(LiveObjectCount(), liveBefore);
}

TEST_F(PlaybackTest, TheDebuggerOutputIsSilentWithTheCardGone)
{
    Build();
    win::ClearDebugOutput();
    pane->RetailOutput("%s %d\r\n", "x", 7);
    win::DriveTable::Instance().SetPresent(u'E', false);
    pane->RetailOutput("gone\r\n");
    win::DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_EQ(win::DebugOutputTexts(), std::vector<std::string>{"x 7\r\n"});
    // A text longer than the buffer is cut, not overrun.
    win::ClearDebugOutput();
    pane->RetailOutput("%s", std::string(3000, 'a').c_str());
    ASSERT_EQ(win::DebugOutputTexts().size(), 1u);
    EXPECT_EQ(win::DebugOutputTexts()[0], std::string(1023, 'a'));
}

TEST_F(PlaybackTest, AFailedDockLeavesAPaneWithoutLoaderOrGraph)
{
    {
        const test_support::ScopedValue<TMainForm*> noMainWindow(MainForm, nullptr);
        Build();
    }
    EXPECT_EQ(CountLogged("TPlayControl::TPlayControl ERROR:no video panel to dock into"), 1);
    EXPECT_EQ(pane->GInfoLoader, nullptr);
    EXPECT_EQ(pane->GInfo, nullptr);
    EXPECT_EQ(pane->Graph, nullptr);
    EXPECT_EQ(pane->PlayRate, 1.0f);
    EXPECT_EQ(pane->FrameTime, 2000000);
    Destroy(); // deletes only what exists
    EXPECT_EQ(CountLogged("-----------------TPlayControl::~TPlayControl END ----------"), 1);
}

} // namespace playback_test
