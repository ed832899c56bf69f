// The time and G zoom buttons, their pictures, and the legend's check boxes.
#include "tests/tracks_graph/GraphFixture.h"

#include "tracks/GraphButtonArt.h"

namespace {

TEST_F(GraphPaneTest, TimeZoomButtonsWalkTheSpansAndStopAtTheirEnds)
{
    TGraphControl* g = GraphControl;
    EXPECT_FALSE(driver.Click(*g->ImageXSmall)); // disabled at the longest span
    EXPECT_EQ(g->XSpanIndex(), 3);

    struct Step {
        TImage* TGraphControl::*button;
        int index;
        long long end;
        bool smallEnabled, bigEnabled;
    };
    const Step steps[] = {
        {&TGraphControl::ImageXBig, 2, 30000, true, true},    {&TGraphControl::ImageXBig, 1, 10000, true, true},
        {&TGraphControl::ImageXBig, 0, 3000, true, false},    {&TGraphControl::ImageXSmall, 1, 10000, true, true},
        {&TGraphControl::ImageXNone, 3, 60000, false, true},  {&TGraphControl::ImageXBig, 2, 30000, true, true},
        {&TGraphControl::ImageXSmall, 3, 60000, false, true},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(n++);
        EXPECT_TRUE(driver.Click(*(g->*s.button)));
        EXPECT_EQ(g->XSpanIndex(), s.index);
        EXPECT_EQ(WindowStartMs(), 0);
        EXPECT_EQ(WindowEndMs(), s.end);
        EXPECT_EQ(g->ImageXSmall->Enabled(), s.smallEnabled);
        EXPECT_EQ(g->ImageXBig->Enabled(), s.bigEnabled);
    }
    EXPECT_FALSE(driver.Click(*g->ImageXSmall));
    // Called directly past its end, a handler changes nothing.
    g->BitBtnXSmallClick(g->ImageXSmall);
    EXPECT_EQ(g->XSpanIndex(), 3);
}

TEST_F(GraphPaneTest, TimeZoomWindowsAroundThePlayPosition)
{
    TGraphControl* g = GraphControl;
    struct Row {
        int position;
        int clicksBig; // from 60 s: 1 gives 30 s, 2 gives 10 s, 3 gives 3 s
        bool thenReset;
        long long start, end;
    };
    const Row rows[] = {
        {30000, 2, false, 20000, 30000}, // on a boundary: the window that ends there
        {30001, 2, false, 30000, 40000},
        {30000, 1, false, 0, 30000},
        {30000, 2, true, 0, 60000},
        {0, 3, false, 0, 3000},
        {0, 2, true, 0, 60000},
        {125000, 3, false, 123000, 126000},
        {125000, 1, true, 120000, 180000},
        {120000, 1, true, 120000, 180000}, // reset keeps the boundary in the next minute
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.position << " ms, " << r.clicksBig << " plus"
                                        << (r.thenReset ? ", reset" : ""));
        driver.Click(*g->ImageXNone);
        g->SetPos(r.position);
        for (int i = 0; i < r.clicksBig; ++i)
            driver.Click(*g->ImageXBig);
        if (r.thenReset)
            driver.Click(*g->ImageXNone);
        EXPECT_EQ(WindowStartMs(), r.start);
        EXPECT_EQ(WindowEndMs(), r.end);
    }
}

