#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <fcntl.h>
#include <unistd.h>

#include "CardFolder.h"
#include "platform/win/CurrentDirectory.h"
#include "platform/win/DriveTable.h"
#include "platform/win/LastError.h"
#include "platform/win/PathResolver.h"

using namespace win;
using win_test::CardFolder;

namespace {

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DriveTable::Instance().Configure("E=" + card.Root() + ":removable;C=" + home.Root());
        card.WriteFile("DATA/Rec01.ASF");
        card.MakeFolder("Viewer/Icon");
    }
    void TearDown() override { DriveTable::Instance().Reset(); }

    CardFolder card;
    CardFolder home;
};

TEST_F(PathResolverTest, ExistingEntriesWinWithoutRegardToCase)
{
    const ResolvedPath r = ResolvePath(u"e:\\data\\REC01.asf");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.host, card.Root() + "/DATA/Rec01.ASF");
    EXPECT_EQ(r.windows, u"E:\\DATA\\Rec01.ASF");
    EXPECT_EQ(r.drive, u'E');
    EXPECT_TRUE(r.parentExists);
    EXPECT_TRUE(r.removable);
    EXPECT_FALSE(r.isRoot);

    // A new name keeps its spelling; below a missing folder the parent is missing.
    const ResolvedPath fresh = ResolvePath(u"E:\\data\\New\\File.txt");
    ASSERT_TRUE(fresh.ok());
    EXPECT_EQ(fresh.host, card.Root() + "/DATA/New/File.txt");
    EXPECT_FALSE(fresh.parentExists);
    EXPECT_TRUE(ResolvePath(u"E:\\data\\New").parentExists);
    // A file in the middle of a path is no folder.
    EXPECT_FALSE(ResolvePath(u"E:\\DATA\\Rec01.ASF\\x").parentExists);
}

TEST_F(PathResolverTest, ExactSpellingIsPreferredAmongCaseTwins)
{
    card.MakeFolder("twin/abc");
    card.MakeFolder("twin/ABC");
    EXPECT_EQ(ResolvePath(u"E:\\twin\\abc").host, card.Root() + "/twin/abc");
    EXPECT_EQ(ResolvePath(u"E:\\twin\\ABC").host, card.Root() + "/twin/ABC");
    // No exact match: the first host name in byte order.
    EXPECT_EQ(ResolvePath(u"E:\\twin\\Abc").host, card.Root() + "/twin/ABC");
}

TEST_F(PathResolverTest, SeparatorsDotsAndTrailingDotsAreNormalised)
{
    const struct {
        const char16_t* in;
        const char16_t* windows;
    } rows[] = {
        {u"E:\\\\DATA\\\\\\Rec01.ASF", u"E:\\DATA\\Rec01.ASF"},
        {u"E:/DATA/Rec01.ASF", u"E:\\DATA\\Rec01.ASF"},
        {u"E:\\Viewer\\.\\..\\DATA\\Rec01.ASF", u"E:\\DATA\\Rec01.ASF"},
        {u"E:\\..\\..\\DATA", u"E:\\DATA"},
        {u"E:\\DATA.\\Rec01.ASF. ", u"E:\\DATA\\Rec01.ASF"},
        {u"E:\\", u"E:\\"},
        {u"e:", u"E:\\"}, // the current directory is on another drive: E's root
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.in, row.in + std::char_traits<char16_t>::length(row.in)).c_str());
        const ResolvedPath r = ResolvePath(row.in);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.windows, row.windows);
    }
    EXPECT_TRUE(ResolvePath(u"E:\\").isRoot);
    EXPECT_TRUE(ResolvePath(u"E:\\\\").isRoot);
}

TEST_F(PathResolverTest, BadPathsFailWithTheirError)
{
    const struct {
        const char16_t* in;
        DWORD error;
    } rows[] = {
        {u"", ERROR_PATH_NOT_FOUND},
        {u"Q:\\DATA", ERROR_PATH_NOT_FOUND}, // unmapped letter
        {u"\\\\server\\share\\x", ERROR_BAD_NETPATH},
        {u"E:\\DATA\\*.ASF", ERROR_INVALID_NAME},
        {u"E:\\DA?A", ERROR_INVALID_NAME},
        {u"E:\\a:b", ERROR_INVALID_NAME},
        {u"E:\\a|b", ERROR_INVALID_NAME},
        {u"E:\\CON", ERROR_INVALID_NAME},
        {u"E:\\lpt1.txt", ERROR_INVALID_NAME},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.in, row.in + std::char_traits<char16_t>::length(row.in)).c_str());
        EXPECT_EQ(ResolvePath(row.in).error, row.error);
    }
    const std::u16string lone{u'E', u':', u'\\', char16_t(0xD800)};
    EXPECT_EQ(ResolvePath(lone).error, ERROR_INVALID_NAME);
}

