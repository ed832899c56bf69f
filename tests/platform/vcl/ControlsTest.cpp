#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class ControlsTest : public VclTest {
protected:
    ControlsTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        form->Show();
    }
    template <class T>
    T* Add()
    {
        auto* c = new T(form);
        c->SetParent(form);
        return c;
    }
    TForm* form;
    std::vector<std::string> log;
};

TEST_F(ControlsTest, CheckBoxClickFollowsEveryChangeOfState)
{
    auto* box = Add<TCheckBox>();
    box->OnClick = [&](TObject*) { log.push_back(box->Checked() ? "on" : "off"); };
    driver->Click(*box);
    box->SetChecked(true); // same state: nothing
    box->SetChecked(false); // the program's change raises OnClick too
    driver->PressKey(*box, VK_SPACE);
    EXPECT_EQ(log, (std::vector<std::string>{"on", "off", "on"}));
}

TEST_F(ControlsTest, RadioButtonsOfOneParentExcludeEachOther)
{
    auto* yes = Add<TRadioButton>();
    auto* no = Add<TRadioButton>();
    auto* panel = Add<TPanel>();
    auto* elsewhere = new TRadioButton(form);
    elsewhere->SetParent(panel);
    yes->OnClick = [&](TObject*) { log.push_back("yes"); };
    no->OnClick = [&](TObject*) { log.push_back("no"); };
    yes->SetChecked(true);
    elsewhere->SetChecked(true);
    driver->Click(*no);
    driver->Click(*no); // checked already: nothing
    EXPECT_FALSE(yes->Checked());
    EXPECT_TRUE(no->Checked());
    EXPECT_TRUE(elsewhere->Checked());
    EXPECT_EQ(log, (std::vector<std::string>{"yes", "no"}));
}

TEST_F(ControlsTest, RadioButtonsAreRoundAndCheckBoxesSquare)
{
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 40);
    form->SetColor(clBlack);
    auto* radio = Add<TRadioButton>();
    radio->SetBounds(0, 0, 100, 17);
    radio->SetChecked(true);
    auto* box = Add<TCheckBox>();
    box->SetBounds(0, 20, 100, 17);
    const PixelBuffer shot = form->Snapshot();
    // The 13-pixel mark sits 2 pixels down in its 17-pixel control.
    const TColor frame = ColorToRGB(clBtnShadow), ink = ColorToRGB(clWindowText), paper = ColorToRGB(clWindow);
    for (TPoint corner : {TPoint(0, 2), TPoint(12, 2), TPoint(0, 14), TPoint(12, 14)}) {
        EXPECT_EQ(shot.ColorAt(corner.X, corner.Y), clBlack) << "no corners on a radio button";
        EXPECT_EQ(shot.ColorAt(corner.X, corner.Y + 20), frame) << "a check box has them";
    }
    EXPECT_EQ(shot.ColorAt(6, 2), frame) << "the ring";
    EXPECT_EQ(shot.ColorAt(0, 8), frame);
    EXPECT_EQ(shot.ColorAt(6, 8), ink) << "the dot";
    EXPECT_EQ(shot.ColorAt(2, 8), paper);
    radio->SetChecked(false);
    EXPECT_EQ(form->Snapshot().ColorAt(6, 8), paper);
}

TEST_F(ControlsTest, ScrollBarArrowsScrollThenChange)
{
    auto* bar = Add<TScrollBar>();
    bar->SetParams(5, 0, 20);
    bar->SetPageSize(6);
    bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) {
        log.push_back("scroll " + std::to_string(code) + " " + std::to_string(pos));
    };
    bar->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(bar->Position())); };
    bar->Scroll(scLineUp);
    bar->Scroll(scLineDown);
    bar->Scroll(scPosition, 99); // limited to Max - PageSize + 1
    bar->Scroll(scLineDown); // at the end: scrolls, no change
    EXPECT_EQ(log,
              (std::vector<std::string>{"scroll 0 4", "change 4", "scroll 1 5", "change 5", "scroll 4 15", "change 15",
                                        "scroll 1 15"}));
    EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
    EXPECT_THROW(bar->SetPageSize(22), EInvalidOperation);
}

TEST_F(ControlsTest, TrackBarPositionIsLimitedAndChangesOnce)
{
    auto* bar = Add<TTrackBar>();
    bar->SetMin(0);
    bar->SetMax(4);
    bar->OnChange = [&](TObject*) { log.push_back(std::to_string(bar->Position())); };
    bar->SetPosition(2);
    bar->SetPosition(2);
    bar->SetPosition(9);
    driver->PressKey(*bar, VK_LEFT);
    EXPECT_EQ(log, (std::vector<std::string>{"2", "4", "3"}));
}

TEST_F(ControlsTest, ProgressBarLimitsPosition)
{
    auto* bar = Add<TProgressBar>();
    struct Row {
        int max, position, expected;
    };
    for (const Row& row : {Row{10, 3, 3}, Row{10, 11, 10}, Row{10, -1, 0}, Row{0, 5, 0}}) {
        SCOPED_TRACE(row.position);
        bar->SetMax(row.max);
        bar->SetPosition(row.position);
        EXPECT_EQ(bar->Position(), row.expected);
    }
    bar->SetMax(100);
    bar->SetPosition(80);
    bar->SetMax(50); // pulls the position down
    EXPECT_EQ(bar->Position(), 50);
}

TEST_F(ControlsTest, ZOrderDecidesTheControlUnderAPoint)
{
    auto* below = Add<TPanel>();
    auto* above = Add<TPanel>();
    below->SetBounds(0, 0, 50, 50);
    above->SetBounds(0, 0, 50, 50);
    EXPECT_EQ(form->ControlAtPos(TPoint(10, 10), false), above);
    above->SendToBack();
    EXPECT_EQ(form->ControlAtPos(TPoint(10, 10), false), below);
    below->SetEnabled(false);
    EXPECT_EQ(form->ControlAtPos(TPoint(10, 10), false), above);
    EXPECT_EQ(form->ControlAtPos(TPoint(10, 10), true), below);
    EXPECT_EQ(form->ControlAtPos(TPoint(60, 10), true), nullptr);
    EXPECT_THROW(form->Controls(5), EListError);
}

TEST_F(ControlsTest, AlignedControlsFillTheirParentInOrder)
{
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 100);
    auto* top = Add<TPanel>();
    top->SetHeight(10);
    top->SetAlign(alTop);
    auto* left = Add<TPanel>();
    left->SetWidth(30);
    left->SetAlign(alLeft);
    auto* client = Add<TPanel>();
    client->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 200, 10));
    EXPECT_EQ(left->BoundsRect(), Bounds(0, 10, 30, 90));
    EXPECT_EQ(client->BoundsRect(), Bounds(30, 10, 170, 90));
    form->SetWidth(300);
    EXPECT_EQ(client->BoundsRect(), Bounds(30, 10, 270, 90));
}

TEST_F(ControlsTest, SetParentRefusesCycles)
{
    auto* outer = Add<TPanel>();
    auto* inner = new TPanel(form);
    inner->SetParent(outer);
    EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
    EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
    EXPECT_EQ(outer->Parent(), form);
}

TEST_F(ControlsTest, ButtonModalResultReachesItsForm)
{
    auto* button = Add<TButton>();
    button->SetModalResult(mrOk);
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        EXPECT_EQ(form->ModalResult(), mrOk); // set before OnClick
    };
    driver->Click(*button);
    EXPECT_EQ(clicks, 1);
}

} // namespace