TEST_F(GraphPaneTest, GZoomButtonsStepHalfAGAndStopAtTheirEnds)
{
    TGraphControl* g = GraphControl;
    const int repaints = g->ChartSD->RepaintCount();
    driver.Click(*g->ImageYBig);
    EXPECT_EQ(Right()->Maximum(), 1.0);
    EXPECT_EQ(Right()->Minimum(), -1.0);
    EXPECT_TRUE(g->ImageYBig->Enabled());
    driver.Click(*g->ImageYBig);
    EXPECT_EQ(Right()->Maximum(), 0.5);
    EXPECT_EQ(Right()->Minimum(), -0.5);
    EXPECT_FALSE(g->ImageYBig->Enabled());
    EXPECT_FALSE(driver.Click(*g->ImageYBig));
    EXPECT_EQ(g->ChartSD->RepaintCount(), repaints + 2);

    for (int i = 0; i < 15; ++i)
        driver.Click(*g->ImageYSmall);
    EXPECT_EQ(Right()->Maximum(), 8.0);
    EXPECT_EQ(Right()->Minimum(), -8.0);
    EXPECT_FALSE(g->ImageYSmall->Enabled());
    EXPECT_TRUE(g->ImageYBig->Enabled());
    g->BitBtnYSmallClick(g->ImageYSmall); // past the end: the range stays
    EXPECT_EQ(Right()->Maximum(), 8.0);

    driver.Click(*g->ImageYNone);
    EXPECT_EQ(Right()->Maximum(), 1.5);
    EXPECT_EQ(Right()->Minimum(), -1.5);
    EXPECT_TRUE(g->ImageYBig->Enabled());
    EXPECT_TRUE(g->ImageYSmall->Enabled());
}

bool Shows(const TImage* image, const char16_t* prefix)
{
    const auto expected = GraphPicture(UnicodeString(prefix) + IntToStr(static_cast<int>(image->Tag())));
    const auto* shown = dynamic_cast<const TBitmap*>(image->Picture()->Graphic());
    return shown && shown->Pixels() == expected->Pixels();
}

TEST_F(GraphPaneTest, ButtonsShowThePressedPictureWhileHeld)
{
    TGraphControl* g = GraphControl;
    for (TImage* image : {g->ImageXNone, g->ImageXBig, g->ImageYBig, g->ImageYNone, g->ImageYSmall}) {
        SCOPED_TRACE(TestDriver::Utf8(image->Name()));
        ASSERT_TRUE(driver.MouseDown(*image, 2, 2, mbRight));
        EXPECT_TRUE(Shows(image, u"GF_BTN_B_"));
        driver.MouseUp(*image, 2, 2, mbRight);
        EXPECT_TRUE(Shows(image, u"GF_BTN_A_"));
    }
    // A disabled button takes no press and keeps its picture.
    EXPECT_FALSE(driver.MouseDown(*g->ImageXSmall, 2, 2));
    EXPECT_TRUE(Shows(g->ImageXSmall, u"GF_BTN_A_"));

    // A click that disables its own button still ends on the normal picture.
    driver.Click(*g->ImageYBig);
    ASSERT_TRUE(driver.MouseDown(*g->ImageYBig, 2, 2));
    EXPECT_TRUE(Shows(g->ImageYBig, u"GF_BTN_B_"));
    driver.MouseUp(*g->ImageYBig, 2, 2);
    EXPECT_FALSE(g->ImageYBig->Enabled());
    EXPECT_TRUE(Shows(g->ImageYBig, u"GF_BTN_A_"));
}

TEST_F(GraphPaneTest, CheckBoxesShowAndHideTheirCurvesAcrossRecordings)
{
    TGraphControl* g = GraphControl;
    const struct {
        TCheckBox* TGraphControl::*box;
        int series;
    } rows[] = {{&TGraphControl::ChkBoxSpeed, 2},
                {&TGraphControl::ChkBoxGX, 3},
                {&TGraphControl::ChkBoxGY, 4},
                {&TGraphControl::ChkBoxGZ, 5}};
    const auto drive = SmallDrive();
    g->SetGraphData(drive.get());
    for (const auto& r : rows) {
        SCOPED_TRACE(r.series);
        TCheckBox* box = g->*r.box;
        const int points = Series(r.series)->Count();
        ASSERT_GT(points, 0);
        EXPECT_TRUE(driver.Click(*box));
        EXPECT_FALSE(box->Checked());
        EXPECT_FALSE(Series(r.series)->Active());
        EXPECT_EQ(Series(r.series)->Count(), points); // the points stay
        g->ResetGraph();
        g->SetGraphData(drive.get());
        EXPECT_FALSE(box->Checked()); // a new recording does not tick it again
        EXPECT_FALSE(Series(r.series)->Active());
        driver.Click(*box);
        EXPECT_TRUE(Series(r.series)->Active());
    }
}

} // namespace
