// The hive text format and the file store that two processes share.
#include <gtest/gtest.h>

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

RegistryKey SampleTree() {
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

TEST(RegistryTextTest, FormatsReadablyAndParsesBackExactly) {
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

TEST(RegistryTextTest, RefusesDamagedTextWithoutReadingPastIt) {
    const char* damaged[] = {
        "",
        "Velmorastine registry hive 2\n",
        "Velmorastine registry hive 1\n\"v\"=dword:00000001\n",     // value before any key
        "Velmorastine registry hive 1\n[\\K]\n\"v\"=dword:0001\n",  // short number
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
    for (int i = 0; i < 513; ++i) deep += "\\k";
    deep += "]\n";
    RegistryKey out;
    EXPECT_FALSE(ParseRegistryHive(deep, out));
}

class FileRegistryStoreTest : public ::testing::Test {
protected:
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    test_support::TempFolder temp{"registry-test"};
    const std::string folder = temp.Path() + "/hives";
};

TEST_F(FileRegistryStoreTest, TwoStoresOnOneFolderSeeEachOthersChanges) {
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

TEST_F(FileRegistryStoreTest, ProcessesWritingAtOnceLoseNothing) {
    constexpr int kPerProcess = 40;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileRegistryStore store(folder);
        int failures = 0;
        for (int i = 0; i < kPerProcess; ++i) {
            RegistryEdit create{RegistryEdit::Kind::CreateKey, {u"K"}, {}};
            RegistryEdit set{RegistryEdit::Kind::SetValue, {u"K"}, RegistryValue::Dword(u"child" + rtl::Utf8ToUtf16(std::to_string(i)), 1)};
            if (store.Apply(RegistryHive::User, create) != EditResult::Done) ++failures;
            if (store.Apply(RegistryHive::User, set) != EditResult::Done) ++failures;
        }
        _exit(failures == 0 ? 0 : 1);
    }
    FileRegistryStore store(folder);
    int failures = 0;
    for (int i = 0; i < kPerProcess; ++i) {
        RegistryEdit create{RegistryEdit::Kind::CreateKey, {u"K"}, {}};
        RegistryEdit set{RegistryEdit::Kind::SetValue, {u"K"}, RegistryValue::Dword(u"parent" + rtl::Utf8ToUtf16(std::to_string(i)), 1)};
        if (store.Apply(RegistryHive::User, create) != EditResult::Done) ++failures;
        if (store.Apply(RegistryHive::User, set) != EditResult::Done) ++failures;
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(failures, 0);
    RegistryKey root;
    ASSERT_TRUE(store.Read(RegistryHive::User, root));
    ASSERT_EQ(root.subkeys.size(), 1u);
    EXPECT_EQ(root.subkeys[0].values.size(), 2u * kPerProcess);
}

TEST_F(FileRegistryStoreTest, ADamagedHiveIsNeverOverwritten) {
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

TEST_F(FileRegistryStoreTest, AMachineHiveWithoutTheWriteBitMeansNoAdministratorRights) {
    auto store = std::make_shared<FileRegistryStore>(folder);
    ScopedRegistryStore scope(store);
    EXPECT_TRUE(IsUserAnAdmin()); // nothing written yet: the folder will be made
    TRegistry reg;
    reg.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE", true));
    reg.WriteInteger(u"v", 1);
    fs::permissions(folder + "/machine.hive", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(IsUserAnAdmin());
    EXPECT_THROW(reg.WriteInteger(u"v", 2), rtl::ERegistryException);
    EXPECT_EQ(reg.ReadInteger(u"v"), 1);
    reg.RootKey = HKEY_CURRENT_USER;
    EXPECT_TRUE(reg.OpenKey(u"\\Software", true)); // the user hive is still writable
}

} // namespace
