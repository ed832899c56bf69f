#include "TempDrive.h"

#include "platform/rtl/rtl.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using IniFile = rtltest::TempDrive;

const char16_t* const kView = u"T:\\Icon\\view";

// Reads and edits as the private-profile calls do.
TEST_F(IniFile, ReadRules)
{
    std::filesystem::create_directory(Host("Icon"));
    WriteBytes("Icon/view",
               "; settings\r\n"
               "orphan=before any section\r\n"
               "[SYSTEM]\r\n"
               "  screen =  2  \r\n"
               "p_m=\"quoted value\"\r\n"
               "single='x'\r\n"
               "half=\"open\r\n"
               "hex=0x1F\r\n"
               "dollar=$10\r\n"
               "bad=12abc\r\n"
               "empty=\r\n"
               "screen=second one loses\r\n"
               "[ viewer_ver ]\n"
               "version=V05A01\n"
               "[system]\r\n"
               "late=ignored: the first section wins\r\n"
               "[\x93\xFA\x96\x7B]\r\n" // [日本] in code page 932
               "\x96\xBC\x91\x4F=\x93\xFA\x96\x7B\r\n"); // 名前=日本
    TIniFile ini(kView);
    struct Row {
        const char16_t *section, *key, *expected;
    } rows[] = {
        {u"SYSTEM", u"screen", u"2"},         {u"system", u"SCREEN", u"2"},
        {u" SYSTEM ", u" screen ", u"2"},     {u"SYSTEM", u"p_m", u"quoted value"},
        {u"SYSTEM", u"single", u"x"},         {u"SYSTEM", u"half", u"\"open"},
        {u"SYSTEM", u"empty", u""},           {u"SYSTEM", u"late", u"(default)"},
        {u"SYSTEM", u"orphan", u"(default)"}, {u"VIEWER_VER", u"version", u"V05A01"},
        {u"日本", u"名前", u"日本"},          {u"NONE", u"screen", u"(default)"},
        {u"SYSTEM", u"none", u"(default)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(r.key));
        EXPECT_EQ(ini.ReadString(r.section, r.key, u"(default)"), r.expected);
    }
    EXPECT_EQ(ini.ReadInteger(u"SYSTEM", u"screen", -1), 2);
    EXPECT_EQ(ini.ReadInteger(u"SYSTEM", u"hex", -1), 31);
    EXPECT_EQ(ini.ReadInteger(u"SYSTEM", u"dollar", -1), 16);
    EXPECT_EQ(ini.ReadInteger(u"SYSTEM", u"bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger(u"SYSTEM", u"none", 7), 7);
    EXPECT_TRUE(ini.ReadBool(u"SYSTEM", u"screen", false));
    EXPECT_TRUE(ini.ReadBool(u"SYSTEM", u"bad", true));
    EXPECT_TRUE(ini.SectionExists(u"viewer_ver"));
    EXPECT_FALSE(ini.ValueExists(u"SYSTEM", u"nothing"));
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.Text(), u"SYSTEM\r\nviewer_ver\r\n日本\r\n");
}

TEST_F(IniFile, MissingFileFolderOrDriveGivesDefaults)
{
    TIniFile missing(u"T:\\Icon\\view");
    EXPECT_EQ(missing.ReadString(u"SYSTEM", u"screen", u"d"), u"d");
    EXPECT_EQ(TIniFile(u"Q:\\x.ini").ReadInteger(u"a", u"b", 5), 5);
    TMemoryStream bytes;
    EXPECT_EQ(missing.ReadBinaryStream(u"SYSTEM", u"p_m", bytes), 0);
    EXPECT_EQ(bytes.Size(), 0);
    std::filesystem::create_directory(Host("dir.ini"));
    EXPECT_EQ(TIniFile(u"T:\\dir.ini").ReadString(u"a", u"b", u"d"), u"d");
}

struct EditCase {
    const char* name;
    std::string before; // "" with missing = true: no file
    bool missing;
    const char16_t *section, *key, *value;
    std::string after;
};

TEST_F(IniFile, EditsAgainstExpectedText)
{
    const EditCase cases[] = {
        {"creates a missing file", "", true, u"SYSTEM", u"screen", u"1", "[SYSTEM]\r\nscreen=1\r\n"},
        {"replaces in place, keeps the file's spelling and line end", "[SYSTEM]\nScreen = 2\np_m=AB\n", false,
         u"system", u"SCREEN", u"3", "[SYSTEM]\nScreen=3\np_m=AB\n"},
        {"new key after the section's last key", "[SYSTEM]\r\nscreen=1\r\n\r\n; note\r\n[VIEWER_VER]\r\nversion=V1\r\n",
         false, u"SYSTEM", u"p_m", u"41",
         "[SYSTEM]\r\nscreen=1\r\np_m=41\r\n\r\n; note\r\n[VIEWER_VER]\r\nversion=V1\r\n"},
        {"new key in an empty section", "[A]\r\n[B]\r\nx=1\r\n", false, u"A", u"k", u"v",
         "[A]\r\nk=v\r\n[B]\r\nx=1\r\n"},
        {"new section at the end", "[SYSTEM]\r\nscreen=1\r\n", false, u"VIEWER_VER", u"version", u"V05A01",
         "[SYSTEM]\r\nscreen=1\r\n[VIEWER_VER]\r\nversion=V05A01\r\n"},
        {"last line without a line end", "[SYSTEM]\r\nscreen=1", false, u"SYSTEM", u"p_m", u"",
         "[SYSTEM]\r\nscreen=1\r\np_m=\r\n"},
        {"new section after a last line without end", "[A]\r\nx=1", false, u"B", u"y", u"2",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"empty file", "", false, u"S", u"k", u"v", "[S]\r\nk=v\r\n"},
        {"other lines kept byte for byte", "\x81\r\n[S]\r\n\x93\xFA=\x81\x7F\r\nk=1\r\n", false, u"S", u"k", u"2",
         "\x81\r\n[S]\r\n\x93\xFA=\x81\x7F\r\nk=2\r\n"},
        {"Japanese value in code page 932", "", true, u"S", u"名前", u"日本",
         "[S]\r\n\x96\xBC\x91\x4F=\x93\xFA\x96\x7B\r\n"},
        {"UTF-16 file stays UTF-16", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0", 12), false, u"S", u"k", u"v",
         std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22)},
        {"first of duplicate keys is replaced", "[S]\r\nk=1\r\nk=2\r\n", false, u"S", u"K", u"3",
         "[S]\r\nk=3\r\nk=2\r\n"},
        {"an unchanged value leaves the file alone", "[S]\nk = 1 \n", false, u"S", u"k", u"1", "[S]\nk = 1 \n"},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Host("edit.ini"));
        if (!c.missing)
            WriteBytes("edit.ini", c.before);
        TIniFile ini(u"T:\\edit.ini");
        ini.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(ReadBytes("edit.ini"), c.after);
        EXPECT_EQ(ini.ReadString(c.section, c.key, u"(none)"), UnicodeString(c.value).Trim());
    }
}

