#include "TempDrive.h"

#include "platform/rtl/rtl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using StringListFile = rtltest::TempDrive;

// Bytes of a literal, embedded NULs included.
template <std::size_t N>
std::string B(const char (&s)[N])
{
    return std::string(s, N - 1);
}

std::vector<std::u16string> Lines(const TStrings& list)
{
    std::vector<std::u16string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i).str());
    return out;
}

TEST(StringList, IndexChecks)
{
    TStringList list;
    EXPECT_THROW(list.Strings(0), EListError);
    list.Add(u"a");
    list.Add(u"b");
    EXPECT_THROW(list.Strings(-1), EListError);
    EXPECT_THROW(list.Strings(2), EListError);
    EXPECT_THROW(list.SetStrings(2, u"x"), EListError);
    EXPECT_THROW(list.Delete(2), EListError);
    EXPECT_THROW(list.Insert(3, u"x"), EListError);
    try {
        list.Strings(5);
    } catch (EListError& e) {
        EXPECT_EQ(e.Message, u"List index out of bounds (5)");
    }
    list.Insert(2, u"c"); // at the end is allowed
    list.SetStrings(0, u"A");
    list.Delete(1);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"A", u"c"}));
    EXPECT_EQ(list.IndexOf(u"a"), 0); // without regard to case
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(u"a"), -1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, TextSplitsAtEveryLineEnd)
{
    TStringList list;
    list.SetText(u"a\r\nb\nc\rd\r\n\r\ne");
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"", u"e"}));
    EXPECT_EQ(list.Text(), u"a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
    list.SetText(u"x\r\n"); // a final line break adds no empty line
    EXPECT_EQ(list.Count(), 1);
    list.SetText(u"");
    EXPECT_EQ(list.Count(), 0);
    list.SetText(u"\r\n");
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u""}));
    list.SetText(UnicodeString(std::u16string(u"a\0b", 3))); // a NUL ends nothing
    EXPECT_EQ(list.Strings(0).Length(), 3);
}

TEST(StringList, SortedNamesAndValues)
{
    TStringList list;
    list.Add(u"b");
    list.Add(u"C");
    list.Add(u"a");
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"a", u"b", u"C"}));
    EXPECT_EQ(list.Add(u"B"), 1); // a duplicate without regard to case is ignored
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Add(u"bb"), 2);
    EXPECT_EQ(list.IndexOf(u"c"), 3);
    EXPECT_THROW(list.Insert(0, u"z"), EListError);
    TStringList values;
    values.Add(u"screen=2");
    values.Add(u"p_m=AB=CD");
    EXPECT_EQ(values.Names(1), u"p_m");
    EXPECT_EQ(values.Values(u"P_M"), u"AB=CD");
    EXPECT_EQ(values.Values(u"none"), u"");
    values.SetValues(u"screen", u"3");
    values.SetValues(u"new", u"x");
    values.SetValues(u"p_m", u"");
    EXPECT_EQ(Lines(values), (std::vector<std::u16string>{u"screen=3", u"new=x"}));
}

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> lines;
    std::string savedBytes; // SaveToFile after the load
};