TEST_F(PathResolverTest, RemovedDriveAnswersNoMoreUntilInserted)
{
    DriveTable::Instance().SetPresent(u'e', false);
    EXPECT_EQ(ResolvePath(u"E:\\DATA\\Rec01.ASF").error, ERROR_NOT_READY);
    EXPECT_EQ(ResolvePath(u"E:\\").error, ERROR_NOT_READY);
    DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_TRUE(ResolvePath(u"E:\\DATA\\Rec01.ASF").ok());
}

TEST_F(PathResolverTest, HostNamesWindowsCannotHoldAreInvisible)
{
    card.WriteFile("odd/a:b");
    card.WriteFile("odd/trail.");
    card.WriteFile("odd/con");
    card.WriteFile("odd/bad\xff");
    // Only "Trail" could be looked up; the host's "trail." never matches it.
    const ResolvedPath r = ResolvePath(u"E:\\odd\\trail");
    EXPECT_EQ(r.host, card.Root() + "/odd/trail");
    EXPECT_TRUE(IsWindowsName(u"Rec01.ASF"));
    for (const char16_t* bad : {u"a:b", u"trail.", u"trail ", u"con", u"NUL.txt", u"COM3", u"a*", u""})
        EXPECT_FALSE(IsWindowsName(bad));
    EXPECT_FALSE(IsWindowsName(std::u16string(256, u'a')));
    EXPECT_TRUE(IsWindowsName(std::u16string(255, u'a')));
}

TEST_F(PathResolverTest, RelativePathsFollowTheCurrentDirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryPath(u"E:\\Viewer"));
    EXPECT_EQ(CurrentDirectory(), u"E:\\Viewer");
    EXPECT_EQ(ResolvePath(u"Icon").host, card.Root() + "/Viewer/Icon");
    EXPECT_EQ(ResolvePath(u"..\\DATA\\Rec01.ASF").host, card.Root() + "/DATA/Rec01.ASF");
    EXPECT_EQ(ResolvePath(u"\\DATA").host, card.Root() + "/DATA");
    EXPECT_EQ(ResolvePath(u"E:Icon").host, card.Root() + "/Viewer/Icon");
    EXPECT_EQ(ResolvePath(u"C:x").host, home.Root() + "/x"); // another drive: its root

    ASSERT_TRUE(SetCurrentDir(u"E:\\"));
    EXPECT_EQ(GetCurrentDir(), u"E:\\");
    // Windows keeps the spelling it was given.
    ASSERT_TRUE(SetCurrentDirectoryPath(u"e:\\viewer\\\\"));
    EXPECT_EQ(CurrentDirectory(), u"e:\\viewer");

    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryPath(u"E:\\Nowhere"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SetCurrentDirectoryPath(u"E:\\DATA\\Rec01.ASF"));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_EQ(CurrentDirectory(), u"e:\\viewer");

    char16_t buffer[8];
    EXPECT_EQ(GetCurrentDirectoryW(8, buffer), 10u); // too small: the size needed with the NUL
    char16_t big[64];
    EXPECT_EQ(GetCurrentDirectoryW(64, big), 9u);
    EXPECT_EQ(std::u16string(big), u"e:\\viewer");
}

TEST_F(PathResolverTest, CurrentDirectoryStartsFromTheHosts)
{
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir((card.Root() + "/Viewer/Icon").c_str()), 0);
    DriveTable::Instance().Configure("E=" + card.Root() + ";D=" + card.Root() + "/Viewer");
    // The drive whose folder holds it most closely.
    EXPECT_EQ(CurrentDirectory(), u"D:\\Icon");
    DriveTable::Instance().Configure("E=" + card.Root());
    ASSERT_EQ(chdir(card.Root().c_str()), 0);
    EXPECT_EQ(CurrentDirectory(), u"E:\\");
    ASSERT_EQ(chdir(saved), 0);
}

TEST(DriveTableTest, ParsesTheEnvironmentFormat)
{
    const std::vector<DriveEntry> t =
        DriveTable::Parse("E=/media/card:removable;c=/home/me;F=/mnt/ro:readonly:removable;bad;=x;G=;"
                          "H=/a:b;E=/media/other:write-protected");
    const std::vector<DriveEntry> expected = {
        {u'C', "/home/me", false, false, true},
        {u'F', "/mnt/ro", true, true, true},
        {u'H', "/a:b", false, false, true}, // an unknown word after ":" is part of the folder
        {u'E', "/media/other", false, true, true},
    };
    EXPECT_EQ(t, expected);
}

TEST(DriveTableTest, ComesFromTheEnvironmentOnFirstUse)
{
    const char* before = std::getenv("VELMORASTINE_DRIVES");
    const std::string saved = before ? before : "";
    setenv("VELMORASTINE_DRIVES", "E=/media/card:removable;C=/home/me", 1);
    DriveTable::Instance().Reset();
    EXPECT_EQ(
        DriveTable::Instance().Entries(),
        (std::vector<DriveEntry>{{u'E', "/media/card", true, false, true}, {u'C', "/home/me", false, false, true}}));
    EXPECT_EQ(DriveTable::Instance().Find(u'e')->root, "/media/card");
    EXPECT_FALSE(DriveTable::Instance().Find(u'D'));
    if (before)
        setenv("VELMORASTINE_DRIVES", saved.c_str(), 1);
    else
        unsetenv("VELMORASTINE_DRIVES");
    DriveTable::Instance().Reset();
}

