#include "platform/rtl/rtl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Cp932Case {
    std::u16string text;
    std::string bytes;
};

// Characters and their code page 932 bytes, both ways.
TEST(CodePage, RoundTripTable)
{
    const Cp932Case cases[] = {
        {u"", ""},
        {u"ABC xyz 0-9", "ABC xyz 0-9"},
        {u"\\", "\x5C"},
        {u"~", "\x7E"},
        {u"日本語", "\x93\xFA\x96\x7B\x8C\xEA"},
        {u"ｴﾗｰ番号", "\xB4\xD7\xB0\x94\xD4\x8D\x86"}, // half-width katakana are single bytes
        {u"表", "\x95\x5C"}, // trail byte 0x5C
        {u"ソ", "\x83\x5C"},
        {u"：", "\x81\x46"},
        {u"【】", "\x81\x79\x81\x7A"},
        {u"　", "\x81\x40"}, // full-width blank
        {u"ドライブ（C：内）",
         "\x83\x68\x83\x89\x83\x43\x83\x75\x81\x69"
         "C\x81\x46\x93\xE0\x81\x6A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(c.text));
        EXPECT_EQ(rtl::Utf16ToCp932(c.text), c.bytes);
        EXPECT_EQ(rtl::Cp932ToUtf16(c.bytes), c.text);
        EXPECT_EQ(AnsiString(UnicodeString(c.text)).str(), c.bytes);
        EXPECT_EQ(UnicodeString(AnsiString(c.bytes)).str(), c.text);
    }
}

// Plain ASCII text skips the tables: it must convert exactly as it does
// beside a character that needs them.
TEST(CodePage, AsciiAloneAndBesideOtherCharactersAgree)
{
    std::u16string text;
    std::string bytes;
    for (int c = 0; c < 0x80; ++c) {
        text += static_cast<char16_t>(c);
        bytes += static_cast<char>(c);
    }
    EXPECT_EQ(rtl::Utf16ToCp932(text), bytes);
    EXPECT_EQ(rtl::Cp932ToUtf16(bytes), text);
    EXPECT_EQ(rtl::Utf16ToCp932(text + u"日"), bytes + "\x93\xFA");
    EXPECT_EQ(rtl::Cp932ToUtf16(bytes + "\x93\xFA"), text + u"日");
    EXPECT_EQ(rtl::Cp932ToUtf16("a\xB1"), u"aｱ");
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks)
{
    const Cp932Case cases[] = {
        {u"한국", "??"}, // Hangul
        {u"a\U0001F600b", "a?b"}, // a surrogate pair is one character
        {u"x\xD800y", "x?y"}, // lone surrogate
        {u"\xDC00", "?"},         {u"€", "?"}, {u"日\u00E9本", "\x93\xFA?\x96\x7B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(c.text));
        EXPECT_EQ(rtl::Utf16ToCp932(c.text), c.bytes);
    }
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters)
{
    const Cp932Case cases[] = {
        {u"\xFFFD", "\x81"}, // lead byte at the end
        {u"\xFFFD ", "\x81\x20"}, // lead byte before a byte that is no trail byte
        {u"\xFFFD\n", "\x81\x0A"}, // ... which is read afresh
        {u"a\xFFFD\x7F"
         u"b",
         "a\x81\x7F"
         "b"}, // 0x7F is no trail byte either
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(rtl::Cp932ToUtf16(c.bytes), c.text);
    }
}

// Every double-byte code that decodes to a character encodes back to some
// bytes that decode to the same character (a few codes are duplicates of
// others, so the bytes themselves may differ).
TEST(CodePage, EveryDecodableCodeSurvivesTheRoundTrip)
{
    int decoded = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string text = rtl::Cp932ToUtf16(bytes);
            if (text.size() != 1 || text[0] == 0xFFFD)
                continue;
            ++decoded;
            std::string back = rtl::Utf16ToCp932(text);
            ASSERT_EQ(rtl::Cp932ToUtf16(back), text) << std::hex << lead << " " << trail;
        }
    }
    EXPECT_GT(decoded, 7000); // JIS X 0208 and the vendor rows
}

TEST(CodePage, PathsSplitAfterWidening)
{
    // "C:\表\x.txt" in code page 932: the trail byte of 表 is 0x5C.
    AnsiString path("C:\\\x95\x5C\\x.txt");
    UnicodeString wide = path;
    EXPECT_EQ(ExtractFileName(wide), u"x.txt");
    EXPECT_EQ(ExtractFilePath(wide), u"C:\\表\\");
    EXPECT_EQ(wide.Length(), 10);
    EXPECT_EQ(path.LastDelimiter("\\"), 6); // not the trail byte at 5
    EXPECT_EQ(AnsiString("\x95\x5C").LastDelimiter("\\"), 0);
    // Lead bytes are 0x81-0x9F and 0xE0-0xFC.
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(rtl::IsDBCSLeadByte(static_cast<unsigned char>(b)),
                  (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
    }
}

TEST(CodePage, Utf8Boundary)
{
    const std::pair<std::string, std::u16string> cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"日本"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
    };
    for (const auto& [utf8, utf16] : cases) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(rtl::Utf8ToUtf16(utf8), utf16);
        EXPECT_EQ(rtl::Utf16ToUtf8(utf16), utf8);
        EXPECT_EQ(rtl::ToUtf8(rtl::FromUtf8(utf8)), utf8);
    }
    // Invalid input never fails: each bad sequence is one U+FFFD.
    EXPECT_EQ(rtl::Utf8ToUtf16("a\xFF"
                               "b"),
              u"a\xFFFD"
              u"b");
    EXPECT_EQ(rtl::Utf8ToUtf16("\xE6\x97"), u"\xFFFD");
    EXPECT_EQ(rtl::Utf8ToUtf16("\xC0\xAF"), u"\xFFFD"); // overlong "/"
    EXPECT_EQ(rtl::Utf8ToUtf16("\xED\xA0\x80"), u"\xFFFD"); // encoded surrogate
    EXPECT_EQ(rtl::Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
}

} // namespace

namespace {

// The tables are built on first use, which may happen on any thread.
TEST(CodePageThread, ConversionsFromManyThreads)
{
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&failures] {
            for (int i = 0; i < 200; ++i) {
                AnsiString a = UnicodeString(u"ログ表示");
                if (UnicodeString(a) != u"ログ表示")
                    ++failures;
                if (Format(u"%s/%d", a, i).IsEmpty())
                    ++failures;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
