// The chart: axis ranges and their refusals, series points in list order,
// labels, and what painting puts where.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "platform/chart/chart.h"

namespace {

class ChartTest : public ::testing::Test {
protected:
    ChartTest()
    {
        chart = new TChart(&owner);
        chart->SetBounds(0, 0, 400, 200);
        chart->SetColor(clBlack);
    }

    // Paints the chart onto a fresh picture of its size.
    PixelBuffer Paint()
    {
        PixelBuffer pixels(chart->Width(), chart->Height(), 0x123456);
        TCanvas canvas(&pixels);
        chart->PaintTo(canvas, 0, 0);
        return pixels;
    }

    TPoint At(const TLineSeries& s, double x, double y)
    {
        const TChartLayout layout = chart->CalcLayout();
        const TChartAxis& vert = s.VertAxis() == aLeftAxis ? *chart->LeftAxis() : *chart->RightAxis();
        return TPoint(static_cast<int>(std::lround(chart->ValueToPixel(*chart->BottomAxis(), x, layout))),
                      static_cast<int>(std::lround(chart->ValueToPixel(vert, y, layout))));
    }

    TComponent owner{nullptr};
    TChart* chart = nullptr;
};

TEST_F(ChartTest, AnAxisRefusesARangeThatTurnsOver)
{
    TChartAxis* axis = chart->LeftAxis();
    axis->SetMaximum(10);
    axis->SetMinimum(-5);
    EXPECT_THROW(axis->SetMaximum(-6), EChartException);
    EXPECT_THROW(axis->SetMinimum(10.5), EChartException);
    EXPECT_THROW(axis->SetMinMax(3, 2), EChartException);
    EXPECT_EQ(axis->Minimum(), -5);
    EXPECT_EQ(axis->Maximum(), 10);
    // Caught as the framework's exception class.
    EXPECT_THROW(axis->SetMaximum(-100), Exception);

    axis->SetMaximum(-5); // equal ends are allowed
    axis->SetMinimum(-5);
    EXPECT_EQ(axis->Maximum(), -5);
    axis->SetMinMax(100, 200);
    EXPECT_EQ(axis->Minimum(), 100);
    EXPECT_EQ(axis->Maximum(), 200);
    // Moving a window down: minimum first, as the program does.
    axis->SetMinimum(0);
    axis->SetMaximum(50);
    axis->SetMinimum(40);
    EXPECT_EQ(axis->Minimum(), 40);
    EXPECT_EQ(axis->Maximum(), 50);
}

TEST_F(ChartTest, AutomaticRangesFollowTheActiveSeriesOfTheirAxis)
{
    auto* left = new TLineSeries(chart);
    auto* right = new TLineSeries(chart);
    right->SetVertAxis(aRightAxis);
    chart->AddSeries(left);
    chart->AddSeries(right);
    left->AddXY(1, 10);
    left->AddXY(5, -3);
    right->AddXY(-2, 0.5);
    right->AddXY(3, 0.25);
    double lo = 0, hi = 0;
    chart->LeftAxis()->CurrentRange(lo, hi);
    EXPECT_EQ(lo, -3);
    EXPECT_EQ(hi, 10);
    chart->RightAxis()->CurrentRange(lo, hi);
    EXPECT_EQ(lo, 0.25);
    EXPECT_EQ(hi, 0.5);
    chart->BottomAxis()->CurrentRange(lo, hi);
    EXPECT_EQ(lo, -2);
    EXPECT_EQ(hi, 5);

    right->SetActive(false);
    chart->BottomAxis()->CurrentRange(lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 5);

    chart->LeftAxis()->SetAutomatic(false);
    chart->LeftAxis()->SetMinMax(0, 1);
    chart->LeftAxis()->CurrentRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 1);
    left->Clear();
    chart->BottomAxis()->CurrentRange(lo, hi); // nothing to show: a range around 0
    EXPECT_LT(lo, hi);
}

TEST_F(ChartTest, SeriesKeepTheirPointsInTheOrderAdded)
{
    auto* s = new TLineSeries(chart);
    s->LinePen.Color = clYellow;
    EXPECT_EQ(s->AddXY(3, 30, u"c", clRed), 0);
    EXPECT_EQ(s->AddXY(1, 10), 1);
    EXPECT_EQ(s->AddXY(2, 20, u"", clNone), 2);
    ASSERT_EQ(s->Count(), 3);
    const double xs[] = {3, 1, 2}, ys[] = {30, 10, 20};
    const TColor colours[] = {clRed, clYellow, clNone};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s->XValues()->Value(i), xs[i]);
        EXPECT_EQ(s->YValues()->Value(i), ys[i]);
        EXPECT_EQ(s->ValueColor(i), colours[i]);
    }
    EXPECT_EQ(s->Label(0), UnicodeString(u"c"));
    for (int bad : {-1, 3}) {
        EXPECT_THROW(s->XValues()->Value(bad), EListError);
        EXPECT_THROW(s->ValueColor(bad), EListError);
        EXPECT_THROW(s->Label(bad), EListError);
    }
    s->Clear();
    EXPECT_EQ(s->Count(), 0);
    EXPECT_EQ(s->YValues()->Count(), 0);
}