TEST_F(IniFile, ANameWithBytesTheCodePageDoesNotHoldKeepsThemWhenItsValueIsWritten)
{
    WriteBytes("stray.ini", "[S]\r\n k\xFF\xFE\t= 1\r\nj=2\r\n");
    TIniFile ini(u"T:\\stray.ini");
    TStringList keys;
    ini.ReadSection(u"S", keys);
    ASSERT_EQ(keys.Count(), 2);
    ini.WriteString(u"S", keys.Strings(0), u"3");
    EXPECT_EQ(ReadBytes("stray.ini"), "[S]\r\nk\xFF\xFE=3\r\nj=2\r\n");
    EXPECT_EQ(ini.ReadString(u"S", keys.Strings(0), u"(none)"), u"3");
}

TEST_F(IniFile, IntegersBoolsDeletes)
{
    TIniFile ini(u"T:\\a.ini");
    ini.WriteInteger(u"S", u"i", -5);
    ini.WriteBool(u"S", u"b", true);
    ini.WriteBool(u"S", u"c", false);
    EXPECT_EQ(ReadBytes("a.ini"), "[S]\r\ni=-5\r\nb=1\r\nc=0\r\n");
    EXPECT_EQ(ini.ReadInteger(u"S", u"i", 0), -5);
    EXPECT_FALSE(ini.ReadBool(u"S", u"c", true));
    ini.DeleteKey(u"S", u"b");
    ini.DeleteKey(u"S", u"none");
    EXPECT_EQ(ReadBytes("a.ini"), "[S]\r\ni=-5\r\nc=0\r\n");
    ini.WriteString(u"T", u"x", u"1");
    ini.EraseSection(u"s");
    EXPECT_EQ(ReadBytes("a.ini"), "[T]\r\nx=1\r\n");
    TStringList keys;
    ini.ReadSection(u"T", keys);
    EXPECT_EQ(keys.Text(), u"x\r\n");
}

