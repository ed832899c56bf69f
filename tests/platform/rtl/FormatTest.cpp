#include "platform/rtl/rtl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

TEST(Format, Table)
{
    struct Row {
        UnicodeString got;
        const char16_t* expected;
    } rows[] = {
        {Format(u"%d", 42), u"42"},
        {Format(u"%5d|%-5d|%05d", 42, 42, -42), u"   42|42   |-0042"},
        {Format(u"%+d % d", 5, 5), u"+5  5"},
        {Format(u"%.3d", 7), u"007"},
        {Format(u"%u", -1), u"4294967295"},
        {Format(u"%x %X %08x", 255, 255, 0x1234), u"ff FF 00001234"},
        {Format(u"%08lx", static_cast<std::uint32_t>(0x80004005)), u"80004005"},
        {Format(u"%x", std::int64_t{-1}), u"ffffffffffffffff"},
        {Format(u"%x", -1), u"ffffffff"},
        {Format(u"%#x", 255), u"0xff"},
        {Format(u"%02d:%02d:%02d/", 1, 2, 3), u"01:02:03/"},
        {Format(u"%04d/%02d/%02d %02d:%02d:%02d", 2026, 1, 2, 3, 4, 5), u"2026/01/02 03:04:05"},
        {Format(u"%.0f", 2.0), u"2"},
        {Format(u"%.0f", 2.5), u"2"}, // the double's own value, ties to even
        {Format(u"%.0f", -0.4), u"-0"}, // printf keeps the sign; callers round first
        {Format(u"%.2f", 3.14159), u"3.14"},
        {Format(u"%f", 1.5), u"1.500000"},
        {Format(u"%8.3f|%-8.1f|%08.2f", 3.14159, 2.0, -1.5), u"   3.142|2.0     |-0001.50"},
        {Format(u"%e", 12345.678), u"1.234568e+04"},
        {Format(u"%g %g", 0.0001, 1e20), u"0.0001 1e+20"},
        {Format(u"%s/%s", u"a", AnsiString("b")), u"a/b"},
        {Format(u"%s", UnicodeString(u"日本")), u"日本"},
        {Format(u"%s", "\x93\xFA"), u"日"}, // 8-bit text is code page 932
        {Format(u"[%5s][%-5s][%.2s]", u"ab", u"ab", u"abcdef"), u"[   ab][ab   ][ab]"},
        {Format(u"ドライブ（%c：内）", u'E'), u"ドライブ（E：内）"},
        {Format(u"%c%c%c", 'A', u'日', '\xB1'), u"A日ｱ"},
        {Format(u"100%%"), u"100%"},
        {Format(u"%*d|%-*d", 4, 1, 3, 2), u"   1|2  "},
        {Format(u"%*d|", -3, 1), u"1  |"},
        {Format(u"%x %d", 1e300, std::nan("")), u"7fffffffffffffff 0"},
        {Format(u"%s", 12), u"12"},
        {Format(u"  [%s/%s]", u"3", u"10"), u"  [3/10]"},
        {Format(u"　[%s件]", u"7"), u"　[7件]"},
        // Malformed or missing: copied literally, never read past the arguments.
        {Format(u"%d %d", 1), u"1 %d"},
        {Format(u"%"), u"%"},
        {Format(u"%q", 1), u"%q"},
        {Format(u"%s"), u"%s"},
        {Format(u"%d", u"x"), u"%d"},
        {Format(u"%99999d", 1).SubString(4096, 1), u"1"}, // widths are bounded
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(r.expected));
        EXPECT_EQ(r.got, r.expected);
    }
}

TEST(Format, WidthsFromArgumentsAreBounded)
{
    EXPECT_EQ(Format(u"%*d", INT64_MIN, 1).Length(), 4096);
    EXPECT_EQ(Format(u"%.*f", 100000, 1.0).Length(), 102); // precision at most 100
}

TEST(Format, EightBitAndMemberForms)
{
    AnsiString a;
    a.sprintf("TPlayControl::RunMedia Error (%08lx)!\r\n", 0x80040209u);
    EXPECT_EQ(a, "TPlayControl::RunMedia Error (80040209)!\r\n");
    a.cat_sprintf("%s", u"日"); // UTF-16 arguments are narrowed to code page 932
    EXPECT_EQ(a.SubString(a.Length() - 1, 2), "\x93\xFA");
    EXPECT_EQ(FormatAnsi("[%s] and [%s]", "Out", AnsiString("In")), "[Out] and [In]");
    UnicodeString u;
    u.sprintf(u"%d件", 3).cat_sprintf(u"/%s", u"x");
    EXPECT_EQ(u, u"3件/x");
    // Precision counts bytes of 8-bit output, without splitting a character.
    EXPECT_EQ(FormatAnsi("%.3s", "abcdef"), "abc");
    EXPECT_EQ(FormatAnsi("%.3s", u"日本"), "\x93\xFA");
    enum Level { kDebug, kError = 3 };
    EXPECT_EQ(Format(u"%d", kError), u"3");
}

// Random directives never read past the arguments or overflow a width.
TEST(Format, RandomDirectivesAreSafe)
{
    const char alphabet[] = "%-+ #0123456789.*hlLzdiuxXocsfFeEgGp%a";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::u16string format;
        std::size_t length = random() % 24;
        for (std::size_t i = 0; i < length; ++i)
            format += static_cast<char16_t>(alphabet[random() % (sizeof alphabet - 1)]);
        UnicodeString u = Format(format, -7, u"text", 2.5, 'c', std::uint64_t{1} << 63);
        AnsiString a = FormatAnsi(AnsiString(UnicodeString(format)), -7, "text", -1e300, u'日');
        EXPECT_LE(u.Length(), 24 * 4200);
        EXPECT_LE(a.Length(), 24 * 4200);
    }
}

} // namespace
