// The recorder settings window: built hidden with its texts and layout,
// filled at every showing from "setup.ini" and the clock, shown only while
// the card answers, and hidden (never freed) by its buttons and a close.
#include "RecorderFixture.h"

#include "platform/vcl/PngWriter.h"

#include <filesystem>

namespace {

using recorder_test::PageState;
using recorder_test::RecorderTest;
using recorder_test::Repaints;

class TimeSetWindowTest : public RecorderTest {};

TEST_F(TimeSetWindowTest, CreatedHiddenWithItsTextsAndLayout)
{
    EXPECT_FALSE(TimeSet->Visible());
    EXPECT_EQ(TimeSet->Caption(), UnicodeString(u"本体設定"));
    EXPECT_EQ(TimeSet->BorderStyle(), bsToolWindow);
    EXPECT_EQ(TimeSet->BorderIcons(), TBorderIcons{});
    EXPECT_EQ(TimeSet->FormStyle(), fsStayOnTop);
    EXPECT_EQ(TimeSet->Position(), poMainFormCenter);
    EXPECT_EQ(TimeSet->ClientWidth(), 457);
    EXPECT_EQ(TimeSet->ClientHeight(), 315);
    EXPECT_EQ(TimeSet->PageControl1->ActivePage(), TimeSet->TabSheet1);

    struct Row {
        TControl* control;
        const char16_t* text;
        TRect bounds; // left, top, right, bottom in the parent
    };
    const Row rows[] = {
        {TimeSet->PageControl1, u"", TRect(0, 0, 457, 315)},
        {TimeSet->TabSheet1, u"G感度調整", TRect(4, 28, 453, 311)},
        {TimeSet->PanelGSensor, u"", TRect(0, 0, 449, 283)},
        {TimeSet->LabelGEnable, u"G検知イベント機能", TRect(27, 32, 27 + 136, 48)},
        {TimeSet->Panel1, u"", TRect(232, 30, 417, 50)},
        {TimeSet->RadioButtonGYes, u"有効", TRect(4, 0, 65, 17)},
        {TimeSet->RadioButtonGNo, u"無効", TRect(85, 0, 153, 17)},
        {TimeSet->LabelEvent, u"イベントファイル上書き", TRect(27, 70, 27 + 176, 86)},
        {TimeSet->Panel2, u"", TRect(232, 68, 417, 89)},
        {TimeSet->RadioButtonEYes, u"許可", TRect(4, -1, 65, 16)},
        {TimeSet->RadioButtonENo, u"禁止", TRect(85, -1, 153, 16)},
        {TimeSet->LabelGHeader, u"G感度設定", TRect(27, 104, 27 + 72, 120)},
        {TimeSet->TrackBarGSet, u"", TRect(88, 132, 377, 160)},
        {TimeSet->LabelLow, u"低", TRect(91, 166, 107, 182)},
        {TimeSet->LabelMid, u"標準", TRect(216, 166, 248, 182)},
        {TimeSet->LabelHigh, u"高", TRect(357, 166, 373, 182)},
        {TimeSet->Label1, u"(0.6G)", TRect(75, 188, 123, 204)},
        {TimeSet->Label2, u"(0.45G)", TRect(205, 188, 261, 204)},
        {TimeSet->Label3, u"(0.3G)", TRect(342, 188, 390, 204)},
        {TimeSet->ButtonOK, u"G感度設定", TRect(91, 221, 204, 246)},
        {TimeSet->ButtonCancel, u"キャンセル", TRect(268, 221, 373, 246)},
        {TimeSet->TabSheet2, u"時刻設定", TRect(4, 28, 453, 311)},
        {TimeSet->PanelTimeSet, u"", TRect(0, 0, 449, 283)},
        {TimeSet->LabelHeader, u"時刻を入力", TRect(32, 33, 112, 49)},
        {TimeSet->LabelDate, u"日付", TRect(112, 85, 144, 101)},
        {TimeSet->DateTimePicker1, nullptr, TRect(204, 80, 310, 104)},
        {TimeSet->LabelTime, u"時刻", TRect(112, 138, 144, 154)},
        {TimeSet->DateTimePicker2, nullptr, TRect(204, 133, 310, 157)},
        {TimeSet->Button1, u"時刻設定", TRect(64, 205, 177, 230)},
        {TimeSet->Button2, u"キャンセル", TRect(240, 205, 345, 230)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TestDriver::Utf8(row.control->Name()));
        if (row.text) {
            EXPECT_EQ(row.control->Caption(), UnicodeString(row.text));
        }
        EXPECT_EQ(row.control->BoundsRect(), row.bounds);
        EXPECT_EQ(row.control->Font()->Height(), -16);
    }
    // Tab orders within each page.
    const std::pair<TWinControl*, int> tabs[] = {
        {TimeSet->Panel1, 0},          {TimeSet->Panel2, 1},       {TimeSet->TrackBarGSet, 2},
        {TimeSet->ButtonOK, 3},        {TimeSet->ButtonCancel, 4}, {TimeSet->DateTimePicker2, 0},
        {TimeSet->DateTimePicker1, 1}, {TimeSet->Button1, 2},      {TimeSet->Button2, 3},
    };
    for (const auto& [control, order] : tabs) {
        SCOPED_TRACE(TestDriver::Utf8(control->Name()));
        EXPECT_EQ(control->TabOrder(), order);
    }
    EXPECT_EQ(TimeSet->TrackBarGSet->Min(), 0);
    EXPECT_EQ(TimeSet->TrackBarGSet->Max(), 4);
    EXPECT_EQ(TimeSet->TrackBarGSet->PageSize(), 1);
    EXPECT_EQ(TimeSet->TrackBarGSet->Position(), 2);
    EXPECT_EQ(TimeSet->DateTimePicker1->Kind(), dtkDate);
    EXPECT_EQ(TimeSet->DateTimePicker1->Format(), UnicodeString(u"yyyy/MM/dd"));
    EXPECT_EQ(TimeSet->DateTimePicker1->MinDate(), EncodeDate(2001, 1, 1));
    EXPECT_EQ(TimeSet->DateTimePicker1->MaxDate(), EncodeDate(2037, 12, 31) + EncodeTime(23, 59, 59, 0));
    EXPECT_EQ(TimeSet->DateTimePicker2->Kind(), dtkTime);
    EXPECT_EQ(TimeSet->DateTimePicker2->Format(), UnicodeString(u"HH:mm"));
    EXPECT_TRUE(TimeSet->RadioButtonGYes->Checked());
    EXPECT_TRUE(TimeSet->RadioButtonEYes->Checked());
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TimeSetWindowTest, ControlsAfterShowing)
{
    struct Row {
        const char* name;
        std::optional<std::string> setupIni; // none: no file
        int year, month, day, hour, minute;
        PageState page;
        const char16_t* date;
        const char16_t* time;
        std::vector<std::string> log;
    };
    const PageState before{false, 1, false};
    const Row rows[] = {
        {"no file: defaults and the warning",
         std::nullopt,
         2024,
         3,
         5,
         14,
         7,
         {true, 2, true},
         u"2024/03/05",
         u"14:07",
         {"[Warning] 設定ファイルが見つかりません。"}},
        {"the file's values",
         "[Monitor]\r\nPROTECT_EVFILE=0\r\nGSS_THRESHOLD=9\r\nGSS_EVENT_ENABLE=0\r\n",
         2024,
         12,
         31,
         23,
         59,
         {false, 0, false},
         u"2024/12/31",
         u"23:59",
         {}},
        {"allowed, high, on",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=5\r\nGSS_EVENT_ENABLE=1\r\n",
         2001,
         1,
         1,
         0,
         0,
         {true, 4, true},
         u"2001/01/01",
         u"00:00",
         {}},
        // Fault: a clock outside the date picker's range raised there and
        // the settings were never read. The date is held at the range's end.
        {"a clock before the range",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=8\r\nGSS_EVENT_ENABLE=1\r\n",
         1999,
         7,
         1,
         9,
         30,
         {true, 1, true},
         u"2001/01/01",
         u"09:30",
         {}},
        {"a clock after the range",
         "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=6\r\nGSS_EVENT_ENABLE=0\r\n",
         2040,
         2,
         29,
         18,
         5,
         {true, 3, false},
         u"2037/12/31",
         u"18:05",
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(card.Host("setup.ini"));
        if (row.setupIni)
            card.Write("setup.ini", *row.setupIni);
        SetClock(row.year, row.month, row.day, row.hour, row.minute, 42);
        SetPage(before);
        TimeSet->DateTimePicker1->SetDate(EncodeDate(2010, 10, 10)); // what was entered before
        ShowWindow();
        EXPECT_TRUE(TimeSet->Visible());
        EXPECT_EQ(Page(), row.page);
        EXPECT_EQ(TimeSet->DateTimePicker1->Text(), UnicodeString(row.date));
        EXPECT_EQ(TimeSet->DateTimePicker2->Text(), UnicodeString(row.time));
        EXPECT_DOUBLE_EQ(TimeSet->DateTimePicker1->Time(), 0.0); // the date at 00:00
        EXPECT_EQ(TakeLog(), row.log);
        TimeSet->ButtonCancel->Click();
    }
    // The warning was a box the user closed, with its caption.
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].text, std::u16string(u"設定ファイルが見つかりません。"));
    EXPECT_EQ(driver.Boxes()[0].caption, std::u16string(u"Warning"));
}

