// The date-time picker: display formats, the two parts of its value, its
// range for the program and for a person, and OnChange; a person's clicks
// and keys through the display's input route (HostInput): fields, typing,
// steps, the spin arrows and the drop-down calendar.
#include <gtest/gtest.h>

#include "VclFixture.h"

#include <cmath>
#include <sstream>

namespace {

class DateTimePickerTest : public VclTest {
protected:
    DateTimePickerTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        picker = new TDateTimePicker(form);
        picker->SetParent(form);
        picker->OnChange = [this](TObject*) { log.Add(TestDriver::Utf8(picker->Text())); };
        form->Show();
    }
    TForm* form;
    TDateTimePicker* picker;
    EventLog log;
};

TEST(DateTimePickerFormat, PatternLetters)
{
    const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    struct Row {
        const char16_t* format;
        const char16_t* text;
    };
    const Row rows[] = {
        {u"yyyy/MM/dd", u"2024/03/05"},
        {u"HH:mm", u"14:07"},
        {u"H:mm:ss", u"14:07:09"},
        {u"yy-M-d h:m:s tt", u"24-3-5 2:7:9 午後"},
        {u"yyyy'年'M'月'd'日'", u"2024年3月5日"},
        {u"'It''s' ''dd", u"It's '05"},
        {u"MMMM", u"03"},
        {u"'unclosed", u"unclosed"},
        {u"", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TestDriver::Utf8(row.format));
        EXPECT_EQ(TDateTimePicker::FormatValue(row.format, value), UnicodeString(row.text));
    }
    EXPECT_EQ(TDateTimePicker::FormatValue(u"hh tt", EncodeTime(0, 30, 0, 0)), UnicodeString(u"12 午前"));
}

TEST_F(DateTimePickerTest, DateAndTimePartsAndTheText)
{
    picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/03/05")); // a date picker's default format
    picker->SetKind(dtkTime);
    EXPECT_EQ(picker->Text(), UnicodeString(u"14:07:00"));
    picker->SetFormat(u"HH:mm");
    EXPECT_EQ(picker->Caption(), UnicodeString(u"14:07"));
    picker->SetText(u"nonsense"); // the text follows the value
    EXPECT_EQ(picker->Text(), UnicodeString(u"14:07"));

    picker->SetDate(EncodeDate(2030, 12, 31) + 0.75); // keeps the time of day
    EXPECT_EQ(picker->DateTime(), EncodeDate(2030, 12, 31) + EncodeTime(14, 7, 0, 0));
    picker->SetTime(EncodeDate(1999, 1, 1) + EncodeTime(6, 0, 0, 0)); // keeps the date
    EXPECT_EQ(picker->DateTime(), EncodeDate(2030, 12, 31) + EncodeTime(6, 0, 0, 0));
    EXPECT_EQ(picker->Date(), EncodeDate(2030, 12, 31));
    EXPECT_DOUBLE_EQ(picker->Time(), EncodeTime(6, 0, 0, 0));
    EXPECT_TRUE(log.Take().empty()); // the program's changes raise no OnChange
}

TEST_F(DateTimePickerTest, TheProgramOutsideTheRangeRaisesAPersonIsHeldInside)
{
    picker->SetFormat(u"yyyy/MM/dd");
    const TDateTime min = EncodeDate(2001, 1, 1), max = EncodeDate(2037, 12, 31) + EncodeTime(23, 59, 59, 0);
    picker->SetDateTime(EncodeDate(2020, 6, 1) + EncodeTime(10, 0, 0, 0));
    picker->SetMaxDate(max);
    picker->SetMinDate(min);
    EXPECT_THROW(picker->SetDateTime(std::nan("")), EDateTimeError);
    EXPECT_THROW(picker->SetDateTime(1e300), EDateTimeError);
    EXPECT_THROW(picker->SetDateTime(EncodeDate(2038, 1, 1)), EDateTimeError);
    EXPECT_THROW(picker->SetDate(EncodeDate(2000, 12, 31)), EDateTimeError);
    EXPECT_THROW(picker->SetMinDate(EncodeDate(2040, 1, 1)), EDateTimeError);
    EXPECT_EQ(picker->Date(), EncodeDate(2020, 6, 1)); // unchanged by the failures

    struct Row {
        TDateTime entered;
        const char* shown;
    };
    const Row rows[] = {
        {EncodeDate(2024, 3, 5), "2024/03/05"},
        {EncodeDate(2024, 3, 5), nullptr}, // the same date: no change
        {EncodeDate(2099, 1, 1), "2037/12/31"},
        {EncodeDate(1990, 1, 1), "2001/01/01"},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(driver->SetDateTime(*picker, row.entered));
        EXPECT_EQ(log.Take(), row.shown ? std::vector<std::string>{row.shown} : std::vector<std::string>{});
    }
    // The last day with the time of day kept is still inside the range.
    picker->SetDateTime(EncodeDate(2020, 6, 1) + EncodeTime(10, 0, 0, 0));
    driver->SetDateTime(*picker, EncodeDate(2037, 12, 31));
    EXPECT_EQ(picker->DateTime(), EncodeDate(2037, 12, 31) + EncodeTime(10, 0, 0, 0));
    picker->SetMaxDate(EncodeDate(2030, 1, 1)); // a new limit moves the value to it
    EXPECT_EQ(picker->DateTime(), EncodeDate(2030, 1, 1));
    picker->SetMaxDate(0); // no limit
    EXPECT_NO_THROW(picker->SetDateTime(EncodeDate(3000, 1, 1)));

    picker->SetEnabled(false);
    EXPECT_FALSE(driver->SetDateTime(*picker, EncodeDate(2024, 1, 1)));
}

