// The pane's parts for each screen layout, its state after creation, and a
// snapshot of it with a small drive drawn.
#include "tests/tracks_graph/GraphFixture.h"

#include "app/Common.h"
#include "mainwindow/MAIN.h"
#include "tracks/GraphButtonArt.h"

namespace {

struct Box {
    int left, top, width, height;
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& b, std::ostream* os)
{
    *os << "{" << b.left << ", " << b.top << ", " << b.width << ", " << b.height << "}";
}

Box BoxOf(const TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

TEST_F(GraphPaneTest, ArrangeGraphPlacesThePartsForEachLayout)
{
    // The four PanelGraph sizes of the main window's layouts, and one more
    // panel for the smallest layout. A difference here is legitimate only
    // when the layout table of the pane changes.
    struct Row {
        int layout, panelW, panelH;
        int labelSize;
        Box panelRight, chart, xStrip, xSmall, xNone, xBig, yStrip, yBig, yNone, ySmall;
    };
    const Row rows[] = {
        {0,
         919,
         214,
         9,
         {828, 15, 80, 89},
         {35, 33, 790, 155},
         {745, 15, 80, 15},
         {745, 15, 21, 15},
         {766, 15, 38, 15},
         {804, 15, 21, 15},
         {6, 21, 15, 70},
         {6, 21, 15, 18},
         {6, 39, 15, 31},
         {6, 70, 15, 18}},
        {1,
         766,
         178,
         8,
         {675, 12, 80, 89},
         {30, 30, 642, 133},
         {592, 12, 80, 15},
         {592, 12, 21, 15},
         {613, 12, 38, 15},
         {651, 12, 21, 15},
         {6, 21, 15, 68},
         {6, 21, 15, 17},
         {6, 38, 15, 30},
         {6, 68, 15, 17}},
        {2,
         575,
         134,
         7,
         {484, 9, 80, 89},
         {22, 27, 459, 102},
         {401, 9, 80, 15},
         {401, 9, 21, 15},
         {422, 9, 38, 15},
         {460, 9, 21, 15},
         {6, 21, 15, 68},
         {6, 21, 15, 17},
         {6, 38, 15, 30},
         {6, 68, 15, 17}},
        {3,
         431,
         101,
         7,
         {340, 3, 80, 89},
         {10, 18, 327, 82},
         {273, 3, 64, 12},
         {273, 3, 17, 12},
         {290, 3, 30, 12},
         {320, 3, 17, 12},
         {6, 21, 12, 58},
         {6, 21, 12, 15},
         {6, 36, 12, 26},
         {6, 62, 12, 15}},
        {3,
         630,
         150,
         7,
         {539, 3, 80, 89},
         {10, 18, 526, 82},
         {472, 3, 64, 12},
         {472, 3, 17, 12},
         {489, 3, 30, 12},
         {519, 3, 17, 12},
         {6, 21, 12, 58},
         {6, 21, 12, 15},
         {6, 36, 12, 26},
         {6, 62, 12, 15}},
    };
    TGraphControl* g = GraphControl;
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "layout " << r.layout << " on " << r.panelW << " x " << r.panelH);
        Arrange(r.layout, r.panelW, r.panelH);
        EXPECT_EQ(g->Width(), r.panelW);
        EXPECT_EQ(g->Height(), r.panelH);
        EXPECT_EQ(BoxOf(g->PanelRight), r.panelRight);
        EXPECT_EQ(BoxOf(g->ChartSD), r.chart);
        EXPECT_EQ(BoxOf(g->ImageXZoom), r.xStrip);
        EXPECT_EQ(BoxOf(g->ImageXSmall), r.xSmall);
        EXPECT_EQ(BoxOf(g->ImageXNone), r.xNone);
        EXPECT_EQ(BoxOf(g->ImageXBig), r.xBig);
        EXPECT_EQ(BoxOf(g->ImageYZoom), r.yStrip);
        EXPECT_EQ(BoxOf(g->ImageYBig), r.yBig);
        EXPECT_EQ(BoxOf(g->ImageYNone), r.yNone);
        EXPECT_EQ(BoxOf(g->ImageYSmall), r.ySmall);
        for (TChartAxis* axis : {Left(), Right(), Bottom()})
            EXPECT_EQ(axis->LabelsFont.Size(), r.labelSize);
    }
}

TEST_F(GraphPaneTest, WithoutALayoutTheArrangementStays)
{
    Arrange(1, 766, 178);
    const Box chart = BoxOf(GraphControl->ChartSD);
    for (int bad : {-1, 4}) {
        SCOPED_TRACE(bad);
        Arrange(bad, 919, 214);
        EXPECT_EQ(BoxOf(GraphControl->ChartSD), chart);
        EXPECT_EQ(Left()->LabelsFont.Size(), 8);
    }
}