TEST_F(StringListFile, LoadAndSaveEveryEncodingAndLineEnd)
{
    const LoadCase cases[] = {
        {"cp932 CR LF", "a\r\n\x93\xFA\x96\x7B\r\n", {u"a", u"日本"}, "a\r\n\x93\xFA\x96\x7B\r\n"},
        {"cp932 LF", "a\nb\n", {u"a", u"b"}, "a\r\nb\r\n"},
        {"cp932 lone CR", "a\rb", {u"a", u"b"}, "a\r\nb\r\n"},
        {"mixed", "a\r\n\r\nb\n\rc", {u"a", u"", u"b", u"", u"c"}, "a\r\n\r\nb\r\n\r\nc\r\n"},
        {"empty", "", {}, ""},
        {"utf-8 BOM",
         "\xEF\xBB\xBF"
         "a\n\xE6\x97\xA5\n",
         {u"a", u"日"},
         "\xEF\xBB\xBF"
         "a\r\n\xE6\x97\xA5\r\n"},
        {"utf-16LE BOM",
         B("\xFF\xFE"
           "a\0\n\0\xE5\x65\r\0\n\0"),
         {u"a", u"日"},
         B("\xFF\xFE"
           "a\0\r\0\n\0\xE5\x65\r\0\n\0")},
        {"utf-16BE BOM", B("\xFE\xFF\0a\0\r\0\n"), {u"a"}, B("\xFE\xFF\0a\0\r\0\n")},
        {"BOM only", "\xEF\xBB\xBF", {}, "\xEF\xBB\xBF"},
        {"odd UTF-16",
         B("\xFF\xFE"
           "a\0b"),
         {u"a\xFFFD"},
         B("\xFF\xFE"
           "a\0\xFD\xFF\r\0\n\0")},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes("in.txt", c.bytes);
        TStringList list;
        list.LoadFromFile(u"T:\\in.txt");
        EXPECT_EQ(Lines(list), c.lines);
        list.SaveToFile(u"T:\\out.txt");
        EXPECT_EQ(ReadBytes("out.txt"), c.savedBytes);
    }
}

TEST_F(StringListFile, SaveWithoutLoadIsCodePage932WithoutBom)
{
    TStringList list;
    list.Add(u"2026/01/01 00:00:00 [Info]   起動");
    list.Add(u"한");
    list.SaveToFile(u"T:\\Log.log");
    EXPECT_EQ(ReadBytes("Log.log"), "2026/01/01 00:00:00 [Info]   \x8B\x4E\x93\xAE\r\n?\r\n");
    list.SaveToFile(u"T:\\u8.txt", TEncoding::UTF8);
    EXPECT_EQ(ReadBytes("u8.txt").substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(StringListFile, FailuresRaiseAndKeepTheList)
{
    TStringList list;
    list.Add(u"keep");
    EXPECT_THROW(list.LoadFromFile(u"T:\\missing.txt"), EFOpenError);
    EXPECT_THROW(list.LoadFromFile(u"Q:\\unmapped.txt"), EFOpenError);
    std::filesystem::create_directory(Host("folder"));
    EXPECT_THROW(list.LoadFromFile(u"T:\\folder"), EFOpenError);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"keep"}));
    EXPECT_THROW(list.SaveToFile(u"T:\\no\\such\\folder.txt"), EFCreateError);
    WriteBytes("ro.txt", "old");
    MakeReadOnly("ro.txt");
    EXPECT_THROW(list.SaveToFile(u"T:\\ro.txt"), EFCreateError);
    EXPECT_EQ(ReadBytes("ro.txt"), "old");
    // Names resolve without regard to case.
    WriteBytes("Mixed.TXT", "x\r\n");
    list.LoadFromFile(u"T:\\MIXED.txt");
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"x"}));
}

TEST_F(StringListFile, HostileTextFilesLoadWithoutHarm)
{
    const std::string hostile[] = {
        std::string(1, '\0'),
        std::string("\x81"), // a lead byte at the end
        std::string("\xFF\xFE\x00"), // half a UTF-16 unit
        B("\xFF\xFE\x00\xD8"), // a lone surrogate
        std::string("\xEF\xBB\xBF\xF0\x9F"), // truncated UTF-8
        std::string(100000, '\r'),
        std::string(200000, '\x81'),
    };
    for (const std::string& bytes : hostile) {
        SCOPED_TRACE(bytes.size());
        WriteBytes("bad.txt", bytes);
        TStringList list;
        EXPECT_NO_THROW(list.LoadFromFile(u"T:\\bad.txt"));
        EXPECT_NO_THROW(list.SaveToFile(u"T:\\bad-out.txt"));
    }
}

} // namespace
