// TRegistry's semantics, on the in-memory store.
#include <gtest/gtest.h>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/win/MemoryRegistryStore.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryText.h"

using namespace win;
using rtl::ERegistryException;
using rtl::UnicodeString;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    std::shared_ptr<MemoryRegistryStore> store = std::make_shared<MemoryRegistryStore>();
    ScopedRegistryStore scope{store};

    std::string Export(RegistryHive hive) { return FormatRegistryHive(store->Contents(hive)); }
};

// The message of the registry exception a call raises, or "" when none.
template <class F>
std::string RaisedMessage(F call)
{
    try {
        call();
    } catch (ERegistryException& e) {
        return e.what();
    }
    return "";
}

TEST_F(RegistryTest, StartsAtTheUserHiveWithNoOpenKeyAndRefusesWritesThen)
{
    TRegistry reg;
    EXPECT_EQ(static_cast<HKEY>(reg.RootKey), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.HasOpenKey());
    EXPECT_EQ(reg.CurrentPath(), u"");
    EXPECT_EQ(RaisedMessage([&] { reg.WriteInteger(u"count", 1); }), "Failed to set data for 'count'");
    EXPECT_EQ(RaisedMessage([&] { reg.WriteString(u"text", u"x"); }), "Failed to set data for 'text'");
    EXPECT_FALSE(reg.ValueExists(u"count"));
    EXPECT_EQ(reg.GetDataAsString(u"count", false), u"");
}

TEST_F(RegistryTest, OpenKeyCreatesEveryMissingKeyOnlyWhenAllowed)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(u"\\A\\B\\C", false));
    EXPECT_FALSE(reg.KeyExists(u"\\A"));
    ASSERT_TRUE(reg.OpenKey(u"\\A\\B\\C", true));
    EXPECT_EQ(reg.CurrentPath(), u"\\A\\B\\C");
    EXPECT_TRUE(reg.KeyExists(u"\\A\\B"));
    // Relative paths start at the open key.
    ASSERT_TRUE(reg.OpenKey(u"D", true));
    EXPECT_EQ(reg.CurrentPath(), u"\\A\\B\\C\\D");
    EXPECT_TRUE(reg.KeyExists(u"\\A\\B\\C\\D"));
    EXPECT_EQ(Export(RegistryHive::User),
              "Velmorastine registry hive 1\n[\\A]\n[\\A\\B]\n[\\A\\B\\C]\n[\\A\\B\\C\\D]\n");
    EXPECT_EQ(Export(RegistryHive::Machine), "Velmorastine registry hive 1\n");
}

TEST_F(RegistryTest, PathsWithAnEmptyComponentNeverOpen)
{
    TRegistry reg;
    for (const char16_t* path : {u"\\A\\\\B", u"\\A\\", u"\\\\A", u"A\\\\"}) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(path));
        EXPECT_FALSE(reg.OpenKey(path, true));
        EXPECT_FALSE(reg.KeyExists(path));
    }
    EXPECT_EQ(store->EditCount(), 0);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\GNU", true));
    reg.WriteInteger(u"Revision", 1);
    ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\gnu", false));
    reg.WriteInteger(u"REVISION", 2);
    EXPECT_EQ(reg.ReadInteger(u"revision"), 2);
    EXPECT_TRUE(reg.KeyExists(u"\\software\\GNU"));
    EXPECT_EQ(Export(RegistryHive::User),
              "Velmorastine registry hive 1\n[\\Software]\n[\\Software\\GNU]\n\"Revision\"=dword:00000002\n");
}

TEST_F(RegistryTest, SettingTheRootClosesTheOpenKeyEvenForTheSameRoot)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\K", true));
    reg.RootKey = HKEY_CURRENT_USER;
    EXPECT_FALSE(reg.HasOpenKey());
    EXPECT_THROW(reg.WriteInteger(u"v", 1), ERegistryException);
}

TEST_F(RegistryTest, TheClassesRootIsTheMachineHivesClassesKey)
{
    TRegistry reg;
    reg.RootKey = HKEY_CLASSES_ROOT;
    ASSERT_TRUE(reg.OpenKey(u"\\CLSID\\{X}", true));
    EXPECT_EQ(reg.CurrentPath(), u"\\CLSID\\{X}");
    reg.WriteString(u"", u"name");
    reg.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE\\Classes\\CLSID\\{X}", false));
    EXPECT_EQ(reg.ReadString(u""), u"name");
    reg.RootKey = HKEY_CLASSES_ROOT;
    EXPECT_FALSE(reg.DeleteKey(u"\\")); // a root is never deleted
}