TEST_F(TimeSetWindowTest, CancelKeepsWhatWasEnteredUntilTheNextShowing)
{
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    ShowWindow();
    driver.Click(*TimeSet->RadioButtonENo);
    driver.PressKey(*TimeSet->TrackBarGSet, VK_RIGHT);
    PressTab(1);
    EXPECT_TRUE(driver.SetDateTime(*TimeSet->DateTimePicker1, EncodeDate(2030, 1, 2)));
    EXPECT_TRUE(driver.Click(u"TimeSet", u"Button2"));
    EXPECT_EQ(Page(), (PageState{false, 3, true}));
    EXPECT_EQ(TimeSet->DateTimePicker1->Text(), UnicodeString(u"2030/01/02"));
    ShowWindow();
    EXPECT_EQ(Page(), (PageState{true, 2, true}));
    EXPECT_EQ(TimeSet->DateTimePicker1->Text(), UnicodeString(u"2024/03/05"));
    EXPECT_FALSE(card.Exists("TIMESET.ini"));
}

TEST_F(TimeSetWindowTest, EveryButtonHidesThenPostsARepaint)
{
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    for (TButton* button : {TimeSet->ButtonOK, TimeSet->ButtonCancel, TimeSet->Button1, TimeSet->Button2}) {
        SCOPED_TRACE(TestDriver::Utf8(button->Name()));
        ShowWindow();
        PressTab(button->Parent()->Parent() == TimeSet->TabSheet1 ? 0 : 1);
        EXPECT_TRUE(driver.Click(*button));
        EXPECT_FALSE(TimeSet->Visible());
        EXPECT_EQ(TakeRepaints(), (Repaints{{1, 0}}));
    }
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TimeSetWindowTest, OpensOnThePageItWasHiddenOn)
{
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    ShowWindow();
    PressTab(1);
    EXPECT_TRUE(TimeSet->Button2->Showing());
    EXPECT_FALSE(TimeSet->ButtonOK->Showing());
    driver.Click(*TimeSet->Button2);
    ShowWindow();
    EXPECT_EQ(TimeSet->PageControl1->ActivePage(), TimeSet->TabSheet2);
}