TEST_F(ChartTest, TheSeriesListAndItsOwners)
{
    EXPECT_THROW(chart->Series(0), EListError);
    EXPECT_THROW(chart->AddSeries(nullptr), Exception);
    auto* a = new TLineSeries(chart);
    auto* b = new TLineSeries(chart);
    chart->AddSeries(a);
    b->SetParentChart(chart);
    chart->AddSeries(a); // already there: stays first
    ASSERT_EQ(chart->SeriesCount(), 2);
    EXPECT_EQ(chart->Series(0), a);
    EXPECT_EQ(chart->Series(1), b);
    EXPECT_THROW(chart->Series(2), EListError);
    EXPECT_THROW(chart->Series(-1), EListError);

    auto* other = new TChart(&owner);
    other->AddSeries(a);
    EXPECT_EQ(chart->SeriesCount(), 1);
    EXPECT_EQ(a->ParentChart(), other);
    delete b; // leaves its chart
    EXPECT_EQ(chart->SeriesCount(), 0);
    // A chart going first leaves its series without a chart.
    auto* kept = new TLineSeries(&owner);
    chart->AddSeries(kept);
    delete chart;
    chart = nullptr;
    EXPECT_EQ(kept->ParentChart(), nullptr);
    chart = other;
}

TEST_F(ChartTest, ChangesInvalidateAndRepaintIsCounted)
{
    auto* s = new TLineSeries(chart);
    chart->AddSeries(s);
    struct Row {
        const char* what;
        std::function<void()> change;
    };
    const Row rows[] = {
        {"point", [&] { s->AddXY(1, 1); }},
        {"clear", [&] { s->Clear(); }},
        {"active", [&] { s->SetActive(false); }},
        {"maximum", [&] { chart->LeftAxis()->SetMaximum(9); }},
        {"minimum", [&] { chart->BottomAxis()->SetMinimum(-1); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const int before = chart->InvalidateCount();
        r.change();
        EXPECT_GT(chart->InvalidateCount(), before);
    }
    const int repaints = chart->RepaintCount();
    chart->Repaint();
    EXPECT_EQ(chart->RepaintCount(), repaints + 1);
}

TEST_F(ChartTest, DateTimeLabelsFallOnWholeSecondsInTheirPattern)
{
    TChartAxis* bottom = chart->BottomAxis();
    bottom->SetAutomatic(false);
    bottom->SetMaximum(70000 / 86400000.0);
    bottom->SetMinimum(60000 / 86400000.0);
    bottom->DateTimeFormat = u"   hm:ss";
    bottom->Increment = 1000 / 86400000.0;
    bottom->LabelsFont.SetHeight(-8);
    chart->SetWidth(1000); // room for every second
    auto* s = new TLineSeries(chart);
    s->XValues()->SetDateTime(true);
    chart->AddSeries(s);

    const TChartLayout layout = chart->CalcLayout();
    ASSERT_EQ(layout.Bottom.size(), 11u);
    EXPECT_EQ(layout.Bottom.front().Text, UnicodeString(u"   01:00"));
    EXPECT_EQ(layout.Bottom[5].Text, UnicodeString(u"   01:05"));
    EXPECT_EQ(layout.Bottom.back().Text, UnicodeString(u"   01:10"));
    EXPECT_EQ(layout.Bottom.front().Pos, layout.Plot.Left);
    EXPECT_EQ(layout.Bottom.back().Pos, layout.Plot.Right - 1);

    // Narrow: fewer labels, still on whole seconds and never overlapping.
    chart->SetWidth(200);
    const TChartLayout narrow = chart->CalcLayout();
    ASSERT_GE(narrow.Bottom.size(), 2u);
    EXPECT_LT(narrow.Bottom.size(), 11u);
    for (std::size_t i = 1; i < narrow.Bottom.size(); ++i) {
        const double ms = narrow.Bottom[i].Value * 86400000.0;
        EXPECT_NEAR(ms, std::round(ms / 1000) * 1000, 1e-3);
        EXPECT_GE(narrow.Bottom[i].Pos - narrow.Bottom[i - 1].Pos,
                  TCanvas::TextWidthOf(bottom->LabelsFont, narrow.Bottom[i].Text));
    }
}

TEST_F(ChartTest, NumberLabelsAreRoundSteps)
{
    chart->LeftAxis()->SetAutomatic(false);
    chart->LeftAxis()->SetMaximum(125);
    chart->LeftAxis()->SetMinimum(-2);
    chart->RightAxis()->SetAutomatic(false);
    chart->RightAxis()->SetMaximum(1.5);
    chart->RightAxis()->SetMinimum(-1.5);
    const TChartLayout layout = chart->CalcLayout();
    std::vector<std::u16string> left, right;
    for (const TAxisLabel& l : layout.Left)
        left.push_back(std::u16string(l.Text.view()));
    for (const TAxisLabel& l : layout.Right)
        right.push_back(std::u16string(l.Text.view()));
    EXPECT_EQ(left, (std::vector<std::u16string>{u"0", u"20", u"40", u"60", u"80", u"100", u"120"}));
    EXPECT_EQ(right, (std::vector<std::u16string>{u"-1.5", u"-1", u"-0.5", u"0", u"0.5", u"1", u"1.5"}));
    // Higher values sit higher.
    EXPECT_GT(layout.Left.front().Pos, layout.Left.back().Pos);
    EXPECT_EQ(layout.Right.front().Pos, layout.Plot.Bottom - 1);
    EXPECT_EQ(layout.Right.back().Pos, layout.Plot.Top);
}

TEST_F(ChartTest, EachSegmentTakesTheColourOfItsEndPoint)
{
    for (TChartAxis* axis : {chart->LeftAxis(), chart->BottomAxis()}) {
        axis->SetAutomatic(false);
        axis->SetMaximum(100);
        axis->SetMinimum(0);
        axis->GridVisible = false;
    }
    chart->RightAxis()->GridVisible = false;
    auto* s = new TLineSeries(chart);
    chart->AddSeries(s);
    s->AddXY(10, 50, u"", clRed); // first point: no segment
    s->AddXY(40, 50, u"", clLime);
    s->AddXY(70, 50, u"", clBlack); // a break in the background colour
    s->AddXY(90, 50, u"", clAqua);
    const PixelBuffer pixels = Paint();
    const TPoint a = At(*s, 25, 50), b = At(*s, 55, 50), c = At(*s, 80, 50);
    EXPECT_EQ(pixels.ColorAt(a.X, a.Y), clLime);
    EXPECT_EQ(pixels.ColorAt(b.X, b.Y), clBlack);
    EXPECT_EQ(pixels.ColorAt(c.X, c.Y), clAqua);

    s->SetActive(false);
    const PixelBuffer hidden = Paint();
    EXPECT_EQ(hidden.ColorAt(a.X, a.Y), clBlack);
    EXPECT_EQ(hidden.ColorAt(c.X, c.Y), clBlack);
}

TEST_F(ChartTest, LinesLeavingThePlotAreCutAtItsEdge)
{
    for (TChartAxis* axis : {chart->LeftAxis(), chart->BottomAxis()}) {
        axis->SetAutomatic(false);
        axis->SetMaximum(10);
        axis->SetMinimum(0);
        axis->GridVisible = false;
    }
    auto* s = new TLineSeries(chart);
    s->LinePen.Width = 2;
    chart->AddSeries(s);
    s->AddXY(5, -1e9, u"", clWhite); // a vertical line far through the plot
    s->AddXY(5, 1e9, u"", clWhite);
    s->AddXY(-1e12, 5, u"", clRed);
    s->AddXY(1e12, 5, u"", clRed);
    const PixelBuffer pixels = Paint();
    const TChartLayout layout = chart->CalcLayout();
    const TPoint mid = At(*s, 5, 2);
    EXPECT_EQ(pixels.ColorAt(mid.X, mid.Y), clWhite);
    EXPECT_EQ(pixels.ColorAt(mid.X, layout.Plot.Top), clWhite);
    EXPECT_NE(pixels.ColorAt(mid.X, layout.Plot.Bottom + 3), clWhite); // below the plot: axis labels' room
    const TPoint across = At(*s, 8, 5);
    EXPECT_EQ(pixels.ColorAt(across.X, across.Y), clRed);
    EXPECT_NE(pixels.ColorAt(2, across.Y), clRed);
}

TEST_F(ChartTest, AStripOfThePlotPaintedAgainIsWhatAWholePaintDrawsThere)
{
    // A thick curve, dotted grid lines both ways and a cursor line, as the
    // speed chart has: a cursor move repaints strips of the plot only.
    chart->LeftAxis()->SetAutomatic(false);
    chart->LeftAxis()->SetMinimum(-1.5);
    chart->LeftAxis()->SetMaximum(1.5);
    chart->BottomAxis()->SetAutomatic(false);
    chart->BottomAxis()->SetMinimum(0);
    chart->BottomAxis()->SetMaximum(60);
    auto* curve = new TLineSeries(chart);
    curve->LinePen.Width = 2;
    chart->AddSeries(curve);
    for (int i = 0; i <= 600; ++i)
        curve->AddXY(i / 10.0, std::sin(i / 17.0), u"", i % 50 < 25 ? clLime : clRed);
    auto* cursor = new TLineSeries(chart);
    chart->AddSeries(cursor);
    const auto moveCursor = [&](double at) {
        cursor->Clear();
        cursor->AddXY(at, -1.5, u"", clYellow);
        cursor->AddXY(at, 1.5, u"", clYellow);
    };
    moveCursor(0);
    PixelBuffer kept = Paint();
    const TRect plot = chart->CalcLayout().Plot;
    for (double at : {0.0, 0.1, 7.3, 30.0, 31.7, 59.9, 60.0}) {
        SCOPED_TRACE(at);
        const int x = At(*cursor, at, 0).X;
        const TRect strips[] = {TRect(x - 3, plot.Top, x + 4, plot.Bottom),
                                TRect(x - 2, plot.Top + 5, x + 3, plot.Top + 40)};
        moveCursor(at);
        for (const TRect& strip : strips) {
            TCanvas canvas(&kept);
            canvas.SetClip(strip.Intersect(plot));
            chart->PaintTo(canvas, 0, 0);
        }
        // A whole paint lays out and draws everything afresh.
        const PixelBuffer whole = Paint();
        for (const TRect& strip : strips)
            for (int py = strip.Top; py < strip.Bottom; ++py)
                for (int px = std::max(strip.Left, plot.Left); px < std::min(strip.Right, plot.Right); ++px)
                    ASSERT_EQ(kept.ColorAt(px, py), whole.ColorAt(px, py)) << px << "," << py;
        kept = whole;
    }
}

TEST_F(ChartTest, VerticalTitlesAreTurned)
{
    TChartAxis* left = chart->LeftAxis();
    left->Title.Caption = u"速度[km/h]";
    left->Title.Font.SetHeight(-12);
    left->Title.Font.SetColor(clSilver);
    left->LabelsFont.SetColor(clGray);
    left->AxisColor = clGray;
    left->GridVisible = false;
    chart->RightAxis()->SetVisible(false);
    chart->BottomAxis()->SetVisible(false);
    for (int angle : {90, 270}) {
        SCOPED_TRACE(angle);
        left->Title.Angle = angle;
        const PixelBuffer pixels = Paint();
        int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
        for (int y = 0; y < pixels.Height(); ++y)
            for (int x = 0; x < pixels.Width(); ++x)
                if (pixels.ColorAt(x, y) == clSilver) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
        ASSERT_GE(maxX, 0);
        EXPECT_LE(maxX - minX + 1, 12);
        EXPECT_GT(maxY - minY, 3 * (maxX - minX));
    }
}

TEST_F(ChartTest, ExtremeValuesNeitherHangNorBreakThePaint)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* what;
        double x0, y0, x1, y1;
        bool dateTime;
    } rows[] = {
        {"widest range", -1.7e308, -1.7e308, 1.7e308, 1.7e308, false},
        {"widest date-times", -1.7e308, 0, 1.7e308, 1, true},
        {"far out, a step apart", 1e17, 1e17, 1e17 + 64, 1e17 + 64, true},
        {"infinite and NaN", -inf, nan, inf, 1, true},
        {"one point", 5, 5, 5, 5, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        auto* s = new TLineSeries(chart);
        s->XValues()->SetDateTime(r.dateTime);
        chart->AddSeries(s);
        s->AddXY(r.x0, r.y0, u"", clRed);
        s->AddXY(r.x1, r.y1, u"", clRed);
        const TChartLayout layout = chart->CalcLayout();
        EXPECT_LE(layout.Bottom.size(), static_cast<std::size_t>(chart->Width()));
        EXPECT_LE(layout.Left.size(), static_cast<std::size_t>(chart->Height()));
        Paint();
        delete s;
    }
}

} // namespace
