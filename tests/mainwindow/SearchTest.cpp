// The search window: the nearest-row choice, the spin bars, the preset from
// the list and the jump to the chosen recording.
#include "ListFixture.h"

#include "app/Dlg.h"
#include "mainwindow/FileSearch.h"
#include "mainwindow/MAIN.h"

namespace list_test {
namespace {

TEST(SearchChoice, TheNearestStartWinsATieTheLaterAndDamagedDatesArePassedOver)
{
    const UnicodeString damaged = u"0000/00/00 00:00:00";
    const std::vector<UnicodeString> day = {u"2023/01/24 23:59:00", u"2023/01/25 00:05:00", u"2023/01/25 10:00:00",
                                            u"2023/01/25 10:20:00"};
    struct Row {
        const char* what;
        std::vector<UnicodeString> rows;
        const char16_t* date;
        const char16_t* hour;
        const char16_t* minute;
        int expected;
    };
    const Row rows[] = {
        {"before the first", day, u"2023/01/20", u"12", u"00", 0},
        {"after the last start", day, u"2023/02/01", u"00", u"30", 3},
        {"on a start", day, u"2023/01/25", u"10", u"00", 2},
        {"nearer the earlier", day, u"2023/01/25", u"10", u"09", 2},
        {"nearer the later", day, u"2023/01/25", u"10", u"11", 3},
        {"halfway: the later", day, u"2023/01/25", u"10", u"10", 3},
        {"one-digit hour and minute", day, u"2023/01/25", u"9", u"5", 2},
        {"\"00\" \"00\" stays on its date", day, u"2023/01/25", u"00", u"00", 1},
        // Only the texts "00" and "00" stay on the date: midnight written
        // otherwise takes the nearer row, of the day before.
        {"\"0\" \"0\": the nearer row", day, u"2023/01/25", u"0", u"0", 0},
        {"\"0\" \"00\": the nearer row", day, u"2023/01/25", u"0", u"00", 0},
        {"\"00\" \"0\": the nearer row", day, u"2023/01/25", u"00", u"0", 0},
        {"\"0\" \"0\" with no row before: the first", {u"2023/01/25 00:05:00"}, u"2023/01/25", u"0", u"0", 0},
        {"one minute past midnight: the nearest", day, u"2023/01/25", u"00", u"01", 0},
        {"a recording starting at 00:00:00 is found at 00:00",
         {u"2023/01/24 23:59:00", u"2023/01/25 00:00:00", u"2023/01/25 00:05:00"},
         u"2023/01/25",
         u"00",
         u"00",
         1},
        {"a recording starting at 00:00:00 is found at 0:0",
         {u"2023/01/24 23:59:00", u"2023/01/25 00:00:00", u"2023/01/25 00:05:00"},
         u"2023/01/25",
         u"0",
         u"0",
         1},
        {"a recording starting exactly at the time searched is taken", day, u"2023/01/25", u"00", u"05", 1},
        {"midnight with no recording that day: the nearest",
         {u"2023/01/24 23:59:00", u"2023/01/26 00:05:00"},
         u"2023/01/25",
         u"00",
         u"00",
         0},
        {"damaged dates first are passed over",
         {damaged, damaged, u"2023/01/25 10:00:00"},
         u"2023/01/20",
         u"00",
         u"00",
         2},
        {"a damaged date between is passed over",
         {u"2023/01/25 10:00:00", damaged, u"2023/01/25 10:20:00"},
         u"2023/01/25",
         u"10",
         u"12",
         2},
        {"event-only view: only its rows count", {u"2023/01/25 10:00:00"}, u"2023/01/25", u"23", u"59", 0},
        {"midnight before the framework's day 0",
         {u"1601/01/01 23:00:00", u"1601/01/02 00:40:00"},
         u"1601/01/02",
         u"00",
         u"00",
         1},
        {"no row converts", {damaged}, u"2023/01/25", u"10", u"00", -1},
        {"no rows", {}, u"2023/01/25", u"10", u"00", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ChooseSearchRow(row.rows, row.date, row.hour, row.minute), row.expected);
    }
    for (const char16_t* hour : {u"24", u"x", u""})
        EXPECT_THROW(ChooseSearchRow(day, u"2023/01/25", hour, u"00"), EConvertError) << rtl::ToUtf8(hour);
    EXPECT_THROW(ChooseSearchRow(day, u"2023/01/25", u"10", u"60"), EConvertError);
}

class SearchWindowTest : public ListTest {
protected:
    void Open()
    {
        WriteRecording("DATA/REC_0001.ASF", 9, 30);
        WriteRecording("DATA/REC_SAVE_0002.ASF", 9, 40);
        WriteRecording("DATA/REC_0003.ASF", 10, 0);
        BuildWindows();
        Application->CreateForm(FormSearch);
        StartUp();
        WaitForTracks();
    }
    void ClickArrow(TScrollBar* bar, bool up)
    {
        driver->MouseDown(*bar, 8, up ? 4 : bar->Height() - 4);
        driver->MouseUp(*bar, 8, up ? 4 : bar->Height() - 4);
    }
    std::string Current() const
    {
        const TFindData* r = ListControl->CurrentRecord();
        return r ? rtl::ToUtf8(RecordingFileName(r->FullPath)) : std::string("(none)");
    }
};

TEST_F(SearchWindowTest, TheFindCommandPresetsTheWindowAndTheSearchPlaysTheNearest)
{
    Open();
    ListControl->ListView1->SetItemIndex(1);
    WaitForTracks();
    MainForm->ImageFindClick(nullptr);

    TFormSearch& f = *FormSearch;
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Caption(), u"検索");
    EXPECT_EQ(f.ClientWidth(), 389);
    EXPECT_EQ(f.ClientHeight(), 228);
    EXPECT_EQ(f.FSearchListView, ListControl->ListView1);
    EXPECT_EQ(f.DateTimePicker1->Text(), u"2024/05/17");
    EXPECT_EQ(f.EditHour->Text(), u"09");
    EXPECT_EQ(f.EditTime->Text(), u"40");
    EXPECT_TRUE(f.SaveSnapshot(std::string(VM_BINARY_DIR) + "/search_window.png"));

