#include "platform/rtl/rtl.h"

#include <gtest/gtest.h>

namespace {

TEST(UnicodeString, SubStringClampsAsTheFramework)
{
    const UnicodeString s = u"abcdef";
    struct Row {
        int start, count;
        const char16_t* expected;
    } rows[] = {
        {1, 3, u"abc"},
        {4, 10, u"def"},
        {6, 1, u"f"},
        {7, 1, u""},
        {0, 2, u"ab"},
        {-5, 3, u"abc"},
        {2, 0, u""},
        {2, -1, u""},
        {1, 0x7FFFFFFF, u"abcdef"},
        {3, 0x7FFFFFFF, u"cdef"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.start << "," << r.count);
        EXPECT_EQ(s.SubString(r.start, r.count), r.expected);
    }
}

TEST(UnicodeString, IndexOutsideTheTextRaises)
{
    UnicodeString s = u"ab";
    EXPECT_THROW(s[0], ERangeError);
    EXPECT_THROW(s[3], ERangeError);
    EXPECT_THROW(UnicodeString()[1], ERangeError);
    EXPECT_EQ(s[1], u'a');
    s[2] = u'z';
    EXPECT_EQ(s, u"az");
    AnsiString a = "xy";
    EXPECT_THROW(a[0], Exception);
    EXPECT_EQ(a[2], 'y');
}

TEST(UnicodeString, SearchEditAndCase)
{
    UnicodeString s = u"Log.log";
    EXPECT_EQ(s.Pos(u"log"), 5);
    EXPECT_EQ(s.Pos(u"x"), 0);
    EXPECT_EQ(s.Pos(u""), 0);
    EXPECT_EQ(s.LastDelimiter(u"."), 4);
    EXPECT_EQ(UnicodeString(u"Ａbc日").UpperCase(), u"ＡBC日"); // only ASCII letters change
    EXPECT_EQ(UnicodeString(u"ABC").LowerCase(), u"abc");
    EXPECT_EQ(UnicodeString(u" \t x y \r\n").Trim(), u"x y");
    EXPECT_EQ(UnicodeString(u"  x ").TrimLeft(), u"x ");
    EXPECT_EQ(UnicodeString(u"  x ").TrimRight(), u"  x");
    EXPECT_EQ(UnicodeString(u"　x").Trim(), u"　x"); // a full-width blank is kept
    UnicodeString e = u"abcdef";
    e.Delete(2, 2);
    EXPECT_EQ(e, u"adef");
    e.Delete(10, 1).Delete(0, 1); // out of range: nothing
    EXPECT_EQ(e, u"adef");
    e.Insert(u"XY", 2);
    EXPECT_EQ(e, u"aXYdef");
    e.Insert(u"!", 100);
    EXPECT_EQ(e, u"aXYdef!");
}

TEST(UnicodeString, ConcatenationAndComparison)
{
    UnicodeString s = u"a";
    s += u"b";
    s += UnicodeString(u"c");
    s += u'd';
    EXPECT_EQ(s, u"abcd");
    EXPECT_EQ(u"<" + s + u">", u"<abcd>");
    EXPECT_EQ(u'[' + s, u"[abcd");
    EXPECT_TRUE(UnicodeString(u"B") < UnicodeString(u"a")); // ordinal
    EXPECT_TRUE(UnicodeString(u"2026/01/02 00:00:00") >= UnicodeString(u"2026/01/01 23:59:59"));
    EXPECT_EQ(UnicodeString(u"abc").Compare(u"abd"), -1);
    EXPECT_EQ(UnicodeString(u"ABC").CompareIC(u"abc"), 0);
    EXPECT_TRUE(UnicodeString().IsEmpty());
    EXPECT_EQ(UnicodeString(static_cast<const char16_t*>(nullptr)), u"");
    EXPECT_EQ(*UnicodeString().c_str(), u'\0');
    // Mixed widths compare after widening.
    AnsiString a = "ab";
    EXPECT_TRUE(UnicodeString(u"ab") == a);
    EXPECT_TRUE(a == UnicodeString(u"ab"));
    EXPECT_TRUE(a < UnicodeString(u"b"));
    EXPECT_EQ(UnicodeString(u"x") + AnsiString("y"), u"xy");
    EXPECT_EQ(UnicodeString(42), u"42");
    EXPECT_EQ(UnicodeString(-1.5), u"-1.5");
    EXPECT_EQ(AnsiString(7), "7");
}

// A number never appends as a character code.
template <class S, class T>
concept Appends = requires(S s, T t)
{
    s + t;
}
|| requires(S s, T t) { s += t; };
static_assert(!Appends<UnicodeString, int>);
static_assert(!Appends<AnsiString, int>);
static_assert(Appends<UnicodeString, char16_t>);
static_assert(Appends<AnsiString, char>);

TEST(AnsiString, BytesAndConversions)
{
    AnsiString a = u"パスワード";
    EXPECT_EQ(a.Length(), 10); // five double-byte characters
    EXPECT_EQ(UnicodeString(a), u"パスワード");
    AnsiString b("abc\0def", 7);
    EXPECT_EQ(b.Length(), 7);
    EXPECT_EQ(AnsiString("x") + "y" + 'z', "xyz");
    EXPECT_EQ("<" + AnsiString("x"), "<x");
    // Byte order: unsigned, so 0x81 sorts after "z".
    EXPECT_TRUE(AnsiString("z") < AnsiString("\x81\x40"));
    EXPECT_EQ(AnsiString("AbC").UpperCase(), "ABC");
    EXPECT_EQ(AnsiString("  12 ").Trim().ToInt(), 12);
    EXPECT_EQ(AnsiString("x").ToIntDef(5), 5);
}

TEST(StringFunctions, FreeFunctions)
{
    EXPECT_TRUE(SameText(u"Ffdshow", u"FFDSHOW"));
    EXPECT_LT(CompareText(u"a", u"B"), 0);
    EXPECT_GT(CompareStr(u"a", u"B"), 0);
    EXPECT_EQ(StringReplace(u"a-b-c", u"-", u"+", rfReplaceAll), u"a+b+c");
    EXPECT_EQ(StringReplace(u"a-b-c", u"-", u"+", 0), u"a+b-c");
    EXPECT_EQ(StringReplace(u"aXbx", u"x", u"", rfReplaceAll | rfIgnoreCase), u"ab");
    EXPECT_EQ(QuotedStr(u"it's"), u"'it''s'");
    EXPECT_EQ(PosEx(u"a", u"abca", 2), 4);
    EXPECT_EQ(PosEx(u"a", u"abca", 9), 0);
    EXPECT_EQ(AnsiCompareStr("abc", "abc"), 0);
    EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0); // passwords: byte equality
}

