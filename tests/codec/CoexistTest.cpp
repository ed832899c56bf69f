// Keeping a decoder that the computer has: change at start-up, restore at exit.
#include "CodecFixture.h"
#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Registry.h"
#include "platform/win/ShellExecute.h"
#include "platform/win/RegistryText.h"

using namespace win;
using namespace codec_test;

namespace {

constexpr const char16_t* kMachineKey = u"\\SOFTWARE\\GNU\\ffdshow";
constexpr const char16_t* kComputerFolder = u"C:\\Program Files\\ffdshow";

class CoexistTest : public CodecTest {
protected:
    // A complete installation of revision 3000 in C:\Program Files\ffdshow.
    void GiveComputerInstallation()
    {
        WriteInteger(RegistryHive::Machine, kMachineKey, u"revision", 3000);
        WriteString(RegistryHive::Machine, kMachineKey, u"pth", kComputerFolder);
        WriteInteger(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow_audio", u"ac3", 1);
        WriteString(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow", u"useonlyin", u"player.exe");
        WriteString(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow", u"whitelist", u"player.exe;");
        WriteInteger(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow", u"h264", 0);
        WriteString(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio", u"useonlyin", u"player.exe\r\n");
        WriteInteger(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio", u"otherAdpcm", 0);
        WriteInteger(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio\\default", u"volume", 50);
        WriteInteger(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio\\default", u"ownSetting", 9);
        RegisterDecoder(u"C:\\Program Files\\ffdshow\\ffdshow.ax");
    }
};

TEST_F(CoexistTest, ChangeThenRestoreLeavesOnlyTheDocumentedLastingChanges)
{
    GiveComputerInstallation();
    const std::string machineBefore = Export(RegistryHive::Machine);
    const RegistryKey userBefore = store->Contents(RegistryHive::User);

    ASSERT_TRUE(FFDShowRegister(false));
    EXPECT_FALSE(OwnFfdshowRegistered);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"pth"), kDecoderFolder);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"jcbakpth"), kComputerFolder);
    FFDShowUnRegister();

    // The machine hive is as before: folder restored, saved folder gone, the
    // computer's file registered again.
    EXPECT_EQ(Export(RegistryHive::Machine), machineBefore);
    ASSERT_EQ(Starts().size(), 2u);
    EXPECT_EQ(Starts()[0].arguments, (std::vector<std::u16string>{u"/s", kDecoderFile}));
    EXPECT_EQ(Starts()[1].arguments, (std::vector<std::u16string>{u"/s", u"C:\\Program Files\\ffdshow\\ffdshow.ax"}));

    // The user hive as before plus the lasting changes: list entries, h264,
    // otherAdpcm and the audio defaults.
    auto expected = std::make_shared<MemoryRegistryStore>();
    expected->SetContents(RegistryHive::User, userBefore);
    {
        ScopedRegistryStore scope(expected);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\GNU\\ffdshow", false));
        reg.WriteString(u"useonlyin", u"player.exe\r\nVelmorastine II.exe\r\n");
        reg.WriteString(u"whitelist", u"player.exe;Velmorastine II.exe;");
        reg.WriteInteger(u"h264", 1);
        ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\GNU\\ffdshow_audio", false));
        reg.WriteString(u"useonlyin", u"player.exe\r\nVelmorastine II.exe\r\n");
        reg.WriteString(u"whitelist", u"Velmorastine II.exe;");
        reg.WriteInteger(u"otherAdpcm", 1);
        CustomFfdshow(&reg);
    }
    EXPECT_EQ(Export(RegistryHive::User), FormatRegistryHive(expected->Contents(RegistryHive::User)));

    // A second run adds nothing twice.
    const std::string userAfter = Export(RegistryHive::User);
    codec::detail::ResetInstallState();
    ASSERT_TRUE(FFDShowRegister(false));
    FFDShowUnRegister();
    EXPECT_EQ(Export(RegistryHive::User), userAfter);
    EXPECT_EQ(Export(RegistryHive::Machine), machineBefore);
}

TEST_F(CoexistTest, TheProgramsNameJoinsTheListsBehindASeparator)
{
    struct Case {
        const char16_t* before; // null: no value
        const char16_t* useOnlyIn;
        const char16_t* whitelist;
    };
    const Case cases[] = {
        {nullptr, nullptr, u"Velmorastine II.exe;"},
        {u"", u"", u"Velmorastine II.exe;"},
        {u"0", u"0", u"0"},
        {u"a.exe", u"a.exe\r\nVelmorastine II.exe\r\n", u"a.exe;Velmorastine II.exe;"},
        {u"a.exe\r\n", u"a.exe\r\nVelmorastine II.exe\r\n", u"a.exe\r\n;Velmorastine II.exe;"},
        {u"a.exe;", u"a.exe;\r\nVelmorastine II.exe\r\n", u"a.exe;Velmorastine II.exe;"},
        {u"OldVelmorastine II.exe", u"OldVelmorastine II.exe", u"OldVelmorastine II.exe"},
        {u"velmorastine ii.exe", u"velmorastine ii.exe\r\nVelmorastine II.exe\r\n",
         u"velmorastine ii.exe;Velmorastine II.exe;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before ? rtl::Utf16ToUtf8(c.before) : "no value");
        TearDown();
        SetUp();
        for (const char16_t* key : {u"\\Software\\GNU\\ffdshow", u"\\Software\\GNU\\ffdshow_audio"}) {
            if (c.before != nullptr) {
                WriteString(RegistryHive::User, key, u"useonlyin", c.before);
                WriteString(RegistryHive::User, key, u"whitelist", c.before);
            }
        }
        TRegistry reg;
        UpdateFfdshowRegistry(&reg);
        for (const char16_t* key : {u"\\Software\\GNU\\ffdshow", u"\\Software\\GNU\\ffdshow_audio"}) {
            EXPECT_EQ(ReadText(RegistryHive::User, key, u"useonlyin"), c.useOnlyIn ? c.useOnlyIn : u"<no value>");
            EXPECT_EQ(ReadText(RegistryHive::User, key, u"whitelist"), c.whitelist);
        }
        std::u16string before = c.before ? c.before : u"";
        bool useOnlyInChanged = c.useOnlyIn != nullptr && before != c.useOnlyIn;
        EXPECT_EQ(Logged("ffdshow Registry [useonlyin] is been updated."), useOnlyInChanged);
        EXPECT_EQ(Logged("ffdshow_audio Registry [whitelist] is been updated."), before != c.whitelist);
        EXPECT_EQ(ReadText(RegistryHive::User, u"\\Software\\GNU\\ffdshow", u"h264"), u"1");
        EXPECT_EQ(ReadText(RegistryHive::User, u"\\Software\\GNU\\ffdshow_audio", u"otherAdpcm"), u"1");
    }
}

TEST_F(CoexistTest, TheCardsCopyIsRegisteredOnlyOnceTheComputersFolderIsSaved)
{
    GiveComputerInstallation();
    store->RefuseValue(RegistryHive::Machine, u"jcbakpth");
    TRegistry reg;
    ChangePcFfdshowSet(&reg);
    EXPECT_TRUE(Logged("ChangePcFfdshowSet ERROR:Failed to set data for 'jcbakpth'"));
    EXPECT_TRUE(Starts().empty());
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"pth"), kComputerFolder);
}

TEST_F(CoexistTest, AFolderSavedByAnEarlierRunIsKept)
{
    GiveComputerInstallation();
    WriteString(RegistryHive::Machine, kMachineKey, u"pth", kDecoderFolder); // the earlier run never restored
    WriteString(RegistryHive::Machine, kMachineKey, u"jcbakpth", kComputerFolder);
    TRegistry reg;
    ChangePcFfdshowSet(&reg);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"jcbakpth"), kComputerFolder);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"pth"), kDecoderFolder);
    // One wait: the filter is there at the first look.
    EXPECT_EQ(Starts().size(), 1u);
}

