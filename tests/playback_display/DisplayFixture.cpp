#include "DisplayFixture.h"

#include <filesystem>

#include "mainwindow/MAIN.h"
#include "platform/win/Paint.h"

namespace playback_test {

void DisplayTest::SetUp()
{
    PlaybackTest::SetUp();
    mixer = std::make_unique<mixer::RecordingMixer>();
    ChannelMode = 4;
}

void DisplayTest::TearDown()
{
    PlaybackTest::TearDown();
    EXPECT_EQ(win::OpenDeviceContexts(), 0) << "a repaint left its painting open";
    mixer.reset();
    ChannelMode = 4;
}

void DisplayTest::SizeVideoPanel(int width, int height)
{
    mainForm->SetBounds(0, 0, width + 400, height + 400);
    mainForm->PanelVideo->SetBounds(100, 5, width, height);
}

TPlayControl* DisplayTest::BuildIn(int width, int height)
{
    SizeVideoPanel(width, height);
    return Build();
}

media::VideoRendererState DisplayTest::Renderer() const
{
    media::VideoRendererState state;
    EXPECT_TRUE(media::InspectVideoRenderer(pane->VmrFilter, state));
    return state;
}

std::string DisplayTest::SnapshotPath(const std::string& name)
{
    const std::string folder = std::string(VM_BINARY_DIR) + "/snapshots";
    std::filesystem::create_directories(folder);
    return folder + "/" + name;
}

} // namespace playback_test
