// The track bar in whole steps under the mouse: where each position sits,
// a press beside the thumb, a drag of the thumb.
#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class TrackBarStepsTest : public VclTest {
protected:
    TrackBarStepsTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        bar = new TTrackBar(form);
        bar->SetParent(form);
        bar->SetBounds(88, 132, 289, 28);
        bar->SetMax(4);
        bar->SetPageSize(1);
        bar->SetPosition(2);
        bar->OnChange = [this](TObject*) { log.Add(std::to_string(bar->Position())); };
        form->Show();
    }
    TForm* form;
    TTrackBar* bar;
    EventLog log;
};

TEST_F(TrackBarStepsTest, FivePositionsAcrossTheBar)
{
    // The ends 11 px in from either side, the middle in the middle.
    const int pixels[] = {11, 78, 144, 211, 277};
    for (int p = 0; p <= 4; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(bar->PixelOf(p), pixels[p]);
        EXPECT_EQ(bar->PositionAt(pixels[p]), p);
    }
    // Between two positions the nearer one wins.
    const std::pair<int, int> nearest[] = {{-50, 0}, {44, 0}, {45, 1}, {177, 2}, {178, 3}, {1000, 4}};
    for (const auto& [pixel, position] : nearest) {
        SCOPED_TRACE(pixel);
        EXPECT_EQ(bar->PositionAt(pixel), position);
    }
    EXPECT_EQ(bar->ThumbRect(), TRect(139, 2, 150, 20));
}

TEST_F(TrackBarStepsTest, APressBesideTheThumbStepsADragSnaps)
{
    driver->MouseDown(*bar, 250, 10); // right of the thumb: one page on
    driver->MouseUp(*bar, 250, 10);
    driver->MouseDown(*bar, 250, 10);
    driver->MouseUp(*bar, 250, 10);
    driver->MouseDown(*bar, 20, 10); // left of it: one page back
    driver->MouseUp(*bar, 20, 10);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"3", "4", "3"}));

    const TRect thumb = bar->ThumbRect();
    driver->MouseDown(*bar, thumb.Left + 3, 8);
    driver->MouseMove(*bar, 100, 8); // nearest to 78: position 1
    driver->MouseMove(*bar, 60, 40); // still 1
    driver->MouseMove(*bar, -200, 8); // past the end: 0
    driver->MouseUp(*bar, -200, 8);
    driver->MouseMove(*bar, 277, 8); // released: no drag
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"1", "0"}));

    bar->SetEnabled(false);
    EXPECT_FALSE(driver->MouseDown(*bar, 250, 10));
    EXPECT_EQ(bar->Position(), 0);
}

} // namespace
