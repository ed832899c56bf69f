#include <gtest/gtest.h>

#include <string>

#include "platform/backends/gtk/KeyMap.h"
#include "platform/backends/gtk/WindowsFolder.h"
#include "platform/backends/pango/FontTable.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/Events.h"
#include "platform/win/DriveTable.h"

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
        {0xffb3, '3', false, 0x63, u'3'},   // keypad 3
        {0xffe1, 0, false, vcl::VK_SHIFT, 0},
        {0x04b1, 0x30a2, false, 0, u'ア'},  // kana_A: a character without a key code
        {0x1f600, 0x1f600, false, 0, 0},    // beyond 16 bits
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
        {"/media/card/sub/x", u"F:\\x"},       // the drive with the longest folder
        {"/home/me/日本語", u"C:\\日本語"},
        {"/media/cardigan", u"R:\\media\\cardigan"}, // not below E's folder
        {"/media/card/a:b", u""},              // no Windows name
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

} // namespace