TEST_F(CoexistTest, RestoringCreatesNoKeyAndKeepsTheSavedFolderUntilTheStartSucceeds)
{
    TRegistry reg;
    RecoverPcFfdshowSet(&reg);
    EXPECT_EQ(Export(RegistryHive::Machine), "Velmorastine registry hive 1\n");
    EXPECT_TRUE(Starts().empty());

    WriteString(RegistryHive::Machine, kMachineKey, u"pth", kDecoderFolder);
    WriteString(RegistryHive::Machine, kMachineKey, u"jcbakpth", kComputerFolder);
    Starter().SetResult(SE_ERR_FNF);
    RecoverPcFfdshowSet(&reg);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"pth"), kComputerFolder);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"jcbakpth"), kComputerFolder);

    Starter().SetResult(SE_RESULT_STARTED);
    RecoverPcFfdshowSet(&reg);
    EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"jcbakpth"), u"<no value>");
    EXPECT_EQ(Starts().size(), 2u);

    // "0" and the empty text count as nothing saved.
    for (const char16_t* saved : {u"0", u""}) {
        WriteString(RegistryHive::Machine, kMachineKey, u"jcbakpth", saved);
        RecoverPcFfdshowSet(&reg);
        EXPECT_EQ(ReadText(RegistryHive::Machine, kMachineKey, u"jcbakpth"), saved);
    }
    EXPECT_EQ(Starts().size(), 2u);
}

TEST_F(CoexistTest, TheRevisionReadsZeroWhenItCannotBeRead)
{
    TRegistry reg;
    EXPECT_EQ(GetFfdshowRevision(&reg), 0);
    EXPECT_TRUE(LogTexts().empty());
    WriteString(RegistryHive::Machine, kMachineKey, u"revision", u"3000");
    EXPECT_EQ(GetFfdshowRevision(&reg), 0);
    EXPECT_TRUE(Logged("GetFfdshowRevision ERROR:Invalid data type for 'revision'"));
    WriteInteger(RegistryHive::Machine, kMachineKey, u"revision", 3000);
    EXPECT_EQ(GetFfdshowRevision(&reg), 3000);
}

} // namespace
