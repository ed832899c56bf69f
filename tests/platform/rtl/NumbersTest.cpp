#include "platform/rtl/rtl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Numbers, StrToIntGrammar)
{
    const std::pair<const char16_t*, int> good[] = {
        {u"0", 0},
        {u"42", 42},
        {u"-42", -42},
        {u"+7", 7},
        {u"  12", 12}, // leading blanks
        {u"007", 7},
        {u"2147483647", 2147483647},
        {u"-2147483648", -2147483647 - 1},
        {u"0x1F", 31},
        {u"0X1f", 31},
        {u"$FF", 255},
        {u"-$10", -16},
        {u"0xFFFFFFFF", -1}, // hex fills all 32 bits
        {u"0x80000000", -2147483647 - 1},
        {u"0x000000000000FF", 255},
    };
    for (const auto& [text, value] : good) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(text));
        EXPECT_EQ(StrToInt(text), value);
        EXPECT_EQ(StrToIntDef(text, 99), value);
    }
    const char16_t* bad[] = {
        u"",   u" ", u"-",           u"+",   u"12 ", u"1 2",  u"1.0",  u"1e3", u"2147483648", u"-2147483649",
        u"0x", u"$", u"0x100000000", u"0xG", u"x1F", u"１２", u"\t12", u"--1", u"0x-1",       u"99999999999999999999"};
    for (const char16_t* text : bad) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(text));
        EXPECT_THROW(StrToInt(text), EConvertError);
        EXPECT_EQ(StrToIntDef(text, 99), 99);
    }
    try {
        StrToInt(u"abc");
    } catch (EConvertError& e) {
        EXPECT_EQ(e.Message, u"'abc' is not a valid integer value");
    }
    EXPECT_EQ(StrToInt64(u"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64(u"0xFFFFFFFFFFFFFFFF"), -1);
    EXPECT_THROW(StrToInt64(u"9223372036854775808"), EConvertError);
}

TEST(Numbers, StrToFloatGrammar)
{
    const std::pair<const char16_t*, double> good[] = {
        {u"0", 0.0},   {u"12.5", 12.5},  {u"-12.5", -12.5}, {u"+3", 3.0},         {u".5", 0.5},
        {u"5.", 5.0},  {u"1e3", 1000.0}, {u"1E-3", 0.001},  {u"-1.5e+2", -150.0}, {u"3541.1234", 3541.1234},
        {u"0.1", 0.1}, {u"1e-400", 0.0}, {u"00012", 12.0},
    };
    for (const auto& [text, value] : good) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(text));
        EXPECT_EQ(StrToFloat(text), value);
    }
    const char16_t* bad[] = {u"",    u" 1",    u"1 ",  u"1,5", u"1,000.0", u"inf",     u"-inf", u"nan",
                             u"NaN", u"0x1A",  u".",   u"-",   u"e5",      u"1e",      u"1e+",  u"1.2.3",
                             u"１",  u"1e400", u"--1", u"+-1", u"1d",      u"infinity"};
    for (const char16_t* text : bad) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(text));
        EXPECT_THROW(StrToFloat(text), EConvertError);
        EXPECT_EQ(StrToFloatDef(text, -7.0), -7.0);
    }
    try {
        StrToFloat(u"x");
    } catch (EConvertError& e) {
        EXPECT_EQ(e.Message, u"'x' is not a valid floating point value");
    }
    EXPECT_TRUE(std::signbit(StrToFloat(u"-0")));
}

TEST(Numbers, FloatToStrTable)
{
    const std::pair<double, const char16_t*> rows[] = {
        {0.0, u"0"},
        {-0.0, u"0"}, // never "-0"
        {1.0, u"1"},
        {-2.5, u"-2.5"},
        {0.1 + 0.2, u"0.3"}, // 15 significant digits
        {1.0 / 3.0, u"0.333333333333333"},
        {2.0 / 3.0, u"0.666666666666667"},
        {1e-5, u"0.00001"}, // fixed down to 1e-5
        {1.5e-5, u"0.000015"},
        {1e-6, u"1E-6"},
        {1.25e-7, u"1.25E-7"},
        {123456789012345.0, u"123456789012345"},
        {1e15, u"1E15"},
        {1234567890123456.0, u"1.23456789012346E15"},
        {1e20, u"1E20"},
        {-1e100, u"-1E100"},
        {125.0, u"125"},
        {12.5, u"12.5"},
        {35.689, u"35.689"},
        {139.69171, u"139.69171"},
        {std::numeric_limits<double>::infinity(), u"INF"},
        {-std::numeric_limits<double>::infinity(), u"-INF"},
        {std::nan(""), u"NAN"},
    };
    for (const auto& [value, text] : rows) {
        SCOPED_TRACE(testing::Message() << value);
        EXPECT_EQ(FloatToStr(value), text);
    }
}

TEST(Numbers, RoundHalfToEven)
{
    const std::pair<double, std::int64_t> rows[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {-0.4, 0},
        {59.4, 59},
        {100.5, 100},
        {0.49999999999999994, 0},
        {4503599627370497.0, 4503599627370497},
        {1e18, 1000000000000000000},
    };
    for (const auto& [value, expected] : rows) {
        SCOPED_TRACE(testing::Message() << value);
        EXPECT_EQ(Round(value), expected);
    }
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EInvalidOp);
    EXPECT_EQ(Trunc(-2.7), -2);
}

TEST(Numbers, IntegerTexts)
{
    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToStr(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(IntToStr(std::int64_t{1} << 40), u"1099511627776");
    EXPECT_EQ(IntToStr(4294967295u), u"4294967295");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(-1, 1), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(std::int64_t{-1}, 2), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0, 0), u"0");
}

} // namespace
