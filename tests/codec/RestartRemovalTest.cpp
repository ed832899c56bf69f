// The automatic restart and the removal at exit.
#include "CodecFixture.h"
#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Com.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Registry.h"
#include "platform/win/ShellExecute.h"
#include "platform/win/RegistryText.h"

using namespace win;
using namespace codec_test;

namespace {

constexpr const char16_t* kCounterKey = u"\\Software\\Velmorastine";

TEST_F(CodecTest, TheRestartCountAllowsThreeRestartsInARow)
{
    enum class Stored { NoKey, Dword, String };
    struct Case {
        const char* name;
        Stored stored;
        int number;
        const char16_t* text;
        const char16_t* after;
        bool restarts;
    };
    const Case cases[] = {
        {"no key", Stored::NoKey, 0, nullptr, u"1", true},    {"0", Stored::Dword, 0, nullptr, u"1", true},
        {"1", Stored::Dword, 1, nullptr, u"2", true},         {"2", Stored::Dword, 2, nullptr, u"3", true},
        {"3", Stored::Dword, 3, nullptr, u"0", false},        {"7", Stored::Dword, 7, nullptr, u"0", false},
        {"negative", Stored::Dword, -5, nullptr, u"1", true}, {"text 2", Stored::String, 0, u"2", u"3", true},
        {"text 0", Stored::String, 0, u"0", u"1", true},      {"empty text", Stored::String, 0, u"", u"1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (c.stored == Stored::Dword)
            WriteInteger(RegistryHive::User, kCounterKey, u"restart_cnt", c.number);
        if (c.stored == Stored::String)
            WriteString(RegistryHive::User, kCounterKey, u"restart_cnt", c.text);

        EXPECT_EQ(RestartProgram(), c.restarts);

        EXPECT_EQ(ReadText(RegistryHive::User, kCounterKey, u"restart_cnt"), c.after);
        if (c.restarts) {
            EXPECT_EQ(
                LogTexts(),
                std::vector<std::string>{"Velmorastine Restarting... ...  restart_cnt:" + rtl::Utf16ToUtf8(c.after)});
            ASSERT_EQ(Starts().size(), 1u);
            EXPECT_EQ(Starts()[0].file, u"Velmorastine II.exe");
            EXPECT_EQ(Starts()[0].parameters, u"E:\\APP");
            EXPECT_EQ(Starts()[0].directory, u"");
            application->ProcessMessages();
            EXPECT_TRUE(application->Terminated());
        } else {
            EXPECT_TRUE(LogTexts().empty());
            EXPECT_TRUE(Starts().empty());
        }
    }
}

TEST_F(CodecTest, ARestartThatCannotBeCountedOrStartedIsRefused)
{
    // The start fails: logged, refused, and not counted.
    WriteInteger(RegistryHive::User, kCounterKey, u"restart_cnt", 1);
    Starter().SetResult(SE_ERR_FNF);
    EXPECT_FALSE(RestartProgram());
    EXPECT_TRUE(Logged("Velmorastine Restart Failured (ShellExecute:2)"));
    EXPECT_EQ(ReadText(RegistryHive::User, kCounterKey, u"restart_cnt"), u"1");

    // A program folder that could break the parameters starts nothing.
    Starter().SetResult(SE_RESULT_STARTED);
    ProgramFolder = u"E:\\A\"PP";
    EXPECT_FALSE(RestartProgram());
    EXPECT_EQ(Starts().size(), 1u);
    ProgramFolder = u"E:\\APP";

    // A count that cannot be stored: no restart.
    store->RefuseValue(RegistryHive::User, u"restart_cnt");
    EXPECT_FALSE(RestartProgram());
    store->RefuseKey(RegistryHive::User, kCounterKey);
    EXPECT_FALSE(RestartProgram());
    EXPECT_EQ(CountLogged("Velmorastine Restart refused (restart_cnt cannot be stored)"), 2);
    EXPECT_EQ(Starts().size(), 1u);
    EXPECT_EQ(GetRestartCount(), 0);
}

TEST_F(CodecTest, ResettingTheCountCreatesTheKey)
{
    ResetRestartCount();
    EXPECT_EQ(ReadText(RegistryHive::User, kCounterKey, u"restart_cnt"), u"0");
    WriteString(RegistryHive::User, kCounterKey, u"restart_cnt", u"many");
    EXPECT_THROW(GetRestartCount(), rtl::EConvertError);
}

// ---- removal at exit ----

TEST_F(CodecTest, TheRemovalDeletesTheSixKeysAndNothingElse)
{
    WriteInteger(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\other", u"keep", 1);
    WriteInteger(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow_vfw2", u"keep", 1);
    WriteInteger(RegistryHive::User, u"\\SOFTWARE\\GNU\\other", u"keep", 1);
    WriteInteger(RegistryHive::User, kCounterKey, u"restart_cnt", 2);
    const RegistryKey machineBefore = store->Contents(RegistryHive::Machine);
    const RegistryKey userBefore = store->Contents(RegistryHive::User);

    ASSERT_TRUE(CoInitialize(nullptr) >= 0); // the graph's own initialisation
    ASSERT_TRUE(FFDShowRegister(true));
    ASSERT_TRUE(OwnFfdshowRegistered);
    ASSERT_EQ(CoInitializeCount(), 2);
    FFDShowUnRegister();

    EXPECT_EQ(CoInitializeCount(), 1);
    EXPECT_FALSE(DecoderRegistered());
    // What stays: the keys that existed, and the classes root's empty category.
    RegistryKey machineExpected = machineBefore;
    ApplyRegistryEdit(machineExpected,
                      {RegistryEdit::Kind::CreateKey,
                       {u"SOFTWARE", u"Classes", u"CLSID", u"{083863F1-70DE-11D0-BD40-00A0C911CE86}", u"Instance"},
                       {}});
    EXPECT_EQ(Export(RegistryHive::Machine), FormatRegistryHive(machineExpected));
    EXPECT_EQ(Export(RegistryHive::User), FormatRegistryHive(userBefore));
    ASSERT_EQ(Starts().size(), 2u);
    EXPECT_EQ(Starts()[1].parameters, u"/s /u \"E:\\APP\\ffdshow\\ffdshow.ax\"");
    EXPECT_EQ(CountLogged("-----------------FFDShowUnRegister START----------"), 1);
    EXPECT_EQ(CountLogged("-----------------FFDShowUnRegister END----------"), 1);

    // A second call only ends COM.
    std::size_t lines = LogTexts().size();
    FFDShowUnRegister();
    EXPECT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(Starts().size(), 2u);
    EXPECT_EQ(LogTexts().size(), lines);
}

TEST_F(CodecTest, TheRemovalWaitsForTheProgramDriveAndTheRestoreDoesNot)
{
    ASSERT_TRUE(FFDShowRegister(true));
    DriveTable::Instance().SetPresent(u'E', false);
    FFDShowUnRegister();
    EXPECT_EQ(Starts().size(), 1u);
    EXPECT_FALSE(Logged("-----------------FFDShowUnRegister START----------"));
    EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"revision"), u"2528");

    // Not yet done: with the drive back the exit's call removes.
    DriveTable::Instance().SetPresent(u'E', true);
    FFDShowUnRegister();
    EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"revision"), u"<no key>");

    // The restore path runs whatever the drive, and logs nothing of its own.
    TearDown();
    SetUp();
    DriveTable::Instance().SetPresent(u'E', false);
    FFDShowUnRegister();
    EXPECT_TRUE(LogTexts().empty());
}

TEST_F(CodecTest, TheRestartStartsTheNewInstanceOnlyAfterTheUnregistrationFinished)
{
    ASSERT_TRUE(FFDShowRegister(true));
    tool->delayMs = 350;
    bool registeredAtStart = true;
    Starter().SetHook([&](const ProcessStartRequest& r) {
        tool->Started(r);
        if (r.file == u"Velmorastine II.exe")
            registeredAtStart = DecoderRegistered();
    });
    std::uint64_t before = clock.ElapsedMs();
    FFDShowUnRegister();
    ASSERT_TRUE(RestartProgram());
    EXPECT_FALSE(registeredAtStart);
    // Over once the unregistration is through, not at the next whole wait.
    EXPECT_EQ(clock.ElapsedMs() - before, 350u);
}

} // namespace
