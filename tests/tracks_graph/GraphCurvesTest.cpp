// The curves of a recording, the play cursor with its window, and the speed
// read-out.
#include "tests/tracks_graph/GraphFixture.h"

#include "app/Common.h"

namespace {

using TrackPoints = std::vector<TrackPoint>;

TEST_F(GraphPaneTest, SpeedPointsAreWholeKmhWithTheGapColourAfterABreak)
{
    TGraphControl* g = GraphControl;
    TrackBuilder b;
    b.Gps(1000, "30.4").Gps(2000, "30.6").Gps(3000, "125.0").Gps(4000, "").Gps(5000, "12.5").Gps(5500, "13.5");
    b.Gps(7301, "0.2").Gps(9101, "1").Gps(8000, "2"); // 1801 and 1800 after the previous, then back in time
    g->SetGraphData(b.info.get());
    const TColor lime = clLime, gap = clBlack;
    EXPECT_EQ(Points(*Series(2)),
              (TrackPoints{{1000, 30, lime},
                           {2000, 31, lime},
                           {3000, 125, lime},
                           {5000, 12, gap}, // 2000 ms after the last plotted point
                           {5500, 14, lime},
                           {7301, 0, gap},
                           {9101, 1, lime},
                           {8000, 2, gap}}));
    EXPECT_EQ(Left()->Maximum(), 125.0);
    EXPECT_EQ(Left()->Minimum(), -2.0);
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(Series(i)->Count(), 0) << i;
}

TEST_F(GraphPaneTest, TheFirstSpeedPointTakesTheGapColourFrom1801Ms)
{
    for (const auto& [ms, colour] : {std::pair{1800u, clLime}, std::pair{1801u, clBlack}}) {
        SCOPED_TRACE(ms);
        TrackBuilder b;
        b.Gps(ms, "50");
        GraphControl->SetGraphData(b.info.get());
        EXPECT_EQ(Points(*Series(2)), (TrackPoints{{ms, 50, colour}}));
    }
}

TEST_F(GraphPaneTest, TheSpeedAxisGrowsWithTheFastestPointUpTo200)
{
    TGraphControl* g = GraphControl;
    const struct {
        const char* fastest;
        double axisMax;
    } rows[] = {{"125.0", 125}, {"125.4", 125}, {"125.6", 126}, {"180.2", 180}, {"250", 200}, {"99999", 200}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.fastest);
        g->ResetGraph();
        EXPECT_EQ(Left()->Maximum(), 125.0);
        TrackBuilder b;
        b.Gps(1000, "40").Gps(2000, r.fastest).Gps(3000, "60");
        g->SetGraphData(b.info.get());
        EXPECT_EQ(Left()->Maximum(), r.axisMax);
        EXPECT_EQ(Left()->Minimum(), -2.0);
        EXPECT_EQ(Series(2)->Count(), 3); // points above the axis are kept
    }
    // Without a reset the next recording starts from the grown maximum.
    TrackBuilder slow;
    slow.Gps(1000, "40");
    g->SetGraphData(slow.info.get());
    EXPECT_EQ(Left()->Maximum(), 200.0);
}

TEST_F(GraphPaneTest, GSensorCurvesTakeEverySampleInTheirColours)
{
    TGraphControl* g = GraphControl;
    TrackBuilder b;
    b.G(0, 0.25f, -0.5f, 1.0f).G(100, -0.125f, 0.75f, -2.0f).G(50, 0.0f, 0.0f, 9.5f);
    g->SetGraphData(b.info.get());
    EXPECT_EQ(Points(*Series(3)), (TrackPoints{{0, 0.25, clAqua}, {100, -0.125, clAqua}, {50, 0.0, clAqua}}));
    EXPECT_EQ(Points(*Series(4)), (TrackPoints{{0, -0.5, clYellow}, {100, 0.75, clYellow}, {50, 0.0, clYellow}}));
    EXPECT_EQ(Points(*Series(5)), (TrackPoints{{0, 1.0, clRed}, {100, -2.0, clRed}, {50, 9.5, clRed}}));
    EXPECT_EQ(Series(2)->Count(), 0);
    EXPECT_EQ(Left()->Maximum(), 125.0); // no GPS records: the speed axis stays
    EXPECT_EQ(Left()->Minimum(), -2.0);
}

