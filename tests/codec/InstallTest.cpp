// The check and installation at start-up: the golden export, the decision
// table, the installation's outcomes and the poll.
#include <fstream>
#include <sstream>

#include "CodecFixture.h"
#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "codec/FfdshowSettings.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Com.h"
#include "platform/win/Registry.h"

using namespace win;
using namespace codec_test;

namespace {

constexpr const char* kNotRegisteredLine = "Filter is not registing : ffdshow Video Decoder";

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The golden file without its comment lines.
std::string WithoutComments(const std::string& text)
{
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line))
        if (line.rfind("#", 0) != 0)
            out += line + "\n";
    return out;
}

TEST_F(CodecTest, AnInstallationIntoAnEmptyStoreGivesTheGoldenExport)
{
    ASSERT_TRUE(FFDShowRegister(false));
    std::string actual =
        "== machine hive ==\n" + Export(RegistryHive::Machine) + "== user hive ==\n" + Export(RegistryHive::User);
    const std::string golden = std::string(VM_SOURCE_DIR) + "/tests/codec/InstallationExport.txt";
    if (std::getenv("VM_UPDATE_GOLDEN") != nullptr) {
        std::ifstream old(golden);
        std::string line, comments;
        while (std::getline(old, line) && line.rfind("#", 0) == 0)
            comments += line + "\n";
        std::ofstream(golden) << comments << actual;
    }
    EXPECT_EQ(WithoutComments(ReadFileText(golden)), actual);
}

TEST_F(CodecTest, TheSettingsTableHoldsSevenHundredAndSixtyValuesInEightKeys)
{
    std::size_t values = 0;
    for (const codec::SettingsKey& key : codec::InstallationKeys())
        values += key.values.size();
    EXPECT_EQ(codec::InstallationKeys().size(), 8u);
    EXPECT_EQ(values, 760u);
    // The seven values the audio key of the table shares with the audio defaults agree.
    const codec::SettingsKey& audio = codec::InstallationKeys()[6];
    ASSERT_EQ(std::u16string(audio.path), u"\\SOFTWARE\\GNU\\ffdshow_audio\\default");
    for (const codec::Setting& s : audio.values) {
        bool found = false;
        for (const codec::Setting& d : codec::AudioDefaults())
            if (std::u16string(d.name) == s.name) {
                found = true;
                EXPECT_EQ(d.number, s.number) << rtl::Utf16ToUtf8(s.name);
            }
        EXPECT_TRUE(found) << rtl::Utf16ToUtf8(s.name);
    }
}

// ---- the decision of the check ----

enum class Keys { Both, AudioMissing, None };

struct Decision {
    const char* name;
    Keys machine;
    int revision; // -1: no `revision` value
    Keys user;
    bool registered;
    bool skipCheck;
    bool keep;
};

const Decision kDecisions[] = {
    {"AllThereOtherRevision", Keys::Both, 3000, Keys::Both, true, false, true},
    {"AllThereButNotRegistered", Keys::Both, 3000, Keys::Both, false, false, false},
    {"UserAudioKeyMissing", Keys::Both, 3000, Keys::AudioMissing, true, false, false},
    {"UserKeysMissingNotRegistered", Keys::Both, 3000, Keys::None, false, false, false},
    {"OwnRevision", Keys::Both, 2528, Keys::Both, true, false, false},
    {"MachineAudioKeyMissing", Keys::AudioMissing, 3000, Keys::Both, true, false, false},
    {"NoMachineKeys", Keys::None, 3000, Keys::Both, true, false, false},
    {"RevisionUnreadable", Keys::Both, -1, Keys::Both, true, false, true},
    {"SkipCheck", Keys::Both, 3000, Keys::Both, true, true, false},
};

class DecisionTest : public CodecTest, public ::testing::WithParamInterface<Decision> {
protected:
    void Give(RegistryHive hive, Keys keys)
    {
        if (keys == Keys::None)
            return;
        WriteInteger(hive, u"\\SOFTWARE\\GNU\\ffdshow", u"mp4v", 1);
        if (keys == Keys::Both)
            WriteInteger(hive, u"\\SOFTWARE\\GNU\\ffdshow_audio", u"ac3", 1);
    }
};