TEST_F(DateTimePickerTest, ATimePickerTakesOnlyTheTimeOfDayFromAPerson)
{
    picker->SetKind(dtkTime);
    picker->SetFormat(u"HH:mm");
    picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0));
    driver->SetDateTime(*picker, EncodeDate(1999, 9, 9) + EncodeTime(23, 59, 0, 0));
    EXPECT_EQ(picker->DateTime(), EncodeDate(2024, 3, 5) + EncodeTime(23, 59, 0, 0));
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"23:59"}));
}

// A picker of 106 x 24 at 20, 30 of a frameless 400 x 300 form in the
// recorder window's font, with a button beside it to take the focus; every
// input goes through HostInput in the form's coordinates.
class PickerInputTest : public VclTest {
public:
    PickerInputTest()
    {
        form = NewForm<TForm>(&app);
        form->SetName(u"F");
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 300);
        form->Font()->SetName(u"ＭＳ ゴシック");
        form->Font()->SetHeight(-16);
        picker = new TDateTimePicker(form);
        picker->SetParent(form);
        picker->SetBounds(20, 30, 106, 24);
        picker->OnChange = [this](TObject*) { log.Add(TestDriver::Utf8(picker->Text())); };
        other = new TButton(form);
        other->SetParent(form);
        other->SetBounds(300, 30, 80, 24);
        other->OnClick = [this](TObject*) { log.Add("other click"); };
        form->Show();
        MouseInput::Reset();
    }
    ~PickerInputTest() override { MouseInput::Reset(); }

    void UseDate()
    {
        picker->SetKind(dtkDate);
        picker->SetFormat(u"yyyy/MM/dd");
        picker->SetMaxDate(EncodeDate(2037, 12, 31) + EncodeTime(23, 59, 59, 0));
        picker->SetMinDate(EncodeDate(2001, 1, 1));
        picker->SetDateTime(EncodeDate(2024, 3, 5));
    }
    void UseTime(const char16_t* format)
    {
        picker->SetKind(dtkTime);
        picker->SetFormat(format);
        picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    }
    // Form coordinates of a point of control c.
    TPoint At(TControl* c, int x, int y) const { return form->ScreenToClient(c->ClientToScreen(TPoint(x, y))); }
    void Click(TPoint p)
    {
        HostInput::Press(*form, mbLeft, {}, p.X, p.Y);
        HostInput::Release(*form, mbLeft, {}, p.X, p.Y);
    }
    void ClickPicker(int x, int y) { Click(At(picker, x, y)); }
    void ClickField(int index)
    {
        const TRect r = picker->FieldRect(index);
        ClickPicker((r.Left + r.Right) / 2, picker->Height() / 2);
    }
    void Key(std::uint16_t vk, char16_t ch = 0, TShiftState shift = {})
    {
        HostInput::KeyDown(*form, vk, ch, shift);
        HostInput::KeyUp(*form, vk, shift);
    }
    // A script of words: F<n> clicks field n, U D L R H E press Up, Down,
    // Left, Right, Home, End, Ent Enter, Esc Escape, Tab; any other word is
    // typed character by character.
    void Play(const std::string& script)
    {
        std::istringstream words(script);
        for (std::string w; words >> w;) {
            if (w.size() == 2 && w[0] == 'F' && std::isdigit(static_cast<unsigned char>(w[1])))
                ClickField(w[1] - '0');
            else if (w == "U")
                Key(VK_UP);
            else if (w == "D")
                Key(VK_DOWN);
            else if (w == "L")
                Key(VK_LEFT);
            else if (w == "R")
                Key(VK_RIGHT);
            else if (w == "H")
                Key(VK_HOME);
            else if (w == "E")
                Key(VK_END);
            else if (w == "Ent")
                Key(VK_RETURN, u'\r');
            else if (w == "Esc")
                Key(VK_ESCAPE, 0x1B);
            else if (w == "Tab")
                Key(VK_TAB, u'\t');
            else
                for (char c : w) {
                    const bool letter = std::isalpha(static_cast<unsigned char>(c)) != 0;
                    Key(static_cast<std::uint16_t>(letter ? std::toupper(static_cast<unsigned char>(c)) : c),
                        static_cast<char16_t>(c));
                }
        }
    }
    // The form's client point at the middle of a calendar cell.
    TPoint CalendarPoint(const TRect& inCalendar) const
    {
        const TRect box = picker->CalendarBounds();
        return TPoint(box.Left + (inCalendar.Left + inCalendar.Right) / 2,
                      box.Top + (inCalendar.Top + inCalendar.Bottom) / 2);
    }
    TPoint DayCell(int row, int column) const { return CalendarPoint(TCalendarLayout::Cell(row, column)); }

    TForm* form;
    TDateTimePicker* picker;
    TButton* other;
    EventLog log;
};

