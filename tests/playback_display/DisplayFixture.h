// The playback pane docked into a main window whose video panel has the size
// of one of the window's four layouts, with a recording mixer in force.
#pragma once

#include "PlaybackFixture.h"

#include "platform/media/VideoRendererState.h"
#include "platform/mixer/RecordingMixer.h"

namespace playback_test {

struct LayoutSize {
    int index;
    int width;
    int height;
};

// The video panel of each layout of the main window (largest first).
inline constexpr LayoutSize kVideoPanels[] = {{0, 919, 688}, {1, 766, 573}, {2, 575, 430}, {3, 431, 323}};

class DisplayTest : public PlaybackTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sizes the main window's video panel.
    void SizeVideoPanel(int width, int height);
    // Sizes the video panel, then builds the pane.
    TPlayControl* BuildIn(int width, int height);
    media::VideoRendererState Renderer() const;
    // Host path in the build folder for a picture the tests write.
    static std::string SnapshotPath(const std::string& name);

    std::unique_ptr<mixer::RecordingMixer> mixer;
};

} // namespace playback_test
