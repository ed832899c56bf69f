// The hive text format and the file store that two processes share.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/win/FileRegistryStore.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryText.h"
#include "tests/support/TempFolder.h"

using namespace win;
namespace fs = std::filesystem;

namespace {

RegistryKey SampleTree()
{
    RegistryKey root;
    RegistryKey gnu{u"GNU", {}, {}};
    RegistryKey key{u"ffdshow", {}, {}};
    key.values.push_back(RegistryValue::Dword(u"revision", 2528));
    key.values.push_back(RegistryValue::Dword(u"minus", 0xFFFFFFFFu));
    key.values.push_back(RegistryValue::String(u"pth", u"E:\\APP\\ffdshow"));
    key.values.push_back(RegistryValue::String(u"font", u"ＭＳ Ｐゴシック"));
    key.values.push_back(RegistryValue::String(u"lines \"q\"", u"a\r\nb;\t\x01"));
    key.values.push_back(RegistryValue::String(u"", u""));
    const unsigned char zeros[7] = {};
    key.values.push_back(RegistryValue::Binary(u"bin", zeros, 7));
    RegistryValue odd{u"odd string", REG_SZ, {0x41}};
    key.values.push_back(odd);
    key.values.push_back(RegistryValue{u"dword3", REG_DWORD, {1, 2, 3}});
    key.values.push_back(RegistryValue{u"lone", REG_SZ, {0x00, 0xD8, 0x00, 0x00}});
    gnu.subkeys.push_back(key);
    gnu.subkeys.push_back(RegistryKey{u"100% [x]", {}, {}});
    root.subkeys.push_back(RegistryKey{u"SOFTWARE", {}, {gnu}});
    root.values.push_back(RegistryValue::Dword(u"at root", 1));
    return root;
}

TEST(RegistryTextTest, FormatsReadablyAndParsesBackExactly)
{
    RegistryKey tree = SampleTree();
    std::string text = FormatRegistryHive(tree);
    EXPECT_EQ(text,
              "Velmorastine registry hive 1\n"
              "[\\]\n"
              "\"at root\"=dword:00000001\n"
              "[\\SOFTWARE]\n"
              "[\\SOFTWARE\\GNU]\n"
              "[\\SOFTWARE\\GNU\\ffdshow]\n"
              "\"revision\"=dword:000009e0\n"
              "\"minus\"=dword:ffffffff\n"
              "\"pth\"=sz:\"E:\\\\APP\\\\ffdshow\"\n"
              "\"font\"=sz:\"ＭＳ Ｐゴシック\"\n"
              "\"lines \\\"q\\\"\"=sz:\"a\\r\\nb;\\t\\u0001\"\n"
              "\"\"=sz:\"\"\n"
              "\"bin\"=hex(3):00,00,00,00,00,00,00\n"
              "\"odd string\"=hex(1):41\n"
              "\"dword3\"=hex(4):01,02,03\n"
              "\"lone\"=sz:\"\\ud800\"\n"
              "[\\SOFTWARE\\GNU\\100%0025 [x]]\n");
    RegistryKey back;
    ASSERT_TRUE(ParseRegistryHive(text, back));
    EXPECT_EQ(back, tree);
}

// Whatever the parser takes, the writer writes back so that it reads the same.
TEST(RegistryTextTest, EveryEscapeTheParserTakesIsWrittenBack)
{
    const char* texts[] = {
        "Velmorastine registry hive 1\n[\\SOFTWARE\\Vendor%005C]\n\"v\"=dword:00000001\n",
        "Velmorastine registry hive 1\n[\\%005C]\n[\\%005c%005C\\x%005Cy]\n",
        "Velmorastine registry hive 1\n[\\a%0025b%000Ac%007Fd%D800]\n",
        "Velmorastine registry hive 1\n[\\K]]\n[\\[K]\n",
        "Velmorastine registry hive 1\n[\\K]\n\"\\\\\\\"\\r\\n\\t\\u0000\\udc00\"=sz:\"\\\\\\\"\\u0000\\ud800\"\n",
        "Velmorastine registry hive 1\r\n[\\]\r\n\"\"=expand:\"%PATH%\"\r\n",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        RegistryKey first;
        ASSERT_TRUE(ParseRegistryHive(text, first));
        const std::string written = FormatRegistryHive(first);
        RegistryKey again;
        ASSERT_TRUE(ParseRegistryHive(written, again)) << written;
        EXPECT_EQ(again, first);
        EXPECT_EQ(FormatRegistryHive(again), written);
    }
    RegistryKey vendor;
    ASSERT_TRUE(ParseRegistryHive(texts[0], vendor));
    ASSERT_EQ(vendor.subkeys.at(0).subkeys.at(0).name, u"Vendor\\");
    EXPECT_NE(FormatRegistryHive(vendor).find("[\\SOFTWARE\\Vendor%005c]\n"), std::string::npos);
}

TEST(RegistryTextTest, RefusesDamagedTextWithoutReadingPastIt)
{
    const char* damaged[] = {
        "",
        "Velmorastine registry hive 2\n",
        "Velmorastine registry hive 1\n\"v\"=dword:00000001\n", // value before any key
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=dword:0001\n", // short number
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=dword:0000000g\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=sz:\"open\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=sz:\"bad \\q\"\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=sz:\"\\u12\"\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=sz:\"x\"tail\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=hex(3):0\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=hex(3):00,\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=hex(99999999999):00\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=hex(3\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=other:1\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=dword:00000001\n\"V\"=dword:00000002\n", // twice
        "Velmorastine registry hive 1\n[\\K\\\\L]\n",
        "Velmorastine registry hive 1\n[K]\n",
        "Velmorastine registry hive 1\n[\\K%00]\n",
        "Velmorastine registry hive 1\n[\\K\n",
        "Velmorastine registry hive 1\n[\\K]\n\"v\xff\"=dword:00000001\n", // not UTF-8
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        RegistryKey out;
        out.values.push_back(RegistryValue::Dword(u"stale", 1));
        EXPECT_FALSE(ParseRegistryHive(text, out));
        EXPECT_EQ(out, RegistryKey{});
    }
    std::string deep = "Velmorastine registry hive 1\n[";
    for (int i = 0; i < 513; ++i)
        deep += "\\k";
    deep += "]\n";
    RegistryKey out;
    EXPECT_FALSE(ParseRegistryHive(deep, out));
}

class FileRegistryStoreTest : public ::testing::Test {
protected:
    std::vector<std::string> Files()
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    test_support::TempFolder temp{"registry-test"};
    const std::string folder = temp.Path() + "/hives";
};

TEST_F(FileRegistryStoreTest, TwoStoresOnOneFolderSeeEachOthersChanges)
{
    auto first = std::make_shared<FileRegistryStore>(folder);
    auto second = std::make_shared<FileRegistryStore>(folder);
    {
        ScopedRegistryStore scope(first);
        TRegistry reg;
        reg.RootKey = HKEY_LOCAL_MACHINE;
        ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\GNU\\ffdshow", true));
        reg.WriteString(u"pth", u"E:\\ffdshow");
    }
    {
        ScopedRegistryStore scope(second);
        TRegistry reg;
        reg.RootKey = HKEY_LOCAL_MACHINE;
        ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\GNU\\ffdshow", false));
        EXPECT_EQ(reg.ReadString(u"pth"), u"E:\\ffdshow");
        reg.WriteInteger(u"revision", 2528);
    }
    ScopedRegistryStore scope(first);
    TRegistry reg;
    reg.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\GNU\\ffdshow", false));
    EXPECT_EQ(reg.ReadInteger(u"revision"), 2528);
    // Only the hive and its lock remain: every temporary file was renamed.
    EXPECT_EQ(Files(), (std::vector<std::string>{"machine.hive", "machine.lock"}));
}

TEST_F(FileRegistryStoreTest, AWriteThatChangesNothingLeavesTheHiveFileAsItIs)
{
    const auto write = [&](std::uint32_t value) {
        ScopedRegistryStore scope(std::make_shared<FileRegistryStore>(folder));
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(u"\\Software\\Settings", true));
        reg.WriteInteger(u"volume", static_cast<int>(value));
        reg.WriteString(u"path", u"E:\\DATA");
    };
    const auto inode = [&] {
        struct stat st {};
        EXPECT_EQ(stat((folder + "/user.hive").c_str(), &st), 0);
        return st.st_ino;
    };
    write(7);
    const ino_t first = inode();
    write(7); // the same values again, as each start sets them
    EXPECT_EQ(inode(), first) << "the hive was replaced by the same text";
    write(8);
    EXPECT_NE(inode(), first);
    ScopedRegistryStore scope(std::make_shared<FileRegistryStore>(folder));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Settings", false));
    EXPECT_EQ(reg.ReadInteger(u"volume"), 8);
    EXPECT_EQ(Files(), (std::vector<std::string>{"user.hive", "user.lock"}));
}