struct KeyRow {
    const char* script;
    const char16_t* shown;
    int changes; // OnChange calls
};

void PlayRows(PickerInputTest& t, const std::function<void()>& reset, const std::vector<KeyRow>& rows,
              TDateTimePicker& picker, EventLog& log, double datePart)
{
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.script);
        reset();
        log.Take();
        t.Play(row.script);
        EXPECT_EQ(picker.Text(), UnicodeString(row.shown));
        EXPECT_EQ(static_cast<int>(log.Take().size()), row.changes);
        if (datePart != 0) {
            EXPECT_EQ(std::floor(picker.DateTime().Val), datePart); // a time picker keeps its date
        }
    }
}

using PickerKeys = PickerInputTest;

TEST_F(PickerKeys, ADatePickersFieldsTakeClicksDigitsAndSteps)
{
    UseDate(); // 2024/03/05 within 2001/01/01 .. 2037/12/31
    const std::vector<KeyRow> rows = {
        {"F0 2030", u"2030/03/05", 1},     {"F1 12", u"2024/12/05", 1},
        {"F1 5", u"2024/05/05", 1}, // no second digit could follow: enters at once
        {"F1 1 Ent", u"2024/01/05", 1}, // Enter enters what was typed
        {"F1 1 F2", u"2024/01/05", 1}, // so does another field
        {"F1 13", u"2024/03/05", 0}, // out of the field's range: refused
        {"F1 00", u"2024/03/05", 0},       {"F2 31", u"2024/03/31", 1},
        {"F2 31 F1 2", u"2024/02/29", 2}, // the day clamped to the month
        {"F2 31 F1 04", u"2024/04/30", 2}, {"F1 4 F2 31", u"2024/04/05", 1}, // 31 April refused
        {"F1 02 F2 30", u"2024/02/03", 2}, // 3 enters at once, the 0 waits
        {"F1 2 F2 4", u"2024/02/04", 2}, // 4 in February: 40 cannot follow
        {"F0 1999", u"2024/03/05", 0}, // outside the range: refused
        {"F0 2038", u"2024/03/05", 0},     {"F0 abc", u"2024/03/05", 0}, // letters type nothing
        {"F1 1a2", u"2024/12/05", 1},      {"F0 U", u"2025/03/05", 1},
        {"F0 D", u"2023/03/05", 1},        {"F1 12 U", u"2024/01/05", 2}, // wraps within the field, the year stays
        {"F1 01 D", u"2024/12/05", 2},     {"F2 01 D", u"2024/03/31", 2},
        {"F2 31 U", u"2024/03/01", 2},     {"F2 1 U", u"2024/03/06", 1}, // a step drops the digits typed
        {"F0 R 7", u"2024/07/05", 1},      {"F0 L 9", u"2024/03/09", 1}, // Left from the first field wraps to the last
        {"F2 R 2030", u"2030/03/05", 1},   {"F1 H", u"2024/01/05", 1},
        {"F1 E", u"2024/12/05", 1},        {"F2 E", u"2024/03/31", 1},
        {"F0 H", u"2001/01/01", 1}, // the year's ends stop at the range
        {"F0 E", u"2037/12/31", 1},        {"F0 2037 U", u"2037/12/31", 2},
        {"F0 2001 D", u"2001/01/01", 2},   {"F0 2024 F1 02 F2 29 F0 2023", u"2023/02/28", 3}, // from a leap day
    };
    PlayRows(
        *this,
        [this] {
            picker->SetDateTime(EncodeDate(2024, 3, 5));
            ClickField(0);
        },
        rows, *picker, log, 0);
}