TEST(DriveTableTest, DefaultsAddTheMountOfACurrentDirectoryOutsideHome)
{
    EXPECT_EQ(DriveTable::Defaults("/root", "/root/work").size(), 1u);
    const auto outside = DriveTable::Defaults("/nonexistent-home", "/");
    ASSERT_EQ(outside.size(), 2u);
    EXPECT_EQ(outside[0].letter, u'C');
    EXPECT_EQ(outside[0].root, "/nonexistent-home");
    EXPECT_EQ(outside[1].letter, u'D');
    EXPECT_EQ(outside[1].root, "/");
}

// The Windows form of a host folder through the drive `letter`.
std::u16string ThroughDrive(char16_t letter, const std::string& folder)
{
    const std::optional<DriveEntry> d = DriveTable::Instance().Find(letter);
    if (!d || folder.compare(0, d->root.size(), d->root) != 0)
        return {};
    std::string rest = folder.substr(d->root == "/" ? 0 : d->root.size());
    std::u16string out{letter, u':'};
    std::u16string wide;
    EXPECT_TRUE(Utf8ToUtf16(rest.empty() ? "/" : rest, wide));
    for (char16_t c : wide)
        out += c == u'/' ? u'\\' : c;
    return out;
}

TEST(DriveTableTest, AnyHostFolderCanBeGivenADrive)
{
    CardFolder card;
    CardFolder outside;
    outside.MakeFolder("Stick/DCIM");
    outside.MakeFolder("odd:name/In");
    outside.WriteFile("file.txt");
    DriveTable& table = DriveTable::Instance();
    table.Configure("E=" + card.Root() + ":removable;Z=" + card.Root() + "/z");

    // The highest free letter; the folder is then reached through it, both ways.
    const std::string stick = outside.Root() + "/Stick/DCIM";
    const std::optional<char16_t> letter = table.AddDriveFor(stick + "/");
    ASSERT_TRUE(letter);
    EXPECT_EQ(*letter, u'Y');
    const std::u16string windows = ThroughDrive(u'Y', stick);
    ASSERT_FALSE(windows.empty());
    EXPECT_EQ(ResolvePath(windows).host, stick);
    // Asked again, the same drive; E: and Z: stay as configured.
    EXPECT_EQ(table.AddDriveFor(stick), std::optional<char16_t>(u'Y'));
    EXPECT_EQ(table.Find(u'E')->root, card.Root());
    EXPECT_EQ(table.Find(u'Z')->root, card.Root() + "/z");
    EXPECT_EQ(table.Entries().size(), 3u);

    // Below a name Windows could not hold, the folder itself is the drive.
    const std::string odd = outside.Root() + "/odd:name/In";
    const std::optional<char16_t> oddLetter = table.AddDriveFor(odd);
    ASSERT_TRUE(oddLetter);
    EXPECT_EQ(table.Find(*oddLetter)->root, odd);
    EXPECT_EQ(ResolvePath(std::u16string{*oddLetter, u':', u'\\'}).host, odd);

    // Nothing for what is no folder.
    for (const std::string& bad :
         {outside.Root() + "/file.txt", outside.Root() + "/missing", std::string("Stick"), std::string()}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(table.AddDriveFor(bad));
    }
    // Nor when every letter from D: on is taken.
    std::string full;
    for (char c = 'D'; c <= 'Z'; ++c)
        full += std::string(1, c) + "=" + card.Root() + "/" + c + ";";
    table.Configure(full);
    EXPECT_FALSE(table.AddDriveFor(stick));
    table.Reset();
}

TEST(NameConversionTest, Utf8AndCodePage932)
{
    std::u16string wide;
    EXPECT_TRUE(Utf8ToUtf16("\xe3\x83\xad\xe3\x82\xb0", wide)); // "ログ"
    EXPECT_EQ(wide, u"ログ");
    for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xe3\x83", "\xff", "\xf4\x90\x80\x80"})
        EXPECT_FALSE(Utf8ToUtf16(bad, wide));
    std::string narrow;
    EXPECT_TRUE(Utf16ToUtf8(u"ログ\U0001F600", narrow));
    EXPECT_EQ(narrow, "\xe3\x83\xad\xe3\x82\xb0\xf0\x9f\x98\x80");
    // Code page 932: "ソ" is 83 5C, whose trail byte is no backslash.
    EXPECT_EQ(AnsiPathToWide("E:\\\x83\x5C\\x"), u"E:\\ソ\\x");
    EXPECT_EQ(AnsiPathToWide("a\x80"
                             "b"),
              u"a?b");
    EXPECT_TRUE(NamesEqualIgnoringCase(u"Rec01.asf", u"REC01.ASF"));
    EXPECT_TRUE(NamesEqualIgnoringCase(u"ｄａｔａ", u"ＤＡＴＡ"));
    EXPECT_FALSE(NamesEqualIgnoringCase(u"Rec01", u"Rec02"));
}

} // namespace