TEST_F(GraphPaneTest, ARecordOfADayOrMoreIsSkippedAndTheRestIsDrawn)
{
    TGraphControl* g = GraphControl;
    TrackBuilder b;
    b.Gps(1000, "10").Gps(86400000u, "20").Gps(0xFFFFFFFFu, "30").Gps(2000, "40").Gps(86399999u, "50");
    b.G(100, 0.1f, 0.1f, 0.1f).G(86400000u, 0.2f, 0.2f, 0.2f).G(200, 0.3f, 0.3f, 0.3f);
    g->SetGraphData(b.info.get());
    EXPECT_EQ(Points(*Series(2)), (TrackPoints{{1000, 10, clLime}, {2000, 40, clLime}, {86399999, 50, clBlack}}));
    EXPECT_EQ(Series(3)->Count(), 2);
    EXPECT_EQ(Series(5)->Count(), 2);
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(GraphPaneTest, NewDataReplacesTheCurvesAndNullChangesNothing)
{
    TGraphControl* g = GraphControl;
    const auto drive = SmallDrive();
    g->SetGraphData(drive.get());
    g->SetPos(5000);
    const TrackPoints speed = Points(*Series(2));
    ASSERT_FALSE(speed.empty());
    g->SetGraphData(nullptr);
    EXPECT_EQ(Points(*Series(2)), speed);
    EXPECT_EQ(Series(6)->Count(), 2);

    TrackBuilder other;
    other.Gps(1000, "5");
    g->SetGraphData(other.info.get());
    EXPECT_EQ(Points(*Series(2)), (TrackPoints{{1000, 5, clLime}}));
    EXPECT_EQ(Series(3)->Count(), 0);
    EXPECT_EQ(Series(6)->Count(), 0); // the cursor comes back with the next position

    g->SetSpeedText("42");
    g->ResetGraph();
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(Series(i)->Count(), 0) << i;
    EXPECT_EQ(g->IdxSpeedVal->Caption(), UnicodeString());
}

TEST_F(GraphPaneTest, TheCursorIsAVerticalLineAtThePosition)
{
    GraphControl->SetPos(12345);
    EXPECT_EQ(GraphControl->PlayPositionMs(), 12345);
    EXPECT_EQ(Points(*Series(6)), (TrackPoints{{12345, 200, clWhite}, {12345, -100, clWhite}}));
    EXPECT_EQ(Series(6)->VertAxis(), aLeftAxis);
    GraphControl->SetPos(12445);
    EXPECT_EQ(Series(6)->Count(), 2);
}

// For each span, every boundary of the first hundred windows: the position
// on it stays in the window that ends there, a millisecond later opens the
// next (except the 100 ms after one minute), and a jump back returns.
TEST_F(GraphPaneTest, TheWindowSnapsAtEachBoundaryForEachZoom)
{
    TGraphControl* g = GraphControl;
    const int spans[] = {60000, 30000, 10000, 3000};
    for (int index = 3; index >= 0; --index) {
        const long long span = spans[3 - index];
        ASSERT_EQ(g->XSpanIndex(), index);
        for (long long k = 1; k <= 100; ++k) {
            const long long b = k * span;
            SCOPED_TRACE(testing::Message() << "span " << span << ", boundary " << b);
            g->SetPos(static_cast<int>(b - span / 2));
            ASSERT_EQ(WindowStartMs(), b - span);
            g->SetPos(static_cast<int>(b));
            EXPECT_EQ(WindowStartMs(), b - span);
            EXPECT_EQ(WindowEndMs(), b);
            g->SetPos(static_cast<int>(b + 1));
            const long long start = b == 60000 ? b - span : b;
            EXPECT_EQ(WindowStartMs(), start);
            EXPECT_EQ(WindowEndMs(), start + span);
            g->SetPos(static_cast<int>(b - 1));
            EXPECT_EQ(WindowStartMs(), b - span);
        }
        if (index > 0)
            driver.Click(*g->ImageXBig);
    }
}

TEST_F(GraphPaneTest, TheHundredMillisecondsAfterAMinuteStayInTheWindowEndingThere)
{
    TGraphControl* g = GraphControl;
    const struct {
        int clicksBig;
        long long start;
    } spans[] = {{0, 0}, {1, 30000}, {2, 50000}, {3, 57000}};
    for (const auto& s : spans) {
        SCOPED_TRACE(s.clicksBig);
        driver.Click(*g->ImageXNone);
        for (int i = 0; i < s.clicksBig; ++i)
            driver.Click(*g->ImageXBig);
        const long long span = XSpanTable[g->XSpanIndex()];
        for (int ms : {60001, 60050, 60099}) {
            g->SetPos(500000); // far away, so the window must move
            g->SetPos(ms);
            EXPECT_EQ(WindowStartMs(), s.start) << ms;
            EXPECT_EQ(WindowEndMs(), 60000) << ms;
            EXPECT_EQ(Points(*Series(6)).front().ms, ms); // the cursor just past the edge
        }
        g->SetPos(60100);
        EXPECT_EQ(WindowStartMs(), 60000);
        EXPECT_EQ(WindowEndMs(), 60000 + span);
    }
}

TEST_F(GraphPaneTest, APositionBeyondADayIsLoggedAndLeavesTheWindow)
{
    TGraphControl* g = GraphControl;
    g->SetPos(65000);
    for (int ms : {-1, 86400000, 2147483647, -2147483647 - 1}) {
        SCOPED_TRACE(ms);
        const TrackLogProbe probe;
        g->SetPos(ms);
        EXPECT_EQ(g->PlayPositionMs(), ms);
        EXPECT_EQ(Series(6)->Count(), 0);
        EXPECT_EQ(WindowStartMs(), 60000);
        ASSERT_EQ(probe.Lines().size(), 1u);
        EXPECT_EQ(probe.Lines()[0].rfind("TGraphControl::SetPos ERROR:", 0), 0u) << probe.Lines()[0];
        EXPECT_EQ(probe.Levels()[0], 3);
    }
}

TEST_F(GraphPaneTest, SpeedTextChangesTheReadOutOnlyWhenItDiffers)
{
    TLabel* readOut = GraphControl->IdxSpeedVal;
    GraphControl->SetSpeedText("63");
    EXPECT_EQ(readOut->Caption(), UnicodeString(u"63"));
    const int invalidates = readOut->InvalidateCount();
    GraphControl->SetSpeedText("63");
    EXPECT_EQ(readOut->InvalidateCount(), invalidates);
    GraphControl->SetSpeedText("");
    EXPECT_EQ(readOut->Caption(), UnicodeString());
}

} // namespace