TEST_F(PickerKeys, ATimePickersFieldsAndSpinArrows)
{
    UseTime(u"HH:mm"); // 14:07 on 2024/03/05
    const double day = EncodeDate(2024, 3, 5).Val;
    const std::vector<KeyRow> rows = {
        {"F0 9", u"09:07", 1},     {"F0 23", u"23:07", 1},   {"F0 24", u"14:07", 0},   {"F0 3", u"03:07", 1},
        {"F0 2 Ent", u"02:07", 1}, {"F1 59", u"14:59", 1},   {"F1 60", u"14:06", 1}, // 6 enters at once; the 0 waits
        {"F1 xy", u"14:07", 0},    {"F0 U", u"15:07", 1},    {"F0 23 U", u"00:07", 2}, // wraps, the date stays
        {"F0 00 D", u"23:07", 2},  {"F1 00 D", u"14:59", 2}, {"F1 59 U", u"14:00", 2}, {"F0 R 30", u"14:30", 1},
        {"F1 R 8", u"08:07", 1},   {"F0 H", u"00:07", 1},    {"F1 E", u"14:59", 1},
    };
    PlayRows(
        *this,
        [this] {
            picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
            ClickField(0);
        },
        rows, *picker, log, day);

    // The spin arrows step the selected field.
    picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(23, 59, 0, 0));
    log.Take();
    const TRect b = picker->ButtonRect();
    ClickField(1);
    ClickPicker((b.Left + b.Right) / 2, b.Top + 2); // up: 59 -> 00
    EXPECT_EQ(picker->Text(), UnicodeString(u"23:00"));
    ClickField(0);
    ClickPicker((b.Left + b.Right) / 2, b.Top + 2); // up: 23 -> 00
    EXPECT_EQ(picker->Text(), UnicodeString(u"00:00"));
    ClickPicker((b.Left + b.Right) / 2, b.Bottom - 2); // down
    ClickPicker((b.Left + b.Right) / 2, b.Bottom - 2);
    EXPECT_EQ(picker->Text(), UnicodeString(u"22:00"));
    EXPECT_EQ(log.Take().size(), 4u);
    EXPECT_EQ(std::floor(picker->DateTime().Val), day);

    // Seconds when the format shows them.
    picker->SetFormat(u"HH:mm:ss");
    picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(picker->FieldCount(), 3);
    Play("F2 45 D");
    EXPECT_EQ(picker->Text(), UnicodeString(u"14:07:44"));
}

TEST_F(PickerInputTest, TypedDigitsEnterWhenTheFocusLeavesAndTheFieldShowsSelected)
{
    UseDate();
    ClickField(2);
    EXPECT_TRUE(picker->Focused());
    EXPECT_EQ(picker->SelectedField(), 2);
    // The selected field is drawn highlighted while the picker has the focus.
    const TRect day = picker->FieldRect(2), month = picker->FieldRect(1);
    auto highlighted = [&](const TRect& r) {
        const TPoint p = At(picker, r.Left, r.Top + 1);
        return form->Snapshot().ColorAt(p.X, p.Y) == ColorToRGB(clHighlight);
    };
    EXPECT_TRUE(highlighted(day));
    EXPECT_FALSE(highlighted(month));
    log.Take();
    Play("2");
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/03/05")); // still collecting
    Click(At(other, 10, 10)); // the focus goes to the button
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/03/02"));
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"2024/03/02", "other click"}));
    EXPECT_FALSE(highlighted(day));

    // Disabled: no input at all.
    picker->SetEnabled(false);
    Play("F0 U 2030");
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/03/02"));
    EXPECT_TRUE(log.Take().empty());
}