TEST_F(TimeSetWindowTest, ShownOnlyWhileTheCardAnswers)
{
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    win::DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_FALSE(TimeSet->ShowWhenCardReady());
    EXPECT_FALSE(TimeSet->Visible());
    win::DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_TRUE(TimeSet->ShowWhenCardReady());
    EXPECT_TRUE(TimeSet->Visible());
    EXPECT_TRUE(driver.Boxes().empty());
}

// Fault: a close request freed the window that TimeSet and the main window
// go on using. It hides, as cancel does.
TEST_F(TimeSetWindowTest, ACloseRequestOnlyHides)
{
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    TTimeSet* const window = TimeSet;
    ShowWindow();
    TimeSet->Close();
    EXPECT_FALSE(TimeSet->Visible());
    EXPECT_EQ(TakeRepaints(), (Repaints{{1, 0}}));
    driver.Pump();
    EXPECT_EQ(TimeSet, window);
    ShowWindow();
    EXPECT_TRUE(TimeSet->Visible());
}

TEST_F(TimeSetWindowTest, WithoutThePlaybackControlTheButtonsOnlyHide)
{
    delete PlayControl;
    ASSERT_EQ(PlayControl, nullptr);
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    ShowWindow();
    TimeSet->ButtonCancel->Click();
    EXPECT_FALSE(TimeSet->Visible());
}

// Both pages side by side, written to the build folder to be looked at.
TEST_F(TimeSetWindowTest, SnapshotOfBothPages)
{
    card.Write("setup.ini", "[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n");
    ShowWindow();
    const PixelBuffer first = TimeSet->Snapshot();
    TimeSet->PageControl1->SetActivePage(TimeSet->TabSheet2);
    const PixelBuffer second = TimeSet->Snapshot();
    PixelBuffer both(first.Width() * 2 + 16, first.Height());
    TCanvas canvas(&both);
    canvas.Brush.Color = clWhite;
    canvas.FillRect(TRect(0, 0, both.Width(), both.Height()));
    canvas.CopyFrom(TRect(0, 0, first.Width(), first.Height()), first, TRect(0, 0, first.Width(), first.Height()));
    canvas.CopyFrom(TRect(first.Width() + 16, 0, both.Width(), both.Height()), second,
                    TRect(0, 0, second.Width(), second.Height()));
    EXPECT_TRUE(PngWriter::Save(both, std::string(VM_BINARY_DIR) + "/recorder_settings.png"));
    // The second page's date field is white where the first page shows its panel.
    const int x = TimeSet->FrameX() + 4 + 204 + 20, y = TimeSet->FrameTop() + 28 + 80 + 4;
    EXPECT_EQ(second.ColorAt(x, y), clWhite);
    EXPECT_NE(first.ColorAt(x, y), clWhite);
}

} // namespace
