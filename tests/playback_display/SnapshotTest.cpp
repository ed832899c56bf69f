// One picture of the video panel per channel view, in the largest layout,
// with the synthetic frame source's mosaic: written into the build folder
// ("snapshots/video_view_<mode>.png") for a person to look at, and checked
// at the places where each camera must show.
#include "DisplayFixture.h"

#include "platform/media/FrameSource.h"
#include "tools/asfwriter/SampleRecording.h"

using namespace media;

namespace playback_test {

namespace {

constexpr char16_t kMosaic[] = u"E:\\DATA\\20240517_100000.ASF";

// The camera colours of the synthetic mosaic.
enum Camera { UpperLeft, UpperRight, LowerLeft, LowerRight, None };

std::uint32_t Colour(Camera camera)
{
    static const Frame mosaic = SyntheticFrame(640, 480, 0);
    switch (camera) {
    case UpperLeft:
        return mosaic.At(10, 10);
    case UpperRight:
        return mosaic.At(630, 10);
    case LowerLeft:
        return mosaic.At(10, 470);
    case LowerRight:
        return mosaic.At(630, 470);
    default:
        return vcl::PixelBuffer::FromColor(vcl::clBlack) & 0x00FFFFFFu;
    }
}

} // namespace

class Snapshots : public DisplayTest {};

TEST_F(Snapshots, EachViewShowsItsCameras)
{
    asfwriter::SampleOptions options;
    options.seconds = 1;
    options.framesPerSecond = 5;
    options.width = 640;
    options.height = 480;
    options.distinctFrames = 1;
    asfwriter::WriteSampleRecording(Host("DATA/20240517_100000.ASF"), options);

    const int w = kVideoPanels[0].width;
    const int h = kVideoPanels[0].height;
    BuildIn(w, h);
    ASSERT_EQ(pane->PrepareMedia(kMosaic), S_OK);

    struct Probe {
        int x, y; // in the pane
        Camera camera;
    };
    struct Row {
        std::int32_t mode;
        std::vector<Probe> probes;
    };
    const Row rows[] = {
        {4,
         {{w / 4, h / 4, UpperLeft},
          {3 * w / 4, h / 4, UpperRight},
          {w / 4, 3 * h / 4, LowerLeft},
          {3 * w / 4, 3 * h / 4, LowerRight}}},
        {2,
         {{w / 4, h / 2, UpperLeft}, {3 * w / 4, h / 2, UpperRight}, {w / 2, h / 8, None}, {w / 2, 7 * h / 8, None}}},
        // Three corners of each enlarged camera; the fourth holds the frame
        // number's box of the mosaic's middle.
        {11, {{w / 4, h / 4, UpperLeft}, {3 * w / 4, h / 4, UpperLeft}, {w / 4, 3 * h / 4, UpperLeft}}},
        {12, {{w / 4, h / 4, UpperRight}, {3 * w / 4, h / 4, UpperRight}, {3 * w / 4, 3 * h / 4, UpperRight}}},
        {13, {{w / 4, h / 4, LowerLeft}, {w / 4, 3 * h / 4, LowerLeft}, {3 * w / 4, 3 * h / 4, LowerLeft}}},
        {14, {{3 * w / 4, h / 4, LowerRight}, {w / 4, 3 * h / 4, LowerRight}, {3 * w / 4, 3 * h / 4, LowerRight}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        pane->ShowChanel(row.mode);
        const std::string path = SnapshotPath("video_view_" + std::to_string(row.mode) + ".png");
        ASSERT_TRUE(pane->SaveSnapshot(path)) << path;
        const vcl::PixelBuffer picture = pane->Snapshot();
        for (const Probe& p : row.probes)
            EXPECT_EQ(picture.Pixel(p.x, p.y) & 0x00FFFFFFu, Colour(p.camera)) << "at " << p.x << ", " << p.y;
    }
}

} // namespace playback_test
