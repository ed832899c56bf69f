#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class InputTest : public VclTest {
protected:
    InputTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 300);
        image = new TImage(form);
        image->SetName(u"Image1");
        image->SetParent(form);
        image->SetBounds(10, 20, 50, 40);
        Record(image, "image");
        form->Show();
    }
    void Record(TControl* c, const std::string& n) { RecordMouse(log, c, n); }
    TForm* form;
    TImage* image;
    EventLog log;
};

TEST_F(InputTest, ClickIsDownClickUp)
{
    EXPECT_TRUE(driver->Click(u"F", u"Image1"));
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{"image enter", "image down 0 25,20", "image click", "image up 0 25,20"}));
}

TEST_F(InputTest, RightButtonGivesNoClick)
{
    driver->MouseDown(*image, 1, 2, mbRight);
    driver->MouseUp(*image, 1, 2, mbRight);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"image enter", "image down 1 1,2", "image up 1 1,2"}));
}

TEST_F(InputTest, PressCapturesMovesAndReleaseOutside)
{
    auto* other = new TPanel(form);
    other->SetParent(form);
    other->SetBounds(200, 200, 50, 50);
    Record(other, "other");
    driver->MouseDown(*image, 5, 5);
    driver->MouseMove(*other, 0, 0); // over the other control, captured by the image
    driver->MouseUp(*other, 0, 0);
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{"image enter", "image down 0 5,5", "image move 190,180",
                                        "image up 0 190,180"})); // outside: no click
    driver->MouseMove(*image, -3, 1); // no capture now: goes where the mouse is
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"image move -3,1"}));
}

TEST_F(InputTest, DisabledControlGetsEnterAndLeaveOnly)
{
    image->SetEnabled(false);
    auto* other = new TPanel(form);
    other->SetParent(form);
    other->SetBounds(200, 200, 50, 50);
    EXPECT_FALSE(driver->Click(*image));
    driver->MouseMove(*image, 1, 1);
    driver->MouseMove(*other, 1, 1);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"image enter", "image leave"}));
}

TEST_F(InputTest, ADisabledParentBlocksItsChildren)
{
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* button = new TButton(form);
    button->SetParent(panel);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    panel->SetEnabled(false);
    EXPECT_FALSE(driver->Click(*button));
    panel->SetEnabled(true);
    panel->Hide();
    EXPECT_FALSE(driver->Click(*button)); // hidden
    panel->Show();
    EXPECT_TRUE(driver->Click(*button));
    EXPECT_EQ(clicks, 1);
}

TEST_F(InputTest, AClickThatDisablesItsControlStillGetsTheMouseUp)
{
    image->OnClick = [this](TObject*) {
        log.Add("image click");
        image->SetEnabled(false);
    };
    EXPECT_TRUE(driver->Click(*image));
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{"image enter", "image down 0 25,20", "image click", "image up 0 25,20"}));
    EXPECT_FALSE(driver->Click(*image)); // disabled now
    EXPECT_TRUE(log.Take().empty());
}

TEST_F(InputTest, AHandlerMayDeleteItsOwnControl)
{
    image->OnClick = [this](TObject*) { delete image; };
    EXPECT_TRUE(driver->Click(*image)); // no mouse-up to a deleted control
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"image enter", "image down 0 25,20"}));
}

TEST_F(InputTest, DoubleClickSequence)
{
    EXPECT_TRUE(driver->DoubleClick(*image));
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{"image enter", "image down 0 25,20", "image click", "image up 0 25,20",
                                        "image dblclick", "image down 0 double 25,20", "image up 0 25,20"}));
}

TEST_F(InputTest, HandlerExceptionGoesToTheExceptionBox)
{
    image->OnClick = [](TObject*) { throw Exception(u"click failed"); };
    driver->AnswerBox(IDOK);
    EXPECT_TRUE(driver->Click(*image));
    ASSERT_EQ(driver->Boxes().size(), 1u);
    EXPECT_EQ(driver->Boxes()[0].text, u"click failed.");
    EXPECT_EQ(log.Take().back(), "image up 0 25,20"); // the mouse-up still comes
}

TEST_F(InputTest, FindReachesNestedControlsAndFailsOnAMiss)
{
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetName(u"Panel1");
    auto* label = new TLabel(panel); // owned by the panel
    label->SetName(u"Deep");
    label->SetParent(panel);
    EXPECT_EQ(&driver->Find(u"f", u"deep"), label);
    EXPECT_EQ(&driver->Find<TLabel>(u"F", u"Deep"), label);
    driver->OnFailure = nullptr;
    EXPECT_THROW(driver->Find(u"F", u"Missing"), EDriverFailure);
    EXPECT_THROW(driver->Find<TButton>(u"F", u"Deep"), EDriverFailure);
    EXPECT_THROW(driver->Form(u"NoSuchForm"), EDriverFailure);
}

} // namespace