TEST_F(GraphPaneTest, AfterCreationThePaneShowsAnEmptyMinute)
{
    TGraphControl* g = GraphControl;
    EXPECT_EQ(WindowStartMs(), 0);
    EXPECT_EQ(WindowEndMs(), 60000);
    EXPECT_EQ(g->XSpanIndex(), 3);
    EXPECT_FALSE(g->ImageXSmall->Enabled());
    EXPECT_TRUE(g->ImageXBig->Enabled());
    EXPECT_TRUE(g->ImageYBig->Enabled());
    EXPECT_TRUE(g->ImageYSmall->Enabled());
    EXPECT_EQ(Right()->Minimum(), -1.5);
    EXPECT_EQ(Right()->Maximum(), 1.5);
    EXPECT_EQ(Left()->Minimum(), -2.0);
    EXPECT_EQ(Left()->Maximum(), 125.0);
    EXPECT_EQ(g->SpeedAxisMax(), 125.0f);
    EXPECT_EQ(g->PlayPositionMs(), 0);
    EXPECT_EQ(g->IdxSpeedVal->Caption(), UnicodeString());
    EXPECT_EQ(g->IdxLabelSpeed->Caption(), UnicodeString(u"速度"));
    EXPECT_EQ(g->IdxLabelGX->Caption(), UnicodeString(u"上下"));
    EXPECT_EQ(g->IdxLabelGY->Caption(), UnicodeString(u"左右"));
    EXPECT_EQ(g->IdxLabelGZ->Caption(), UnicodeString(u"前後"));
    for (TCheckBox* box : {g->ChkBoxSpeed, g->ChkBoxGX, g->ChkBoxGY, g->ChkBoxGZ})
        EXPECT_TRUE(box->Checked());
    EXPECT_EQ(g->GXColor(), clAqua);
    EXPECT_EQ(g->GYColor(), clYellow);
    EXPECT_EQ(g->GZColor(), clRed);

    // Two empty design series, then speed, G X, G Y, G Z and the cursor.
    struct Row {
        TColor colour;
        int width;
        TVertAxis axis;
        bool dateTime;
    };
    const Row rows[] = {{clWhite, 3, aLeftAxis, false}, {clWhite, 3, aRightAxis, false}, {clLime, 1, aLeftAxis, true},
                        {clAqua, 1, aRightAxis, true},  {clYellow, 1, aRightAxis, true}, {clRed, 1, aRightAxis, true},
                        {clWhite, 2, aLeftAxis, true}};
    ASSERT_EQ(g->ChartSD->SeriesCount(), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Series(i)->Count(), 0);
        EXPECT_EQ(Series(i)->LinePen.Color, rows[i].colour);
        EXPECT_EQ(Series(i)->LinePen.Width, rows[i].width);
        EXPECT_EQ(Series(i)->VertAxis(), rows[i].axis);
        EXPECT_EQ(Series(i)->XValues()->DateTime(), rows[i].dateTime);
        EXPECT_TRUE(Series(i)->Active());
    }
    // Each button shows its normal picture.
    for (TImage* image : {g->ImageXSmall, g->ImageXNone, g->ImageXBig, g->ImageYBig, g->ImageYNone, g->ImageYSmall}) {
        SCOPED_TRACE(TestDriver::Utf8(image->Name()));
        const auto expected = GraphPicture(u"GF_BTN_A_" + IntToStr(static_cast<int>(image->Tag())));
        const auto* shown = dynamic_cast<const TBitmap*>(image->Picture()->Graphic());
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->Pixels() == expected->Pixels());
    }
}

TEST_F(GraphPaneTest, ButtonPicturesHaveTheirSizesAndUnknownNamesAreRefused)
{
    const struct {
        const char16_t* name;
        int width, height;
    } rows[] = {{u"GF_BTN_A_1", 35, 20}, {u"GF_BTN_A_2", 51, 20}, {u"GF_BTN_A_3", 34, 20},
                {u"gf_btn_a_4", 21, 28}, {u"GF_BTN_A_5", 21, 37}, {u"GF_BTN_B_6", 20, 28}};
    for (const auto& r : rows) {
        SCOPED_TRACE(TestDriver::Utf8(r.name));
        const auto picture = GraphPicture(r.name);
        EXPECT_EQ(picture->Width(), r.width);
        EXPECT_EQ(picture->Height(), r.height);
    }
    EXPECT_FALSE(GraphPicture(u"GF_BTN_A_1")->Pixels() == GraphPicture(u"GF_BTN_B_1")->Pixels());
    for (const char16_t* bad : {u"GF_BTN_A_0", u"GF_BTN_A_7", u"GF_BTN_C_1", u"", u"GF_BTN_A_1 "})
        EXPECT_THROW(GraphPicture(bad), EResNotFound) << TestDriver::Utf8(bad);
}

TEST_F(GraphPaneTest, SnapshotOfASmallDrive)
{
    const struct {
        int layout, w, h;
        const char* file;
    } shots[] = {{0, 919, 214, "/graph_pane_layout0.png"}, {3, 431, 101, "/graph_pane_layout3.png"}};
    const auto drive = SmallDrive();
    for (const auto& s : shots) {
        SCOPED_TRACE(s.file);
        Arrange(s.layout, s.w, s.h);
        GraphControl->SetGraphData(drive.get());
        GraphControl->SetPos(52300);
        GraphControl->SetSpeedText("63");
        const PixelBuffer shot = host->Snapshot();
        EXPECT_EQ(shot.Width(), s.w);
        EXPECT_TRUE(host->SaveSnapshot(std::string(VM_BINARY_DIR) + s.file));
        // The cursor is drawn in white somewhere inside the chart.
        const TChartLayout layout = GraphControl->ChartSD->CalcLayout();
        const int x =
            static_cast<int>(std::lround(GraphControl->ChartSD->ValueToPixel(*Bottom(), MsToTime(52300), layout))) +
            GraphControl->ChartSD->Left();
        const int y = GraphControl->ChartSD->Top() + (layout.Plot.Top + layout.Plot.Bottom) / 2;
        EXPECT_EQ(shot.ColorAt(x, y), clWhite);
    }
}

} // namespace