TEST_F(PickerInputTest, TheCalendarPicksADayAndClosesWithoutAChangeOtherwise)
{
    UseDate();
    picker->SetDateTime(EncodeDate(2024, 3, 5) + EncodeTime(10, 0, 0, 0));
    const TRect b = picker->ButtonRect();
    ClickPicker((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    ASSERT_TRUE(picker->DroppedDown());
    // Below the picker, at its left edge.
    EXPECT_EQ(picker->CalendarBounds(), Bounds(20, 54, TCalendarLayout::Width, TCalendarLayout::Height));
    EXPECT_EQ(picker->CalendarMonth(), EncodeDate(2024, 3, 1));
    // The marked day is drawn highlighted: 2024/03/01 is a Friday, the 5th sits in row 0, Tuesday.
    const TPoint marked = DayCell(1, 2);
    EXPECT_EQ(form->Snapshot().ColorAt(marked.X - 10, marked.Y - 6), ColorToRGB(clHighlight));

    Click(DayCell(3, 3)); // Wednesday 20 March
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->DateTime(), EncodeDate(2024, 3, 20) + EncodeTime(10, 0, 0, 0)); // the time of day kept
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"2024/03/20"}));

    // Next month, then a day; a greyed day of the month before.
    ClickPicker((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    Click(CalendarPoint(TCalendarLayout::NextButton()));
    EXPECT_EQ(picker->CalendarMonth(), EncodeDate(2024, 4, 1));
    Click(DayCell(0, 0)); // April starts on a Monday: Sunday 31 March
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/03/31"));
    ClickPicker((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    Click(CalendarPoint(TCalendarLayout::PreviousButton()));
    Click(DayCell(0, 4)); // February starts on a Thursday
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/02/01"));
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"2024/03/31", "2024/02/01"}));

    // Escape, and a press outside (which goes no further), close without a change.
    Key(VK_DOWN, 0, TShiftState() << ssAlt);
    ASSERT_TRUE(picker->DroppedDown());
    Key(VK_ESCAPE, 0x1B);
    EXPECT_FALSE(picker->DroppedDown());
    Key(VK_F4);
    ASSERT_TRUE(picker->DroppedDown());
    Click(At(other, 10, 10));
    EXPECT_FALSE(picker->DroppedDown());
    ClickPicker((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    ClickPicker((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2); // the button again closes it
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(picker->Text(), UnicodeString(u"2024/02/01"));
    EXPECT_EQ(form->ControlCount(), 2); // the calendar left the form

    // Keys inside the calendar: a day, a week, a month; Enter picks.
    Key(VK_F4);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    Key(VK_NEXT);
    Key(VK_RETURN, u'\r');
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"2024/03/09"}));
}

TEST_F(PickerInputTest, TheCalendarKeepsToTheRangeAndInsideTheForm)
{
    UseDate();
    picker->SetDateTime(EncodeDate(2001, 1, 5));
    ClickField(0);
    Key(VK_F4);
    ASSERT_TRUE(picker->DroppedDown());
    Click(CalendarPoint(TCalendarLayout::PreviousButton())); // no month before the range
    EXPECT_EQ(picker->CalendarMonth(), EncodeDate(2001, 1, 1));
    Click(DayCell(0, 0)); // 31 December 2000: outside, nothing
    EXPECT_TRUE(picker->DroppedDown());
    Key(VK_UP); // a week back would leave the range
    Key(VK_RETURN, u'\r');
    EXPECT_EQ(picker->Text(), UnicodeString(u"2001/01/05"));
    EXPECT_TRUE(log.Take().empty());

    picker->SetDateTime(EncodeDate(2037, 12, 20));
    Key(VK_F4);
    Click(CalendarPoint(TCalendarLayout::NextButton()));
    EXPECT_EQ(picker->CalendarMonth(), EncodeDate(2037, 12, 1));
    Key(VK_ESCAPE, 0x1B);

    // No room below: above the picker; no room either way: inside the form.
    picker->SetBounds(300, 250, 106, 24);
    Key(VK_F4);
    EXPECT_EQ(picker->CalendarBounds(),
              Bounds(400 - TCalendarLayout::Width, 250 - TCalendarLayout::Height, TCalendarLayout::Width,
                     TCalendarLayout::Height));
    Key(VK_ESCAPE, 0x1B);
    form->SetBounds(100, 100, 400, 150);
    picker->SetBounds(20, 60, 106, 24);
    Key(VK_F4);
    EXPECT_EQ(picker->CalendarBounds(),
              Bounds(20, 150 - TCalendarLayout::Height, TCalendarLayout::Width, TCalendarLayout::Height));
    // Hiding the form closes it.
    form->Hide();
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(MouseInput::Popup(), nullptr);
}

} // namespace
