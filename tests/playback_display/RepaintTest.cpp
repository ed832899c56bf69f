// Repainting the windowless video: the three triggers, the drive check and
// the painting that is always ended.
#include "DisplayFixture.h"

#include "app/Globals.h"
#include "mainwindow/ListView.h"
#include "platform/media/Faults.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"

using namespace media;

namespace playback_test {

class Repaint : public DisplayTest {
protected:
    int Repaints() const { return Renderer().repaints; }
};

TEST_F(Repaint, TheVideoIsRepaintedOnceASecondStoppedOrPaused)
{
    BuildIn(575, 430);
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    ASSERT_TRUE(pane->TimerRefresh->Enabled());
    const int before = Repaints();
    win::PumpFor(3000);
    EXPECT_EQ(Repaints(), before + 3);
    ASSERT_EQ(pane->PauseMedia(), S_OK);
    win::PumpFor(2000);
    EXPECT_EQ(Repaints(), before + 5);
}

TEST_F(Repaint, EachTriggerRepaintsOnlyWhileTheCardAnswers)
{
    BuildIn(431, 323);
    struct Row {
        const char* what;
        bool cardPresent;
        bool listExists;
        int formPaint, timer, message; // repaints each trigger adds
    };
    const Row rows[] = {
        {"card, list", true, true, 1, 1, 1},
        {"card, no list yet", true, false, 1, 1, 0},
        {"card gone", false, true, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<TListControl> list;
        if (row.listExists) {
            list = std::make_unique<TListControl>(nullptr);
            ListControl = list.get();
        }
        win::DriveTable::Instance().SetPresent(u'E', row.cardPresent);
        int n = Repaints();
        pane->FormPaint(pane);
        EXPECT_EQ(Repaints() - n, row.formPaint) << "paint";
        n = Repaints();
        pane->TimerRefreshTimer(pane->TimerRefresh);
        EXPECT_EQ(Repaints() - n, row.timer) << "timer";
        n = Repaints();
        pane->OnVideoRepaintMessage();
        EXPECT_EQ(Repaints() - n, row.message) << "WM_VIDEO_REPAINT";
        win::DriveTable::Instance().SetPresent(u'E', true);
        ListControl = nullptr;
    }
}

TEST_F(Repaint, ARefusedRepaintEndsItsPaintingAndLogsNothing)
{
    BuildIn(431, 323);
    Faults::Fail(Fault::RepaintVideo, E_FAIL);
    pane->RepaintVideoPanel();
    pane->TimerRefreshTimer(pane->TimerRefresh);
    EXPECT_EQ(win::OpenDeviceContexts(), 0);
    EXPECT_EQ(Faults::Calls(Fault::RepaintVideo), 2);
    for (const std::string& line : TaggedLog())
        EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
}

TEST_F(Repaint, TheRepaintDrawsIntoTheVideoWindow)
{
    BuildIn(575, 430);
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    pane->ShowChanel(4);
    pane->RepaintVideoPanel();
    const vcl::PixelBuffer picture = pane->Snapshot();
    const media::Frame frame = media::SyntheticFrame(64, 48, 0);
    // Inside the window's frame of 2 pixels, a quarter in: the upper left camera.
    EXPECT_EQ(picture.Pixel(575 / 4, 430 / 4), frame.At(10, 10));
    EXPECT_EQ(picture.Pixel(575 * 3 / 4, 430 * 3 / 4), frame.At(50, 40));
    EXPECT_EQ(picture.Pixel(1, 1) & 0x00FFFFFFu, 0u) << "the black frame around it";
}

} // namespace playback_test