TEST_P(DecisionTest, TakesTheKeepPathOnlyForACompleteRegisteredInstallationOfAnotherRevision)
{
    const Decision& d = GetParam();
    Give(RegistryHive::Machine, d.machine);
    if (d.machine != Keys::None) {
        WriteString(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"pth", u"C:\\Program Files\\ffdshow");
        if (d.revision >= 0)
            WriteInteger(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"revision", d.revision);
    }
    Give(RegistryHive::User, d.user);
    if (d.registered)
        RegisterDecoder(u"C:\\Program Files\\ffdshow\\ffdshow.ax");

    EXPECT_TRUE(FFDShowRegister(d.skipCheck));

    EXPECT_EQ(OwnFfdshowRegistered, !d.keep);
    EXPECT_EQ(Logged("ffdshow installing start... ..."), !d.keep);
    EXPECT_EQ(Logged("-----------------FFDShowRegister END----------"), !d.keep);
    EXPECT_EQ(Logged("ffdshow Checking... ..."), !d.skipCheck);
    EXPECT_EQ(
        Logged("Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow --> Velmorastine Version(2528)ffdshow Existed"),
        d.revision == 2528 && !d.skipCheck);
    // Both paths register the card's copy once.
    ASSERT_EQ(Starts().size(), 1u);
    EXPECT_EQ(Starts()[0].parameters, u"/s \"E:\\APP\\ffdshow\\ffdshow.ax\"");
    EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"pth"), kDecoderFolder);
    if (d.keep) {
        EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"jcbakpth"),
                  u"C:\\Program Files\\ffdshow");
        EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"revision"),
                  d.revision < 0 ? u"<no value>" : u"3000");
        EXPECT_TRUE(Logged("ffdshow Existed (Ver:" + std::to_string(d.revision < 0 ? 0 : d.revision) +
                           "), FFDShowRegister do nothing"));
    } else {
        EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"revision"), u"2528");
        EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"jcbakpth"), u"<no value>");
    }
    // The audio defaults are written on both paths.
    EXPECT_EQ(ReadText(RegistryHive::User, u"\\Software\\GNU\\ffdshow_audio\\default", u"volume"), u"200");
}

