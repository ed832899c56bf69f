// The channel views: where the video window and the picture go in every
// layout, what the renderer's source rectangle does, and the views chosen
// at creation.
#include "DisplayFixture.h"

#include <fstream>
#include <sstream>

#include "mainwindow/MAIN.h"
#include "platform/media/Faults.h"
#include "playback/VideoDisplay.h"
#include "tests/support/MainFormState.h"

using namespace media;

namespace playback_test {

namespace {

constexpr std::int32_t kModes[] = {2, 4, 11, 12, 13, 14};

std::string Text(const RECT& r)
{
    std::ostringstream out;
    out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    return out.str();
}

std::string ReadLines(const std::string& path, bool skipComments)
{
    std::ifstream in(path);
    std::string line;
    std::string out;
    while (std::getline(in, line))
        if (!skipComments || line.empty() || line[0] != '#')
            out += line + "\n";
    return out;
}

} // namespace

class ChannelViews : public DisplayTest {
protected:
    // The video window and the renderer's rectangles as they stand.
    std::string Placement()
    {
        const TPanel* window = pane->Panel9;
        const VideoRendererState state = Renderer();
        std::ostringstream out;
        out << "window " << window->Left() << "," << window->Top() << " " << window->Width() << "x" << window->Height()
            << "  destination " << Text(state.destination) << "  source " << Text(state.source);
        return out.str();
    }
};

// One table for every layout and view, checked through the pane and the
// renderer. A difference is legitimate only when the view rules or the
// layouts' video panel sizes change.
TEST_F(ChannelViews, EveryViewInEveryLayoutMatchesTheGoldenTable)
{
    BuildIn(kVideoPanels[0].width, kVideoPanels[0].height);
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    std::ostringstream dump;
    for (const LayoutSize& layout : kVideoPanels) {
        SizeVideoPanel(layout.width, layout.height);
        pane->FitToPanelVideo();
        dump << "layout " << layout.index << " area " << pane->VideoAreaWidth << "x" << pane->VideoAreaHeight
             << ", view " << ChannelMode << " kept: " << Placement() << "\n";
        for (std::int32_t mode : kModes) {
            pane->ShowChanel(mode);
            EXPECT_EQ(ChannelMode, mode);
            dump << "  view " << mode << ": " << Placement() << "\n";
        }
    }
    const std::string golden = std::string(VM_SOURCE_DIR) + "/tests/playback_display/ChannelViews.txt";
    const std::string actual = SnapshotPath("ChannelViews.actual.txt");
    std::ofstream(actual) << dump.str();
    EXPECT_EQ(dump.str(), ReadLines(golden, true)) << "diff " << golden << " " << actual;
}

TEST_F(ChannelViews, ABandAndEnlargedQuartersInAThousandBySixHundredPanel)
{
    BuildIn(1000, 600);
    pane->ShowChanel(2);
    EXPECT_EQ(pane->Panel9->BoundsRect(), TRect(2, 150, 998, 446)); // 996 x 296
    EXPECT_EQ(Renderer().destination, (RECT{0, 0, 1000, 600}));
    pane->ShowChanel(11);
    EXPECT_EQ(Renderer().destination, (RECT{0, 0, 2000, 1212}));
    pane->ShowChanel(13);
    EXPECT_EQ(Renderer().destination, (RECT{0, -600, 2000, 600}));
    EXPECT_EQ(pane->Panel9->BoundsRect(), TRect(2, 2, 998, 598));
}

TEST_F(ChannelViews, OnlyTheSixViewsExist)
{
    BuildIn(575, 430);
    pane->ShowChanel(12);
    const std::string before = Placement();
    const int positions = Faults::Calls(Fault::SetVideoPosition);
    for (std::int32_t mode : {0, 1, 3, 5, 10, 15, -1, 2147483647}) {
        SCOPED_TRACE(mode);
        pane->ShowChanel(mode);
        EXPECT_EQ(ChannelMode, 12);
        EXPECT_EQ(Placement(), before);
    }
    EXPECT_EQ(Faults::Calls(Fault::SetVideoPosition), positions);
    playback::ChannelView view;
    EXPECT_FALSE(playback::ChannelViewFor(3, 575, 430, view));
}

TEST_F(ChannelViews, AFailedPositionReadLeavesTheRenderersSourceAlone)
{
    BuildIn(766, 573);
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK); // 64 x 48
    const RECT part{0, 0, 32, 24};
    ASSERT_EQ(pane->WindowlessControl->SetVideoPosition(&part, nullptr), S_OK);

    pane->ShowChanel(12); // a read that works carries the source over
    EXPECT_EQ(Renderer().source, part);

    Faults::Fail(Fault::GetVideoPosition, E_FAIL);
    pane->ShowChanel(14);
    EXPECT_EQ(Renderer().source, part) << "an unread source must not be written back";
    EXPECT_EQ(Renderer().destination, (RECT{-766, -573, 766, 573}));
    EXPECT_EQ(ChannelMode, 14);
}

TEST_F(ChannelViews, CreationShowsTheWholePictureInTheStoredSplitView)
{
    struct Row {
        const char* what;
        std::int32_t screenMode;
        std::int32_t view;
    };
    const Row rows[] = {{"two-channel", 1, 2}, {"four-channel", 2, 4}, {"settings not read", 0, 4}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ChannelMode = 13;
        StateOf(*mainForm).FScreenMode = row.screenMode;
        BuildIn(431, 323);
        EXPECT_EQ(ChannelMode, row.view);
        EXPECT_EQ(pane->VideoAreaWidth, 431);
        EXPECT_EQ(pane->VideoAreaHeight, 323);
        EXPECT_EQ(Renderer().source, (RECT{0, 0, 0, 0})) << "all zero: the whole picture";
        playback::ChannelView view;
        ASSERT_TRUE(playback::ChannelViewFor(row.view, 431, 323, view));
        EXPECT_EQ(Renderer().destination, view.destination);
        EXPECT_FALSE(pane->Timer1->Enabled());
        Destroy();
    }
}

TEST_F(ChannelViews, ARefusedCreationPositionShowsNoView)
{
    Faults::Fail(Fault::SetVideoPosition, E_FAIL);
    ChannelMode = 4;
    BuildIn(919, 688);
    EXPECT_EQ(Faults::Calls(Fault::SetVideoPosition), 1);
    EXPECT_EQ(ChannelMode, 4);
    EXPECT_EQ(pane->Panel9->BoundsRect(), TRect(0, 0, 919, 688));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ChannelViews, WithoutARendererTheWindowIsStillLaidOut)
{
    BuildIn(575, 430);
    pane->FreeGraph();
    ASSERT_EQ(pane->WindowlessControl, nullptr);
    pane->ShowChanel(2);
    EXPECT_EQ(pane->Panel9->BoundsRect(), TRect(2, 107, 573, 318)); // 571 x 211
    EXPECT_EQ(ChannelMode, 2);
    pane->RepaintVideoPanel();
}

} // namespace playback_test
