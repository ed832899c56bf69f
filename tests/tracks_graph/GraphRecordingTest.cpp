// A recording written by our ASF writer, read by the track reader and drawn:
// the pane shows what the recorder logged, and a snapshot of it is kept.
#include "tests/tracks_graph/GraphFixture.h"

#include <cmath>

#include "app/Common.h"
#include "tests/tracks/TrackFiles.h"
#include "tools/asfwriter/SampleRecording.h"
#include "tracks/GetGPSFromASF.h"

namespace {

using namespace trackfiles;

// 40 s of driving: a fix each second (none from 25 to 27 s), the G sensor
// ten times a second, a hard brake at 33 s.
Bytes Drive()
{
    std::vector<Packet> packets;
    for (int s = 0; s < 40; ++s) {
        std::vector<Payload> payloads;
        if (s == 0)
            payloads.push_back(Track(Prelude, 0));
        if (s < 25 || s > 27) {
            const double knots = std::min(34.0, 1.5 * s + 1.0) + 2.0 * std::sin(s / 3.0);
            payloads.push_back(Track(asfwriter::RmcSentence(9, 30, s, 35.65, 139.76, knots, 84.4, 17, 5, 2024),
                                     static_cast<std::uint32_t>(s * 1000)));
        }
        for (int k = 0; k < 10; ++k) {
            const double t = s + k / 10.0;
            const int up = static_cast<int>(std::lround(2 * std::sin(t * 2.0)));
            const int side = static_cast<int>(std::lround(6 * std::sin(t / 2.5)));
            const int front = (t > 33 && t < 35) ? -12 : static_cast<int>(std::lround(3 * std::cos(t / 4.0)));
            payloads.push_back(
                Track(asfwriter::GxSentence(up, side, front), static_cast<std::uint32_t>(t * 1000 + 0.5)));
        }
        packets.push_back(Multi(payloads));
    }
    return File(packets);
}

TEST_F(GraphPaneTest, ARecordingsTracksAreDrawn)
{
    Card card;
    TAsfFileInfo info;
    TGetGPSFromASF reader;
    ASSERT_EQ(reader.GetGpsInfo(card.Put("DRIVE.ASF", Drive()), &info), 0);
    ASSERT_EQ(info.GpsList->Count(), 37);
    ASSERT_EQ(info.GSensorList->Count(), 400);

    Arrange(0, 919, 214);
    GraphControl->SetGraphData(&info);
    GraphControl->SetPos(31250);
    GraphControl->SetSpeedText("59");

    // Whole km/h at the fixes' times; the first fix after the gap in the
    // fixes takes the gap colour.
    const std::vector<TrackPoint> speed = Points(*Series(2));
    ASSERT_EQ(speed.size(), 37u);
    for (std::size_t i = 0; i < speed.size(); ++i) {
        const TrackPoint& p = speed[i];
        SCOPED_TRACE(p.ms);
        EXPECT_EQ(p.ms, static_cast<long long>(i < 25 ? i : i + 3) * 1000);
        EXPECT_EQ(p.y, std::round(p.y));
        EXPECT_EQ(p.colour, p.ms == 28000 ? clBlack : clLime);
    }
    EXPECT_EQ(speed[10].y, std::round(std::round((16.0 + 2.0 * std::sin(10 / 3.0)) * 10) / 10 * 1.852));
    EXPECT_EQ(Series(3)->Count(), 400);
    EXPECT_EQ(Series(5)->Count(), 400);
    EXPECT_EQ(Left()->Maximum(), 125.0);

    EXPECT_TRUE(host->SaveSnapshot(std::string(VM_BINARY_DIR) + "/graph_pane_recording.png"));
}

} // namespace