    // 09:52 lies nearer 10:00 than 09:40.
    f.EditTime->SetText(u"52");
    driver->Click(*f.ButtonSearch);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(ListControl->FCurrentRow, 2);
    EXPECT_EQ(Current(), "REC_0003.ASF");
    EXPECT_EQ(rtl::ToUtf8(ListControl->FCurrentPath), "E:\\DATA\\REC_0003.ASF");
    EXPECT_TRUE(ListControl->ListView1->Focused());
    WaitForTracks();

    // Empty edits search for 00:00 and show it.
    MainForm->ImageFindClick(nullptr);
    f.EditHour->SetText(u"");
    f.EditTime->SetText(u"");
    driver->Click(*f.ButtonSearch);
    EXPECT_EQ(f.EditHour->Text(), u"00");
    EXPECT_EQ(f.EditTime->Text(), u"00");
    EXPECT_EQ(Current(), "REC_0001.ASF");
    WaitForTracks();

    // Cancel hides and selects nothing.
    MainForm->ImageFindClick(nullptr);
    driver->Click(*f.ButtonCancel);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(Current(), "REC_0001.ASF");
}

TEST_F(SearchWindowTest, TheSpinBarsWrapAndStopAtTheEndOfTheirRange)
{
    Open();
    MainForm->ImageFindClick(nullptr);
    TFormSearch& f = *FormSearch;
    struct Row {
        const char* what;
        TEdit* edit;
        TScrollBar* bar;
        const char16_t* from;
        bool up;
        const char16_t* to;
    };
    const Row rows[] = {
        {"hour up from 23", f.EditHour, f.ScrollBarHour, u"23", true, u"00"},
        {"hour down from 00", f.EditHour, f.ScrollBarHour, u"00", false, u"23"},
        {"hour up from 08", f.EditHour, f.ScrollBarHour, u"08", true, u"09"},
        {"hour up from a typed 50", f.EditHour, f.ScrollBarHour, u"50", true, u"00"},
        {"hour down from a typed 50", f.EditHour, f.ScrollBarHour, u"50", false, u"49"},
        {"hour up from empty", f.EditHour, f.ScrollBarHour, u"", true, u"01"},
        {"minute up from 59", f.EditTime, f.ScrollBarMinute, u"59", true, u"00"},
        {"minute down from 00", f.EditTime, f.ScrollBarMinute, u"00", false, u"59"},
        {"minute down from 7", f.EditTime, f.ScrollBarMinute, u"7", false, u"06"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.edit->SetText(row.from);
        ClickArrow(row.bar, row.up);
        EXPECT_EQ(row.edit->Text(), row.to);
    }

    // The hour bar starts 1000 from its upper end: past it, the upper
    // arrow changes nothing; the lower one still works.
    f.EditHour->SetText(u"05");
    const int start = f.ScrollBarHour->Position();
    for (int i = 0; i < 2000 - start + 5; ++i)
        f.ScrollBarHour->Scroll(scLineDown);
    ASSERT_EQ(f.ScrollBarHour->Position(), 2000);
    const UnicodeString atEnd = f.EditHour->Text();
    ClickArrow(f.ScrollBarHour, false);
    EXPECT_EQ(f.EditHour->Text(), atEnd) << "no change at the end of the range";
    ClickArrow(f.ScrollBarHour, true);
    EXPECT_NE(f.EditHour->Text(), atEnd);
}

TEST_F(SearchWindowTest, NoCurrentRowShowsMessage17AndAnEmptiedListSelectsNothing)
{
    Open();
    MainForm->ImageFindClick(nullptr);
    ASSERT_TRUE(FormSearch->Visible());
    // The list is emptied while the window shows.
    editPath->SetText(u"E:\\NONE");
    ASSERT_EQ(ListControl->ListView1->Items()->Count(), 0);
    driver->Click(*FormSearch->ButtonSearch);
    EXPECT_FALSE(FormSearch->Visible());
    EXPECT_EQ(ListControl->FCurrentRow, -1);

    UnicodeString shown;
    driver->Then([&] {
        shown = SDDlg->Line2Label->Caption();
        driver->Click(*SDDlg->OKSDLabel);
    });
    MainForm->ImageFindClick(nullptr);
    EXPECT_EQ(shown, SDMessageFor(17, u"").Text);
    EXPECT_FALSE(FormSearch->Visible());
}

// Another day through the date picker as a person picks it: its calendar,
// or typed into its day field, through the display's input route.
TEST_F(SearchWindowTest, ADayPickedInTheDatePickerIsSearched)
{
    Open();
    ListControl->ListView1->SetItemIndex(1); // 2024/05/17 09:40
    WaitForTracks();
    TFormSearch& f = *FormSearch;
    auto press = [&](TPoint p) {
        HostInput::Press(f, mbLeft, {}, p.X, p.Y);
        HostInput::Release(f, mbLeft, {}, p.X, p.Y);
    };
    auto at = [&](TControl* c, int x, int y) { return f.ScreenToClient(c->ClientToScreen(TPoint(x, y))); };
    TDateTimePicker* picker = f.DateTimePicker1;

    // The calendar: Thursday 16 May (May 2024 starts on a Wednesday), before every recording.
    MainForm->ImageFindClick(nullptr);
    press(at(picker, picker->Width() - 10, 12));
    ASSERT_TRUE(picker->DroppedDown());
    const TRect box = picker->CalendarBounds();
    EXPECT_LE(box.Bottom, f.ClientHeight()); // it fits inside the window
    const TRect cell = TCalendarLayout::Cell(2, 4);
    press(TPoint(box.Left + (cell.Left + cell.Right) / 2, box.Top + (cell.Top + cell.Bottom) / 2));
    EXPECT_EQ(picker->Text(), u"2024/05/16");
    press(at(f.ButtonSearch, 20, 15));
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(Current(), "REC_0001.ASF");
    WaitForTracks();

    // Typed: the day field, 18: after every recording.
    MainForm->ImageFindClick(nullptr);
    EXPECT_EQ(picker->Text(), u"2024/05/17");
    press(at(picker, 75, 12));
    for (char16_t c : {u'1', u'8'}) {
        HostInput::KeyDown(f, static_cast<std::uint16_t>(c), c, {});
        HostInput::KeyUp(f, static_cast<std::uint16_t>(c), {});
    }
    EXPECT_EQ(picker->Text(), u"2024/05/18");
    press(at(f.ButtonSearch, 20, 15));
    EXPECT_EQ(Current(), "REC_0003.ASF");
    WaitForTracks();
}

} // namespace
} // namespace list_test
