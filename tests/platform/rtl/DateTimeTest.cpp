#include "platform/rtl/rtl.h"
#include "platform/win/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(DateTime, EncodeTimeIsOneDivision)
{
    struct Row {
        Word h, m, s, ms;
    } rows[] = {{0, 0, 0, 0}, {1, 2, 3, 4}, {23, 59, 59, 999}, {12, 0, 0, 0}, {0, 0, 0, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.h << ":" << r.m << ":" << r.s << "." << r.ms);
        double expected = (r.h * 3600000.0 + r.m * 60000.0 + r.s * 1000.0 + r.ms) / 86400000.0;
        EXPECT_EQ(EncodeTime(r.h, r.m, r.s, r.ms).Val, expected); // bit for bit
        Word h, m, s, ms;
        DecodeTime(EncodeTime(r.h, r.m, r.s, r.ms), h, m, s, ms);
        EXPECT_EQ((std::array<Word, 4>{h, m, s, ms}), (std::array<Word, 4>{r.h, r.m, r.s, r.ms}));
    }
    const Row bad[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {65535, 0, 0, 0}};
    for (const Row& r : bad) {
        SCOPED_TRACE(testing::Message() << r.h << ":" << r.m << ":" << r.s << "." << r.ms);
        EXPECT_THROW(EncodeTime(r.h, r.m, r.s, r.ms), EConvertError);
    }
    EXPECT_EQ(TDateTime(12, 0, 0, 0).Val, 0.5);
}

TEST(DateTime, EncodeDecodeDate)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30).Val, 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1).Val, 2.0);
    EXPECT_EQ(EncodeDate(2000, 3, 1).Val, 36586.0);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    Word y, m, d;
    DecodeDate(EncodeDate(2026, 12, 10) + EncodeTime(23, 59, 59, 999), y, m, d);
    EXPECT_EQ((std::array<Word, 3>{y, m, d}), (std::array<Word, 3>{2026, 12, 10}));
    // Negative values: the date toward zero, the fraction forward (-1.25 is
    // 1899-12-29 06:00).
    Word hh, nn, ss, zz;
    DecodeDateTime(-1.25, y, m, d, hh, nn, ss, zz);
    EXPECT_EQ((std::array<Word, 4>{y, m, d, hh}), (std::array<Word, 4>{1899, 12, 29, 6}));
    // Rounding to the millisecond carries into the next day.
    DecodeDateTime(EncodeDate(2026, 1, 1).Val - 1e-10, y, m, d, hh, nn, ss, zz);
    EXPECT_EQ((std::array<Word, 4>{y, m, d, hh}), (std::array<Word, 4>{2026, 1, 1, 0}));
}

TEST(DateTime, FormatDateTimePatterns)
{
    TDateTime t = EncodeDate(2026, 3, 4) + EncodeTime(5, 6, 7, 89);
    struct Row {
        const char16_t *format, *expected;
    } rows[] = {
        {u"yyyy/mm/dd hh:nn:ss", u"2026/03/04 05:06:07"},
        {u"yyyymmdd", u"20260304"},
        {u"yy/m/d h:n:s", u"26/3/4 5:6:7"},
        {u"hh:mm", u"05:06"}, // "m" after an hour is the minute
        {u"hh:nn:ss.zzz", u"05:06:07.089"},
        {u"'at' hh\"h\"", u"at 05h"},
        {u"YYYY-MM-DD", u"2026-03-04"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(r.format));
        EXPECT_EQ(FormatDateTime(r.format, t), r.expected);
    }
    EXPECT_EQ(DateTimeToStr(t), u"2026/03/04 5:06:07");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 3, 4)), u"2026/03/04");
    EXPECT_EQ(t.FormatString(u"yyyy"), u"2026");
}

TEST(DateTime, TextToDateTime)
{
    win::VirtualClock clock(win::ClockDateTime{2026, 12, 10, 9, 0, 0, 0});
    win::ScopedClock use(clock);
    struct Row {
        const char16_t* text;
        Word y, m, d, h, n, s, z;
    } good[] = {
        {u"2026/03/04 05:06:07", 2026, 3, 4, 5, 6, 7, 0},
        {u"2026/03/04 5:6:00", 2026, 3, 4, 5, 6, 0, 0}, // hour and minute as typed
        {u"  2026/3/4   23:59  ", 2026, 3, 4, 23, 59, 0, 0},
        {u"2026/03/04", 2026, 3, 4, 0, 0, 0, 0},
        {u"26/03/04", 2026, 3, 4, 0, 0, 0, 0},
        {u"80/01/02", 1980, 1, 2, 0, 0, 0, 0}, // within 50 years of now
        {u"3/4 1:02:03.5", 2026, 3, 4, 1, 2, 3, 5},
        {u"2024/02/29 12:00 PM", 2024, 2, 29, 12, 0, 0, 0},
        {u"2024/02/29 12:00 am", 2024, 2, 29, 0, 0, 0, 0},
        {u"1:02", 1899, 12, 30, 1, 2, 0, 0},
    };
    for (const Row& r : good) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(r.text));
        TDateTime v = StrToDateTime(r.text);
        Word y, m, d, h, n, s, z;
        DecodeDateTime(v, y, m, d, h, n, s, z);
        EXPECT_EQ((std::array<Word, 7>{y, m, d, h, n, s, z}), (std::array<Word, 7>{r.y, r.m, r.d, r.h, r.n, r.s, r.z}));
    }
    const char16_t* bad[] = {u"",
                             u"2026/03/04 24:00:00",
                             u"2026/03/04 23:60:00",
                             u"2026/02/30",
                             u"2026/13/01",
                             u"2026-03-04",
                             u"2026/03/04x",
                             u"2026/03/0405:06",
                             u"2026/03/04 05:06:07 extra",
                             u"12",
                             u"abc",
                             u"2026/03/04 :06",
                             u"20260/03/04"};
    for (const char16_t* text : bad) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(text));
        EXPECT_THROW(StrToDateTime(text), EConvertError);
    }
    EXPECT_EQ(StrToDate(u"2026/01/02").Val, EncodeDate(2026, 1, 2).Val);
    EXPECT_THROW(StrToDate(u"2026/01/02 00:00"), EConvertError);
    EXPECT_EQ(StrToTime(u"12:00").Val, 0.5);
    EXPECT_THROW(StrToTime(u"2026/01/02"), EConvertError);
    try {
        StrToDateTime(u"x");
    } catch (EConvertError& e) {
        EXPECT_EQ(e.Message, u"'x' is not a valid date and time");
    }
}

TEST(DateTime, NowFollowsTheLayersClock)
{
    win::VirtualClock clock(win::ClockDateTime{2026, 12, 31, 23, 59, 59, 500});
    win::ScopedClock use(clock);
    EXPECT_EQ(FormatDateTime(u"yyyy/mm/dd hh:nn:ss.zzz", Now()), u"2026/12/31 23:59:59.500");
    clock.Advance(600);
    EXPECT_EQ(FormatDateTime(u"yyyy/mm/dd hh:nn:ss.zzz", Now()), u"2027/01/01 00:00:00.100");
    EXPECT_EQ(Date().Val, EncodeDate(2027, 1, 1).Val);
    EXPECT_NEAR(Time().Val, EncodeTime(0, 0, 0, 100).Val, 1e-12);
}

} // namespace