// Writes `count` values named prefix<i> into \K of the user hive, each through
// its own opened and closed key, as the program does; the number of failures.
int WriteValues(const std::string& folder, const std::u16string& prefix, int count)
{
    ScopedRegistryStore scope(std::make_shared<FileRegistryStore>(folder));
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        TRegistry reg;
        if (!reg.OpenKey(u"\\K", true)) {
            ++failures;
            continue;
        }
        try {
            reg.WriteInteger(prefix + rtl::Utf8ToUtf16(std::to_string(i)), i);
        } catch (rtl::ERegistryException&) {
            ++failures;
        }
    }
    return failures;
}

TEST_F(FileRegistryStoreTest, ProcessesWritingAtOnceLoseNothing)
{
    constexpr int kPerProcess = 40;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(WriteValues(folder, u"child", kPerProcess) == 0 ? 0 : 1);
    EXPECT_EQ(WriteValues(folder, u"parent", kPerProcess), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    FileRegistryStore store(folder);
    RegistryKey root;
    ASSERT_TRUE(store.Read(RegistryHive::User, root));
    ASSERT_EQ(root.subkeys.size(), 1u);
    EXPECT_EQ(root.subkeys[0].values.size(), 2u * kPerProcess);
}

// Changes through an open key are written once, when it is closed: until
// then only this process sees them. Meanwhile another process's change to
// the same hive is kept, and ours are made on top of it.
TEST_F(FileRegistryStoreTest, AKeysChangesReachOtherProcessesWhenItIsClosed)
{
    auto ours = std::make_shared<FileRegistryStore>(folder);
    FileRegistryStore other(folder);
    const auto otherSees = [&other](const std::u16string& name) {
        RegistryKey key;
        bool exists = false;
        return other.ReadKey(RegistryHive::User, {u"K"}, key, exists) && exists && key.FindValue(name) != nullptr;
    };
    ScopedRegistryStore scope(ours);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\K", true));
    reg.WriteInteger(u"a", 1);
    reg.WriteString(u"b", u"two");
    reg.DeleteValue(u"a");
    reg.WriteInteger(u"a", 3);
    EXPECT_FALSE(otherSees(u"a"));
    EXPECT_FALSE(fs::exists(folder + "/user.hive"));
    {
        TRegistry second; // the same process sees them at once
        ASSERT_TRUE(second.OpenKeyReadOnly(u"\\K"));
        EXPECT_EQ(second.ReadInteger(u"a"), 3);
    }
    ASSERT_EQ(other.Apply(RegistryHive::User, {RegistryEdit::Kind::CreateKey, {u"K"}, {}}), EditResult::Done);
    ASSERT_EQ(
        other.Apply(RegistryHive::User, {RegistryEdit::Kind::SetValue, {u"K"}, RegistryValue::Dword(u"theirs", 7)}),
        EditResult::Done);
    ASSERT_TRUE(other.Flush(RegistryHive::User));
    EXPECT_EQ(reg.ReadInteger(u"theirs"), 7);
    reg.CloseKey();
    EXPECT_TRUE(otherSees(u"a") && otherSees(u"b") && otherSees(u"theirs"));
    RegistryKey root;
    ASSERT_TRUE(other.Read(RegistryHive::User, root));
    std::uint32_t a = 0;
    ASSERT_TRUE(root.Find({u"K"})->FindValue(u"a")->Number(a));
    EXPECT_EQ(a, 3u);
}

// In a batch the keys closed reach other processes together, when it ends,
// in one write a hive; a file another process renamed over the hive
// meanwhile is read afresh, also when its size is the same.
TEST_F(FileRegistryStoreTest, ABatchReachesOtherProcessesWhenItEnds)
{
    auto ours = std::make_shared<FileRegistryStore>(folder);
    FileRegistryStore other(folder);
    const auto otherReads = [&other](RegistryHive hive, const std::u16string& name) {
        RegistryKey key;
        bool exists = false;
        std::uint32_t n = 0;
        if (!other.ReadKey(hive, {u"K"}, key, exists) || !exists || key.FindValue(name) == nullptr)
            return -1;
        return key.FindValue(name)->Number(n) ? static_cast<int>(n) : -1;
    };
    ScopedRegistryStore scope(ours);
    {
        TRegistryBatch batch;
        {
            TRegistryBatch inner;
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey(u"\K", true));
            reg.WriteInteger(u"a", 1);
            reg.CloseKey();
            reg.RootKey = HKEY_LOCAL_MACHINE;
            ASSERT_TRUE(reg.OpenKey(u"\K", true));
            reg.WriteInteger(u"m", 2);
            reg.CloseKey();
        }
        EXPECT_EQ(otherReads(RegistryHive::User, u"a"), -1);
        EXPECT_FALSE(fs::exists(folder + "/machine.hive"));
    }
    EXPECT_EQ(otherReads(RegistryHive::User, u"a"), 1);
    EXPECT_EQ(otherReads(RegistryHive::Machine, u"m"), 2);

    ASSERT_EQ(other.Apply(RegistryHive::User, {RegistryEdit::Kind::SetValue, {u"K"}, RegistryValue::Dword(u"a", 9)}),
              EditResult::Done);
    ASSERT_TRUE(other.Flush(RegistryHive::User));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(u"\K"));
    EXPECT_EQ(reg.ReadInteger(u"a"), 9);
}

