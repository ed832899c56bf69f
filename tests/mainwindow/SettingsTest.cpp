// The settings file "view": what a start reads from it and writes back, with
// a password that could not be read left as the file holds it.
#include "MainWindowFixture.h"

#include "app/PasswordScramble.h"
#include "platform/win/DriveTable.h"
#include "tests/support/MainFormState.h"

#include <filesystem>

namespace {

using app_test::Hex;
using mainwindow_test::MainWindowTest;

class SettingsTest : public MainWindowTest {
protected:
    std::string File(const std::string& pm, const std::string& screen) const
    {
        return "[SYSTEM]\r\np_m=" + pm + "\r\nscreen=" + screen + "\r\n[VIEWER_VER]\r\nversion=V05A01\r\n";
    }
    static std::string After(const std::string& first, const std::string& second)
    {
        return "[SYSTEM]\r\n" + first + "\r\n" + second + "\r\n[VIEWER_VER]\r\nversion=V05A01\r\n";
    }
};

TEST_F(SettingsTest, AStartReadsTheFileAndWritesItBack)
{
    // "abcd、": the first byte of "、" scrambles to zero; every byte is kept.
    const std::string zeroForm = EncodePassword("abcd\x81\x41").str();
    ASSERT_EQ(zeroForm[4], '\0');
    struct Case {
        const char* name;
        std::string file; // empty: no file
        std::int32_t screenMode;
        std::string password;
        std::string written;
    };
    const Case cases[] = {
        {"no file", "", 2, "", File("", "4")},
        // An existing file keeps its order; a new key goes after the others.
        {"two channels", "[SYSTEM]\r\nscreen=2\r\n", 1, "", After("screen=2", "p_m=")},
        {"three", "[SYSTEM]\r\nscreen=3\r\n", 2, "", After("screen=4", "p_m=")},
        {"not a number", "[SYSTEM]\r\nscreen=x\r\n", 2, "", After("screen=4", "p_m=")},
        {"main-window marker", "[SYSTEM]\r\np_m=" + Hex("KelpRiftOats") + "\r\n", 2, "3804",
         File(Hex(EncodePassword("3804").str()), "4")},
        {"start-up marker", "[SYSTEM]\r\np_m=" + Hex("MossTideFern") + "\r\n", 2, "3804",
         File(Hex(EncodePassword("3804").str()), "4")},
        {"zero byte in the scrambled form", "[SYSTEM]\r\np_m=" + Hex(zeroForm) + "\r\nscreen=2\r\n", 1, "abcd\x81\x41",
         File(Hex(zeroForm), "2")},
        // A damaged value is not the user's password: it stays as it is.
        {"odd length", "[SYSTEM]\r\np_m=4D6F7\r\n", 2, DecodePassword("Mo").str(), File("4D6F7", "4")},
        {"not hex", "[SYSTEM]\r\np_m=4D6G\r\n", 2, DecodePassword("M").str(), File("4D6G", "4")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(card.Host("Icon/view"));
        if (!c.file.empty())
            card.Write("Icon/view", c.file);
        TMainForm& form = Create();
        EXPECT_EQ(form.ScreenMode(), c.screenMode);
        EXPECT_EQ(form.Password(), AnsiString(c.password));
        EXPECT_EQ(card.Read("Icon/view"), c.written);
        form.SetPlayButtonsEnabled(true);
        EXPECT_EQ(form.ImageZoom3->Enabled(), c.screenMode != 1);
        EXPECT_EQ(form.ImageZoom4->Enabled(), c.screenMode != 1);
        Application->DestroyComponents();
    }
}

TEST_F(SettingsTest, APasswordThatCouldNotBeReadIsNotOverwritten)
{
    const std::string stored = File(Hex(EncodePassword("secret").str()), "4");
    card.Write("Icon/view", stored);
    // The card does not answer while the window reads its settings, and is
    // back when the creation writes them.
    win::DriveTable::Instance().SetPresent(u'E', false);
    auto* form = new TMainForm(Application);
    MainForm = form;
    win::DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_EQ(form->Password(), AnsiString());
    form->AfterConstruction();
    EXPECT_EQ(card.Read("Icon/view"), stored);
    // A password set since is written.
    EXPECT_TRUE(form->ChangePassword("new"));
    EXPECT_EQ(card.Read("Icon/view"), File(Hex(EncodePassword("new").str()), "4"));
}

TEST_F(SettingsTest, ACardThatCannotBeWrittenKeepsItsFile)
{
    const std::string stored = File(Hex(EncodePassword("old").str()), "2");
    card.Write("Icon/view", stored);
    win::DriveTable::Instance().SetWriteProtected(u'E', true);
    TMainForm& form = Create();
    EXPECT_EQ(form.Password(), AnsiString("old"));
    StateOf(form).FScreenMode = 2;
    EXPECT_FALSE(form.SaveSettings());
    EXPECT_FALSE(form.ChangePassword("new"));
    EXPECT_EQ(form.Password(), AnsiString("old"));
    win::DriveTable::Instance().SetWriteProtected(u'E', false);
    EXPECT_EQ(card.Read("Icon/view"), stored);
}

TEST_F(SettingsTest, WithoutTheIconFolderNothingIsWritten)
{
    std::filesystem::remove_all(card.Host("Icon"));
    TMainForm& form = Create();
    EXPECT_EQ(form.ScreenMode(), 2);
    EXPECT_FALSE(form.SaveSettings());
    EXPECT_FALSE(card.Exists("Icon"));
}

} // namespace