TEST_F(RegistryTest, ValuesOfEachTypeAndTheirTextForm)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\K", true));
    reg.WriteInteger(u"minus", -1);
    reg.WriteInteger(u"big", 2147483647);
    reg.WriteString(u"empty", u"");
    reg.WriteString(u"lines", u"a.exe\r\nb.exe\r\n");
    reg.WriteString(u"nul", UnicodeString(std::u16string(u"ab\0cd", 5)));
    const unsigned char bytes[] = {0x00, 0xAB, 0x10};
    reg.WriteBinaryData(u"bin", bytes, 3);

    EXPECT_EQ(reg.ReadInteger(u"minus"), -1);
    EXPECT_EQ(reg.GetDataAsString(u"minus", false), u"-1");
    EXPECT_EQ(reg.GetDataAsString(u"big", false), u"2147483647");
    EXPECT_TRUE(reg.ValueExists(u"empty")); // an empty string is a real value
    EXPECT_EQ(reg.GetDataAsString(u"empty", false), u"");
    EXPECT_EQ(reg.GetDataAsString(u"missing", false), u"");
    EXPECT_EQ(reg.ReadString(u"lines"), u"a.exe\r\nb.exe\r\n");
    EXPECT_EQ(reg.GetDataAsString(u"nul", false), u"ab");
    EXPECT_EQ(reg.GetDataAsString(u"bin", false), u"00AB10");
    EXPECT_EQ(reg.GetDataType(u"bin"), rdBinary);
    EXPECT_EQ(reg.GetDataSize(u"bin"), 3);
    EXPECT_EQ(reg.GetDataSize(u"missing"), -1);
    unsigned char back[3] = {};
    EXPECT_EQ(reg.ReadBinaryData(u"bin", back, 3), 3);
    EXPECT_EQ(back[1], 0xAB);
    EXPECT_THROW(reg.ReadBinaryData(u"bin", back, 2), ERegistryException);

    // A write replaces a value of any type.
    reg.WriteString(u"minus", u"now text");
    EXPECT_EQ(reg.GetDataType(u"minus"), rdString);
}

TEST_F(RegistryTest, ReadsThatRaise)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\K", true));
    reg.WriteString(u"text", u"12");
    reg.WriteInteger(u"number", 12);
    EXPECT_EQ(RaisedMessage([&] { reg.ReadInteger(u"missing"); }), "Failed to get data for 'missing'");
    EXPECT_EQ(RaisedMessage([&] { reg.ReadInteger(u"text"); }), "Invalid data type for 'text'");
    EXPECT_EQ(RaisedMessage([&] { reg.GetDataAsString(u"number"); }), "Invalid data type for 'number'");
    EXPECT_EQ(RaisedMessage([&] { reg.ReadString(u"number"); }), "Invalid data type for 'number'");
}

TEST_F(RegistryTest, DeletesNeverRaiseAndDeleteKeyTakesTheSubkeys)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\A\\B\\C", true));
    reg.WriteInteger(u"v", 1);
    ASSERT_TRUE(reg.OpenKey(u"\\A2", true));
    EXPECT_FALSE(reg.DeleteValue(u"missing"));
    EXPECT_FALSE(reg.DeleteKey(u"\\Nothing"));
    EXPECT_FALSE(reg.DeleteKey(u"\\A\\\\B"));
    EXPECT_TRUE(reg.DeleteKey(u"\\A"));
    EXPECT_FALSE(reg.KeyExists(u"\\A\\B\\C"));
    EXPECT_FALSE(reg.DeleteKey(u"\\A"));
    EXPECT_EQ(Export(RegistryHive::User), "Velmorastine registry hive 1\n[\\A2]\n");

    // The open key deleted under the object: writes now raise.
    ASSERT_TRUE(reg.OpenKey(u"\\Gone", true));
    TRegistry other;
    ASSERT_TRUE(other.DeleteKey(u"\\Gone"));
    EXPECT_THROW(reg.WriteInteger(u"v", 1), ERegistryException);
    EXPECT_FALSE(reg.DeleteValue(u"v"));
}

TEST_F(RegistryTest, ARefusingStoreFailsOpensAndRaisesOnWrites)
{
    store->SetReadOnly(RegistryHive::Machine, true);
    EXPECT_FALSE(IsUserAnAdmin());
    TRegistry reg;
    reg.RootKey = HKEY_LOCAL_MACHINE;
    EXPECT_FALSE(reg.OpenKey(u"\\SOFTWARE", true));
    EXPECT_FALSE(reg.CreateKey(u"\\SOFTWARE"));

    store->SetReadOnly(RegistryHive::Machine, false);
    EXPECT_TRUE(IsUserAnAdmin());
    store->RefuseValue(RegistryHive::Machine, u"pth");
    store->RefuseKey(RegistryHive::Machine, u"\\Locked");
    ASSERT_TRUE(reg.OpenKey(u"\\SOFTWARE", true));
    reg.WriteInteger(u"other", 1);
    EXPECT_EQ(RaisedMessage([&] { reg.WriteString(u"PTH", u"x"); }), "Failed to set data for 'PTH'");
    EXPECT_FALSE(reg.OpenKey(u"\\Locked\\Below", true));
    EXPECT_FALSE(reg.KeyExists(u"\\Locked"));

    store->SetUnreadable(RegistryHive::Machine, true);
    EXPECT_FALSE(reg.KeyExists(u"\\SOFTWARE"));
    EXPECT_EQ(reg.GetDataAsString(u"other", false), u"");
    EXPECT_THROW(reg.WriteInteger(u"other", 2), ERegistryException);
}

TEST_F(RegistryTest, ReadOnlyAccessNeverWrites)
{
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(u"\\K", true));
    writer.WriteInteger(u"v", 7);
    TRegistry reader(KEY_READ);
    EXPECT_FALSE(reader.OpenKey(u"\\New", true));
    ASSERT_TRUE(reader.OpenKey(u"\\K", true));
    EXPECT_EQ(reader.ReadInteger(u"v"), 7);
    EXPECT_THROW(reader.WriteInteger(u"v", 1), ERegistryException);
    EXPECT_FALSE(reader.DeleteValue(u"v"));
    EXPECT_FALSE(reader.DeleteKey(u"\\K"));
}

} // namespace
