#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/backends/gtk/FileFilter.h"
#include "platform/backends/gtk/KeyMap.h"
#include "platform/backends/gtk/WindowsFolder.h"
#include "platform/backends/pango/FontTable.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Events.h"
#include "platform/win/DriveTable.h"
#include "platform/win/PathResolver.h"
#include "tests/support/TempFolder.h"

namespace {

using backends::gtk::CharOf;
using backends::gtk::VirtualKeyOf;
using backends::gtk::WindowsFolderOf;
using backends::pango::FamilyFor;

TEST(FontTableTest, WindowsNamesMapToTheIpaFamilies)
{
    struct Row {
        const char16_t* name;
        const char* family;
    };
    const Row rows[] = {
        // The names the program uses.
        {u"ＭＳ ゴシック", "IPAGothic"},
        {u"ＭＳ Ｐゴシック", "IPAPGothic"},
        {u"ＭＳ 明朝", "IPAMincho"},
        {u"ＭＳ Ｐ明朝", "IPAPMincho"},
        {u"MS UI Gothic", "IPAPGothic"},
        {u"@Arial Unicode MS", "IPAPGothic"},
        {u"Tahoma", "IPAPGothic"},
        // Other spellings of the same fonts.
        {u"MS Gothic", "IPAGothic"},
        {u"ms pgothic", "IPAPGothic"},
        {u"MS Mincho", "IPAMincho"},
        {u"ＭＳゴシック", "IPAGothic"},
        {u"@ＭＳ ゴシック", "IPAGothic"},
        {u"ＭＳ　Ｐ明朝", "IPAPMincho"}, // full-width blank
        {u"Courier New", "IPAGothic"},
        {u"IPAGothic", "IPAGothic"},
        // Unknown or empty: the proportional gothic.
        {u"Wingdings", "IPAPGothic"},
        {u"", "IPAPGothic"},
        {u"@", "IPAPGothic"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(rtl::ToUtf8(rtl::UnicodeString(row.name)));
        EXPECT_EQ(FamilyFor(rtl::UnicodeString(row.name)), row.family);
    }
}

TEST(KeyMapTest, KeysAndTheCharactersTheyType)
{
    struct Row {
        std::uint32_t keyval; // X keysym
        std::uint32_t unicode;
        bool ctrlOrAlt;
        std::uint16_t vk;
        char16_t ch;
    };
    const Row rows[] = {
        {'a', 'a', false, 'A', u'a'},
        {'A', 'A', false, 'A', u'A'},
        {'a', 'a', true, 'A', 0}, // Ctrl+A types nothing
        {'7', '7', false, '7', u'7'},
        {0xff0d, 0x0d, false, vcl::VK_RETURN, u'\r'},
        {0xff8d, 0x0d, false, vcl::VK_RETURN, u'\r'},
        {0xff1b, 0x1b, false, vcl::VK_ESCAPE, 0x1B},
        {0xff08, 0x08, false, vcl::VK_BACK, u'\b'},
        {0xff09, 0x09, false, vcl::VK_TAB, u'\t'},
        {0xfe20, 0, false, vcl::VK_TAB, u'\t'},
        {0x20, 0x20, false, vcl::VK_SPACE, u' '},
        {0xff51, 0, false, vcl::VK_LEFT, 0},
        {0xff54, 0, false, vcl::VK_DOWN, 0},
        {0xffff, 0x7f, false, vcl::VK_DELETE, 0},
        {0xffbe, 0, false, vcl::VK_F1, 0},
        {0xffb3, '3', false, 0x63, u'3'}, // keypad 3
        {0xffe1, 0, false, vcl::VK_SHIFT, 0},
        {0x04b1, 0x30a2, false, 0, u'ア'}, // kana_A: a character without a key code
        {0x1f600, 0x1f600, false, 0, 0}, // beyond 16 bits
        {0x1234567, 0, false, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keyval);
        EXPECT_EQ(VirtualKeyOf(row.keyval), row.vk);
        EXPECT_EQ(CharOf(row.keyval, row.unicode, row.ctrlOrAlt), row.ch);
    }
}

TEST(WindowsFolderTest, HostFoldersThroughTheDriveTable)
{
    win::DriveTable& table = win::DriveTable::Instance();
    table.Configure("E=/media/card:removable;C=/home/me/;F=/media/card/sub;R=/");
    struct Row {
        const char* host;
        const char16_t* windows;
    };
    const Row rows[] = {
        {"/media/card", u"E:\\"},
        {"/media/card/", u"E:\\"},
        {"/media/card/DATA", u"E:\\DATA"},
        {"/media/card/DATA/2024", u"E:\\DATA\\2024"},
        {"/media/card/sub/x", u"F:\\x"}, // the drive with the longest folder
        {"/home/me/日本語", u"C:\\日本語"},
        {"/media/cardigan", u"R:\\media\\cardigan"}, // not below E's folder
        {"/media/card/a:b", u""}, // no Windows name
        {"/media/card/CON", u""},
        {"relative", u""},
        {"", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(WindowsFolderOf(row.host), std::u16string(row.windows));
    }
    table.SetPresent(u'E', false); // a pulled card holds nothing
    EXPECT_EQ(WindowsFolderOf("/media/card/DATA"), u"R:\\media\\card\\DATA");
    table.Configure("E=/media/card");
    EXPECT_EQ(WindowsFolderOf("/srv"), u"");
    table.Reset();
}

TEST(WindowsFolderTest, HostFilesTheUserNamesBecomeWindowsPaths)
{
    using backends::gtk::HostFileVerdict;
    test_support::TempFolder card("vm-card");
    test_support::TempFolder outside("vm-stick");
    std::filesystem::create_directories(card.Path() + "/DATA");
    std::filesystem::create_directories(outside.Path() + "/Pictures");
    win::DriveTable& table = win::DriveTable::Instance();
    table.Configure("E=" + card.Path() + ":removable");

    struct Row {
        std::string host;
        HostFileVerdict verdict;
        const char16_t* windows; // for a file on the card
    };
    const Row rows[] = {
        {card.Path() + "/DATA/still.jpg", HostFileVerdict::ok, u"E:\\DATA\\still.jpg"},
        {card.Path() + "/静止画.jpg", HostFileVerdict::ok, u"E:\\静止画.jpg"},
        {card.Path() + "/a?b.jpg", HostFileVerdict::badName, nullptr},
        {card.Path() + "/a:b", HostFileVerdict::badName, nullptr},
        {card.Path() + "/NUL", HostFileVerdict::badName, nullptr},
        {card.Path() + "/still.jpg.", HostFileVerdict::badName, nullptr},
        {card.Path() + "/", HostFileVerdict::badName, nullptr},
        {card.Path() + "/bad\xff.jpg", HostFileVerdict::badName, nullptr},
        {card.Path() + "/missing/still.jpg", HostFileVerdict::missingFolder, nullptr},
        {card.Path() + "/DATA/still.jpg/x.jpg", HostFileVerdict::missingFolder, nullptr},
        {"still.jpg", HostFileVerdict::unusableFolder, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.host);
        std::u16string windows;
        EXPECT_EQ(backends::gtk::WindowsFileOf(row.host, windows), row.verdict);
        if (row.windows) {
            EXPECT_EQ(windows, row.windows);
        }
    }
    EXPECT_EQ(table.Entries().size(), 1u); // nothing above needed a new drive

    // A file outside every drive: its folder gets one, and the path leads back.
    const std::string stillOutside = outside.Path() + "/Pictures/still.jpg";
    std::u16string windows;
    ASSERT_EQ(backends::gtk::WindowsFileOf(stillOutside, windows), HostFileVerdict::ok);
    EXPECT_EQ(windows[0], u'Z');
    EXPECT_EQ(win::ResolvePath(windows).host, stillOutside);
    EXPECT_EQ(backends::gtk::UsableWindowsFolderOf(outside.Path() + "/Pictures"),
              windows.substr(0, windows.size() - std::u16string(u"\\still.jpg").size()));
    EXPECT_EQ(table.Entries().size(), 2u);
    table.Reset();
}

TEST(FileFilterTest, FilterTextsBecomeNamedPatterns)
{
    using backends::gtk::NamedFilter;
    using backends::gtk::ParseFileFilter;
    struct Row {
        const char16_t* filter;
        std::vector<NamedFilter> expected;
    };
    const Row rows[] = {
        {u"jpg", {{"jpg", {"*.[jJ][pP][gG]"}}}},
        {u".jpg", {{"jpg", {"*.[jJ][pP][gG]"}}}},
        {u"*.JPG", {{"JPG", {"*.[Jj][Pp][Gg]"}}}},
        {u"静止画 (*.jpg)|*.jpg;*.jpeg|すべて|*.*",
         {{"静止画 (*.jpg)", {"*.[jJ][pP][gG]", "*.[jJ][pP][eE][gG]"}}, {"すべて", {"*.*"}}}},
        {u"x|*.[ab]1", {{"x", {"*.[ab]1"}}}}, // a bracket of the pattern stays as written
        {u"no patterns|", {}},
        {u"odd|*.a|name", {{"odd", {"*.[aA]"}}}},
        {u"", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(rtl::ToUtf8(rtl::UnicodeString(row.filter)));
        const std::vector<NamedFilter> got = ParseFileFilter(row.filter);
        ASSERT_EQ(got.size(), row.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].name, row.expected[i].name);
            EXPECT_EQ(got[i].patterns, row.expected[i].patterns);
        }
    }
}

} // namespace