TEST(FileNames, SplittingWindowsPaths)
{
    struct Row {
        const char16_t* path;
        const char16_t *dir, *filePath, *name, *ext, *drive;
    } rows[] = {
        {u"E:\\DATA\\X.ASF", u"E:\\DATA", u"E:\\DATA\\", u"X.ASF", u".ASF", u"E:"},
        {u"E:\\X.ASF", u"E:\\", u"E:\\", u"X.ASF", u".ASF", u"E:"},
        {u"E:X", u"E:", u"E:", u"X", u"", u"E:"},
        {u"X", u"", u"", u"X", u"", u""},
        {u"E:\\a.b\\c", u"E:\\a.b", u"E:\\a.b\\", u"c", u"", u"E:"},
        {u"\\\\srv\\share\\f.txt", u"\\\\srv\\share", u"\\\\srv\\share\\", u"f.txt", u".txt", u"\\\\srv\\share"},
        {u"", u"", u"", u"", u"", u""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(r.path));
        EXPECT_EQ(ExtractFileDir(r.path), r.dir);
        EXPECT_EQ(ExtractFilePath(r.path), r.filePath);
        EXPECT_EQ(ExtractFileName(r.path), r.name);
        EXPECT_EQ(ExtractFileExt(r.path), r.ext);
        EXPECT_EQ(ExtractFileDrive(r.path), r.drive);
    }
    EXPECT_EQ(ChangeFileExt(u"E:\\DATA\\X.ASF", u".jpg"), u"E:\\DATA\\X.jpg");
    EXPECT_EQ(ChangeFileExt(u"E:\\a.b\\c", u".jpg"), u"E:\\a.b\\c.jpg");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"E:\\Icon"), u"E:\\Icon\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"E:\\"), u"E:\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"E:\\Icon\\"), u"E:\\Icon");
}

TEST(Exception, MessageClassAndWhat)
{
    try {
        throw EConvertError(u"'%s' is not valid", u"ｱ");
    } catch (Exception& e) {
        EXPECT_EQ(e.Message, u"'ｱ' is not valid");
        EXPECT_STREQ(e.what(), "'\xEF\xBD\xB1' is not valid");
        EXPECT_NE(dynamic_cast<EConvertError*>(&e), nullptr);
    }
    // Every subclass is caught as the framework's exception.
    EXPECT_THROW(throw EFOpenError(u"x"), Exception);
    EXPECT_THROW(throw EFOpenError(u"x"), EStreamError);
    EXPECT_THROW(throw EListError(u"x"), Exception);
    EXPECT_THROW(throw EInvalidOperation(u"x"), std::exception);
    // A plain message is not a format.
    EXPECT_EQ(Exception(u"100%").Message, u"100%");
    EXPECT_EQ(SysErrorMessage(2), u"指定されたファイルが見つかりません。");
    EXPECT_THROW(Abort(), EAbort);
}

} // namespace