TEST_F(IniFile, WritesKeepPermissionsAndLeaveNoTemporaryFiles)
{
    WriteBytes("p.ini", "[S]\r\nk=1\r\n");
    std::filesystem::permissions(Host("p.ini"), std::filesystem::perms(0640));
    TIniFile ini(u"T:\\p.ini");
    ini.WriteString(u"S", u"k", u"2");
    ini.WriteString(u"N", u"k", u"3");
    EXPECT_EQ(std::filesystem::status(Host("p.ini")).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadBytes("p.ini"), "[S]\r\nk=2\r\n[N]\r\nk=3\r\n");
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(root_))
        entries += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 1);
}

TEST_F(IniFile, BinaryValuesAsHex)
{
    TIniFile ini(u"T:\\b.ini");
    TMemoryStream out;
    const unsigned char bytes[] = {0x00, 0x1F, 0xAB, 0xFF, 0x33};
    out.Write(bytes, sizeof bytes);
    out.SetPosition(1); // from the position to the end
    ini.WriteBinaryStream(u"SYSTEM", u"p_m", out);
    EXPECT_EQ(ReadBytes("b.ini"), "[SYSTEM]\r\np_m=1FABFF33\r\n");

    struct Row {
        const char* text;
        std::vector<unsigned char> expected;
    } rows[] = {
        {"1FABFF33", {0x1F, 0xAB, 0xFF, 0x33}},
        {"1fabff", {0x1F, 0xAB, 0xFF}}, // either case
        {"1F2G33", {0x1F}}, // stops at the first bad pair
        {"1F2", {0x1F}}, // an odd last digit is dropped
        {"", {}},
        {"ZZ", {}},
        {"\"4142\"", {0x41, 0x42}}, // quotes removed first
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        WriteBytes("r.ini", std::string("[S]\r\nv=") + r.text + "\r\n");
        TMemoryStream in;
        int n = TIniFile(u"T:\\r.ini").ReadBinaryStream(u"S", u"v", in);
        EXPECT_EQ(n, static_cast<int>(r.expected.size()));
        EXPECT_EQ(in.Position(), 0); // a memory stream is put back for reading
        std::vector<unsigned char> got(static_cast<std::size_t>(in.Size()));
        if (!got.empty())
            in.ReadBuffer(got.data(), static_cast<int>(got.size()));
        EXPECT_EQ(got, r.expected);
    }
}

