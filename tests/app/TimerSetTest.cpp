// The recorder settings window as far as the rest of the program uses it:
// created hidden with its texts, every button hides it and asks the
// playback control for a repaint.
#include "recorder/TimerSet.h"

#include "playback/VideoView.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/win.h"
#include "tests/support/DecoderCard.h"

#include <gtest/gtest.h>

namespace {

class TimeSetTest : public ::testing::Test {
protected:
    TimeSetTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        Application->CreateForm(main);
        Application->CreateForm(TimeSet);
        Application->CreateForm(PlayControl);
        main->Show();
    }
    ~TimeSetTest() override { Application->DestroyComponents(); }

    // The repaint requests waiting in the playback control's queue.
    std::vector<std::pair<win::WPARAM, win::LPARAM>> TakeRepaints()
    {
        std::vector<std::pair<win::WPARAM, win::LPARAM>> taken;
        win::MSG m;
        while (win::PeekMessage(&m, PlayControl->Handle(), WM_VIDEO_REPAINT, WM_VIDEO_REPAINT, win::PM_REMOVE))
            taken.emplace_back(m.wParam, m.lParam);
        return taken;
    }

    // The playback control's end goes through the decoder removal, which
    // reads the registry: an in-memory one, and no program started.
    test_support::DecoderCard decoderSeams;
    TApplication app;
    TestDriver driver;
    TForm* main = nullptr;
};

TEST_F(TimeSetTest, CreatedHiddenWithItsTexts)
{
    EXPECT_FALSE(TimeSet->Visible());
    EXPECT_EQ(TimeSet->Caption(), UnicodeString(u"本体設定"));
    EXPECT_EQ(TimeSet->BorderStyle(), bsToolWindow);
    EXPECT_EQ(TimeSet->FormStyle(), fsStayOnTop);
    EXPECT_EQ(TimeSet->Position(), poMainFormCenter);
    const std::pair<TControl*, const char16_t*> texts[] = {
        {TimeSet->LabelHeader, u"時刻を入力"}, {TimeSet->LabelDate, u"日付"},
        {TimeSet->LabelTime, u"時刻"},         {TimeSet->Button1, u"時刻設定"},
        {TimeSet->Button2, u"キャンセル"},     {TimeSet->LabelGEnable, u"G検知イベント機能"},
        {TimeSet->LabelEvent, u"イベントファイル上書き"}, {TimeSet->LabelGHeader, u"G感度設定"},
        {TimeSet->LabelLow, u"低"},            {TimeSet->LabelMid, u"標準"},
        {TimeSet->LabelHigh, u"高"},           {TimeSet->ButtonOK, u"G感度設定"},
        {TimeSet->ButtonCancel, u"キャンセル"},
    };
    for (const auto& [control, text] : texts) {
        SCOPED_TRACE(TestDriver::Utf8(control->Name()));
        EXPECT_EQ(control->Caption(), UnicodeString(text));
    }
}

TEST_F(TimeSetTest, EveryButtonHidesThenPostsARepaint)
{
    for (TButton* button : {TimeSet->ButtonOK, TimeSet->ButtonCancel, TimeSet->Button1, TimeSet->Button2}) {
        SCOPED_TRACE(TestDriver::Utf8(button->Name()));
        TimeSet->Show();
        button->Click();
        EXPECT_FALSE(TimeSet->Visible());
        EXPECT_EQ(TakeRepaints(), (std::vector<std::pair<win::WPARAM, win::LPARAM>>{{1, 0}}));
    }
    // As a user: the first page's cancel button.
    TimeSet->Show();
    EXPECT_TRUE(driver.Click(u"TimeSet", u"ButtonCancel"));
    EXPECT_EQ(TakeRepaints().size(), 1u);

    // A close request keeps the window for the next showing.
    TimeSet->Show();
    TimeSet->Close();
    EXPECT_FALSE(TimeSet->Visible());
    driver.Pump();
    ASSERT_NE(TimeSet, nullptr);
    TimeSet->Show();
    EXPECT_TRUE(TimeSet->Visible());
}

TEST_F(TimeSetTest, WithoutThePlaybackControlTheButtonsOnlyHide)
{
    delete PlayControl;
    ASSERT_EQ(PlayControl, nullptr);
    TimeSet->Show();
    TimeSet->ButtonOK->Click();
    EXPECT_FALSE(TimeSet->Visible());
}

} // namespace