// A process killed at any moment of its writes leaves a hive that parses;
// the temporary files of dead processes go at the next write, those of
// running ones stay.
TEST_F(FileRegistryStoreTest, AKillDuringWritesKeepsAWholeHive)
{
    fs::create_directories(folder);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteValues(folder, u"v", 1 << 30);
        _exit(0);
    }
    // Wait until the child has written a few times, then kill it.
    FileRegistryStore store(folder);
    for (int polls = 0; polls < 100000; ++polls) {
        RegistryKey root;
        if (store.Read(RegistryHive::User, root) && !root.subkeys.empty() && root.subkeys[0].values.size() >= 20)
            break;
        usleep(100);
    }
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::ifstream in(folder + "/user.hive");
    RegistryKey root;
    ASSERT_TRUE(ParseRegistryHive(std::string(std::istreambuf_iterator<char>(in), {}), root));
    EXPECT_GE(root.subkeys.at(0).values.size(), 20u);

    const std::string dead = "user.hive.tmp." + std::to_string(child) + ".7";
    const std::string running = "user.hive.tmp." + std::to_string(getppid()) + ".1";
    const std::string otherHive = "machine.hive.tmp." + std::to_string(child) + ".2";
    for (const std::string& name : {dead, running, otherHive})
        std::ofstream(folder + "/" + name) << "partial";
    ASSERT_EQ(store.Apply(RegistryHive::User, {RegistryEdit::Kind::CreateKey, {u"L"}, {}}), EditResult::Done);
    ASSERT_TRUE(store.Flush(RegistryHive::User));
    EXPECT_EQ(Files(), (std::vector<std::string>{otherHive, "user.hive", running, "user.lock"}));
}