TEST_F(IniFile, WriteFailuresRaise)
{
    TIniFile noFolder(u"T:\\no such folder\\view");
    EXPECT_THROW(noFolder.WriteString(u"S", u"k", u"v"), EIniFileException);
    EXPECT_FALSE(Exists("no such folder"));
    WriteBytes("ro.ini", "[S]\r\nk=1\r\n");
    MakeReadOnly("ro.ini");
    TIniFile readOnly(u"T:\\ro.ini");
    try {
        readOnly.WriteString(u"S", u"k", u"2");
        ADD_FAILURE() << "no exception";
    } catch (EIniFileException& e) {
        EXPECT_EQ(e.Message, u"Unable to write to T:\\ro.ini");
    }
    EXPECT_EQ(readOnly.ReadString(u"S", u"k", u""), u"1");
    EXPECT_THROW(TIniFile(u"Q:\\x.ini").WriteInteger(u"S", u"k", 1), Exception);
    win::DriveTable::Instance().SetWriteProtected(u'T', true);
    EXPECT_THROW(TIniFile(u"T:\\new.ini").WriteInteger(u"S", u"k", 1), EIniFileException);
    win::DriveTable::Instance().SetPresent(u'T', false);
    EXPECT_THROW(TIniFile(u"T:\\new.ini").WriteInteger(u"S", u"k", 1), EIniFileException);
    EXPECT_EQ(TIniFile(u"T:\\ro.ini").ReadInteger(u"S", u"k", 9), 9); // a removed card reads nothing
    win::DriveTable::Instance().SetPresent(u'T', true);
    EXPECT_FALSE(Exists("new.ini"));
}

TEST_F(IniFile, HostileFilesNeverCrash)
{
    std::string huge(300000, 'x');
    const std::string hostile[] = {
        "[",
        "]",
        "[]\r\n=\r\n==\r\n",
        "[S",
        "[S]]]\r\nk=v",
        std::string("[S]\r\nk=\0v\r\n", 11),
        "[S]\r\n" + huge + "=" + huge + "\r\n",
        std::string(100000, '['),
        std::string(100000, '\n'),
        std::string(100000, '='),
        "\xFF\xFE[", // an odd byte after the UTF-16 mark
        "\xFF\xFE",
        "\xEF\xBB\xBF[S]\r\nk=\xFF\r\n",
        std::string("[S]\r\nk=") + std::string(50000, '\x81'),
    };
    for (const std::string& bytes : hostile) {
        SCOPED_TRACE(bytes.substr(0, 20));
        WriteBytes("h.ini", bytes);
        TIniFile ini(u"T:\\h.ini");
        EXPECT_NO_THROW(ini.ReadString(u"S", u"k", u""));
        TMemoryStream stream;
        EXPECT_NO_THROW(ini.ReadBinaryStream(u"S", u"k", stream));
        EXPECT_NO_THROW(ini.WriteString(u"S", u"k", u"ok"));
        EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"ok");
    }
}

// Random files over the characters that matter to the parser: every write
// reads back, and a new section leaves what was there byte for byte.
TEST_F(IniFile, RandomFilesKeepTheRules)
{
    const char alphabet[] = "[]=;\"' \tSk\r\n\x81\x5C\x93\xFA\xFF\xFE\xEF\xBB\xBF\0";
    std::mt19937 random(20261210);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        std::string bytes;
        std::size_t length = random() % 200;
        for (std::size_t i = 0; i < length; ++i)
            bytes += alphabet[random() % (sizeof alphabet - 1)];
        WriteBytes("r.ini", bytes);
        TIniFile ini(u"T:\\r.ini");
        ini.WriteString(u"S", u"k", u"value");
        EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"value");
        WriteBytes("r.ini", bytes);
        ini.WriteString(u"New9", u"q", u"1");
        std::string after = ReadBytes("r.ini");
        bool wide = bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0;
        if (!wide && (bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r')) {
            EXPECT_EQ(after.compare(0, bytes.size(), bytes), 0);
        }
        EXPECT_EQ(ini.ReadString(u"new9", u"Q", u""), u"1");
    }
}

} // namespace