INSTANTIATE_TEST_SUITE_P(CheckTable, DecisionTest, ::testing::ValuesIn(kDecisions),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the installation's outcomes ----

TEST_F(CodecTest, AMissingDecoderFolderOrFileStopsBeforeAnythingIsStartedOrWritten)
{
    struct Case {
        const char* remove;
        const char16_t* box;
    };
    const Case cases[] = {
        {"/APP/ffdshow/ffdshow.ax", u"File(E:\\APP\\ffdshow\\ffdshow.ax) is not existing."},
        {"/APP/ffdshow", u"Folder(E:\\APP\\ffdshow) is not existing."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remove);
        std::filesystem::remove_all(card + c.remove);
        OwnFfdshowRegistered = true; // must stay as it was
        long editsBefore = store->EditCount();
        EXPECT_FALSE(FFDShowRegister(true));
        EXPECT_TRUE(OwnFfdshowRegistered);
        EXPECT_EQ(store->EditCount(), editsBefore);
        EXPECT_TRUE(Starts().empty());
        ASSERT_FALSE(boxes->Calls().empty());
        EXPECT_EQ(boxes->Calls().back().text, c.box);
        EXPECT_EQ(boxes->Calls().back().caption, u"Warning");
    }
    EXPECT_EQ(boxes->Calls().size(), 2u);
}

// Found at the first check, at the last of the 70, never; and the tool not
// started. A wait ends as soon as the filter is there, with the lookups and
// their log lines as after whole waits.
TEST_F(CodecTest, ThePollWaitsUpToSeventyChecksOfOneHundredMilliseconds)
{
    struct Case {
        const char* name;
        std::uint64_t toolDelayMs;
        bool toolFails;
        int startResult;
        bool result;
        std::uint64_t waitedMs;
        int misses;
    };
    const Case cases[] = {
        {"first check", 0, false, 42, true, 0, 0},
        {"first check, the tool a little slower", 30, false, 42, true, 30, 0},
        {"70th check", 6950, false, 42, true, 6950, 69},
        {"never", 0, true, 42, false, 7000, 70},
        {"tool not started", 0, false, 2, false, 7000, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        tool->delayMs = c.toolDelayMs;
        tool->fails = c.toolFails;
        Starter().SetResult(c.startResult);
        std::uint64_t before = clock.ElapsedMs();
        EXPECT_EQ(FFDShowRegister(true), c.result);
        EXPECT_EQ(clock.ElapsedMs() - before, c.waitedMs);
        EXPECT_EQ(CountLogged(kNotRegisteredLine), c.misses);
        EXPECT_TRUE(OwnFfdshowRegistered); // set once the settings are written, whatever the poll finds
        EXPECT_EQ(Logged("1) ShellExecute('regsvr32 ffdshow.ax') --> Executed"), c.startResult > 32);
        EXPECT_EQ(Logged("2) ShellExecute('regsvr32 ffdshow.ax') --> Failured"), c.startResult <= 32);
        EXPECT_EQ(Logged("3) ffdshow Video Decoder Filter Install --> Executed"), c.result);
        EXPECT_EQ(Logged("ffdshow Video Decoder Install Failured（AddFilterFromFriendlyName）"), !c.result);
        EXPECT_EQ(CountLogged("-----------------FFDShowRegister END----------"), 1);
        // The settings are written in every case.
        EXPECT_EQ(ReadText(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_vfw\\default", u"fontName"),
                  u"ＭＳ Ｐゴシック");
    }
}

TEST_F(CodecTest, ARefusedWriteInTheTableEndsTheInstallationWithTheEarlierKeysComplete)
{
    store->RefuseValue(RegistryHive::User, u"fontName"); // in the last key
    EXPECT_FALSE(FFDShowRegister(true));
    EXPECT_TRUE(Logged("FFDShowRegister ERROR:Failed to set data for 'fontName'"));
    EXPECT_FALSE(OwnFfdshowRegistered);
    EXPECT_EQ(ReadText(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio\\default", u"decoderDRC"), u"0");
    EXPECT_EQ(ReadText(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio\\default", u"isVolume"), u"<no value>");
    EXPECT_EQ(ReadText(RegistryHive::User, u"\\SOFTWARE\\GNU\\ffdshow_vfw\\default", u"fontSize"), u"26");
    EXPECT_FALSE(Logged("-----------------FFDShowRegister END----------"));
}

TEST_F(CodecTest, AKeyThatCannotBeCreatedIsPassedOverSilently)
{
    store->RefuseKey(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow");
    EXPECT_TRUE(FFDShowRegister(true));
    EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", u"revision"), u"<no key>");
    EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow_audio", u"aac"), u"1");
    EXPECT_EQ(ReadText(RegistryHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow_vfw", u"h264"), u"1");
    for (const std::string& line : TaggedLog())
        EXPECT_EQ(line.rfind("[Error]", 0), std::string::npos) << line;
}

TEST_F(CodecTest, COMThatCannotStartEndsTheCallBeforeAnyRegistryAccess)
{
    // Another apartment model on this thread makes CoInitialize fail.
    ASSERT_GE(CoInitializeEx(nullptr, COINIT_MULTITHREADED), 0);
    EXPECT_FALSE(FFDShowRegister(false));
    EXPECT_TRUE(Logged("FFDShowRegister Error。(CoInitialize failed)"));
    EXPECT_EQ(store->EditCount(), 0);
    EXPECT_FALSE(Logged("ffdshow Checking... ..."));
}

} // namespace