TEST_F(FileRegistryStoreTest, AKeyNamedWithABackslashSurvivesAStartAndAClose)
{
    fs::create_directories(folder);
    std::ofstream(folder + "/user.hive") << "Velmorastine registry hive 1\n[\\SOFTWARE\\Vendor%005C]\n";
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        auto store = std::make_shared<FileRegistryStore>(folder);
        ScopedRegistryStore scope(store);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\Decoder", true));
        reg.WriteInteger(start == 0 ? u"run0" : u"run1", start);
        reg.CloseKey();
    }
    std::ifstream in(folder + "/user.hive");
    RegistryKey root;
    ASSERT_TRUE(ParseRegistryHive(std::string(std::istreambuf_iterator<char>(in), {}), root));
    const RegistryKey* software = root.Find({u"SOFTWARE"});
    ASSERT_NE(software, nullptr);
    ASSERT_EQ(software->subkeys.size(), 2u);
    EXPECT_EQ(software->subkeys[0].name, u"Vendor\\");
    EXPECT_EQ(software->subkeys[1].values.size(), 2u) << "changes after the first start are kept";
}

TEST_F(FileRegistryStoreTest, ADamagedHiveIsNeverOverwritten)
{
    fs::create_directories(folder);
    const std::string damaged = "Velmorastine registry hive 1\n[\\K]\ngarbage\n";
    std::ofstream(folder + "/user.hive") << damaged;
    auto store = std::make_shared<FileRegistryStore>(folder);
    ScopedRegistryStore scope(store);
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(u"\\K"));
    EXPECT_FALSE(reg.OpenKey(u"\\K", true));
    std::ifstream in(folder + "/user.hive");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
}

