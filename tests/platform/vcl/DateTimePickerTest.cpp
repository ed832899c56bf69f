// The date-time picker: display formats, the two parts of its value, its
// range for the program and for a person, and OnChange.
#include <gtest/gtest.h>

#include "VclFixture.h"

#include <cmath>

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
    picker->SetMaxDate(0);                      // no limit
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

} // namespace