TEST_F(FileRegistryStoreTest, AMachineHiveWithoutTheWriteBitMeansNoAdministratorRights)
{
    RegistryKey root;
    bool exists = false;
    auto store = std::make_shared<FileRegistryStore>(folder);
    ScopedRegistryStore scope(store);
    EXPECT_TRUE(IsUserAnAdmin()); // nothing written yet: the folder will be made
    TRegistry reg;
    reg.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE", true));
    reg.WriteInteger(u"v", 1);
    reg.CloseKey();
    TRegistry opened; // before the rights went
    opened.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(opened.OpenKey(u"\\SOFTWARE", true));
    fs::permissions(folder + "/machine.hive", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(IsUserAnAdmin());
    {
        // A batch refuses the writes too, and nothing of them is written.
        TRegistryBatch batch;
        EXPECT_THROW(opened.WriteInteger(u"w", 2), rtl::ERegistryException);
        opened.CloseKey();
    }
    EXPECT_EQ(FileRegistryStore(folder).ReadKey(RegistryHive::Machine, {u"SOFTWARE"}, root, exists), true);
    EXPECT_EQ(root.FindValue(u"w"), nullptr);
    reg.RootKey = HKEY_CURRENT_USER;
    EXPECT_TRUE(reg.OpenKey(u"\\Software", true)); // the user hive is still writable
}

// A hive that exists but cannot be written (mode 444): a key opens for
// reading only, so a caller that wants to write learns it at the open and
// not by an exception at its first write.
TEST_F(FileRegistryStoreTest, AHiveThatCannotBeWrittenOpensKeysForReadingOnly)
{
    for (const RegistryHive hive : {RegistryHive::User, RegistryHive::Machine}) {
        const HKEY rootKey = hive == RegistryHive::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        SCOPED_TRACE(hive == RegistryHive::User ? "user" : "machine");
        auto store = std::make_shared<FileRegistryStore>(folder);
        ScopedRegistryStore scope(store);
        {
            TRegistry reg;
            reg.RootKey = rootKey;
            ASSERT_TRUE(reg.OpenKey(u"\\Software\\Velmorastine", true));
            reg.WriteInteger(u"restart_cnt", 1);
        }
        const std::string file = store->HivePath(hive);
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        std::ifstream in(file);
        const std::string before(std::istreambuf_iterator<char>(in), {});

        TRegistry reg;
        reg.RootKey = rootKey;
        EXPECT_FALSE(reg.OpenKey(u"\\Software\\Velmorastine", true));
        EXPECT_FALSE(reg.OpenKey(u"\\Software\\Velmorastine", false));
        EXPECT_FALSE(reg.OpenKey(u"\\Software\\New", true));
        EXPECT_FALSE(reg.HasOpenKey());
        ASSERT_TRUE(reg.OpenKeyReadOnly(u"\\Software\\Velmorastine"));
        EXPECT_EQ(reg.ReadInteger(u"restart_cnt"), 1);
        EXPECT_THROW(reg.WriteInteger(u"restart_cnt", 2), rtl::ERegistryException);
        EXPECT_FALSE(reg.DeleteValue(u"restart_cnt"));
        TRegistry reader(KEY_READ);
        reader.RootKey = rootKey;
        ASSERT_TRUE(reader.OpenKey(u"\\Software\\Velmorastine", false));
        EXPECT_EQ(reader.ReadInteger(u"restart_cnt"), 1);
        reg.CloseKey();
        std::ifstream after(file);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), before);
    }
}

} // namespace
