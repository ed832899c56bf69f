#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>
#include <unistd.h>

#include "app/Common.h"
#include "platform/rtl/Exception.h"
#include "platform/win/DriveTable.h"
#include "platform/win/ErrorMode.h"
#include "tests/support/TempFolder.h"

namespace {

class CommonTest : public ::testing::Test {
protected:
    void SetUp() override { win::DriveTable::Instance().Configure("E=" + card.Path() + ":removable"); }
    void TearDown() override { win::DriveTable::Instance().Reset(); }
    test_support::TempFolder card{"vm-common"};
};

TEST_F(CommonTest, IsDriveReadyAsksTheDriveOfTheFirstCharacter)
{
    const struct {
        const char16_t* path;
        bool ready;
    } paths[] = {
        {u"E:\\DATA\\x.asf", true}, {u"e:", true},         {u"E", true}, // only the letter counts
        {u"Q:\\", false},           {u"", false},          {u"\\\\server\\share", false},
        {u"@:\\", false},           {u"\u0141:\\", false}, // 0x141 - 64 would wrap onto a drive number in a byte
        {u"\uFF25:\\", false}, // full-width E
    };
    for (const auto& row : paths) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(row.path)));
        EXPECT_EQ(IsDriveReady(rtl::UnicodeString(row.path)), row.ready);
    }
    EXPECT_TRUE(IsDriveReady('E'));
    EXPECT_TRUE(IsDriveReady('e'));
    EXPECT_FALSE(IsDriveReady('Q'));
    EXPECT_FALSE(IsDriveReady('\0'));
    EXPECT_FALSE(IsDriveReady('\xC5'));
}

TEST_F(CommonTest, RemovedCardIsNotReadyAndTheErrorModeComesBack)
{
    const win::UINT before = win::SetErrorMode(win::SEM_NOOPENFILEERRORBOX);
    win::DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_FALSE(IsDriveReady('E'));
    EXPECT_EQ(win::GetErrorMode(), win::SEM_NOOPENFILEERRORBOX);
    win::DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_TRUE(IsDriveReady(u"E:\\"));
    EXPECT_EQ(win::GetErrorMode(), win::SEM_NOOPENFILEERRORBOX);
    win::SetErrorMode(before);
}

TEST_F(CommonTest, ErrorModeThreadSafetyOfConcurrentDriveChecks)
{
    // Unserialised save/set/restore pairs from two threads can restore the
    // other thread's temporary mode and leave it switched on for good.
    const win::UINT before = win::SetErrorMode(0);
    auto worker = [] {
        for (int i = 0; i < 2000; ++i)
            IsDriveReady('E');
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    EXPECT_EQ(win::GetErrorMode(), 0u);
    win::SetErrorMode(before);
}

TEST(ConversionTest, MsToTimeEncodesTheTimeOfDay)
{
    const struct {
        std::uint32_t ms;
        rtl::Word h, m, s, milli;
    } rows[] = {
        {0, 0, 0, 0, 0},
        {3723004, 1, 2, 3, 4},
        {86399999, 23, 59, 59, 999},
        {60000, 0, 1, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ms);
        EXPECT_EQ(static_cast<double>(MsToTime(row.ms)),
                  static_cast<double>(rtl::EncodeTime(row.h, row.m, row.s, row.milli)));
    }
    EXPECT_EQ(static_cast<double>(MsToTime(43200000)), 0.5);
    EXPECT_THROW(MsToTime(86400000), rtl::EConvertError);
    EXPECT_THROW(MsToTime(std::numeric_limits<std::uint32_t>::max()), rtl::EConvertError);
}

TEST(ConversionTest, StrToFloatOrZeroNeverFails)
{
    const struct {
        const char* text;
        double value;
    } rows[] = {
        {"0", 0},      {"", 0},    {"12.5", 12.5}, {"-1e3", -1000}, {"+.5", 0.5}, {"abc", 0}, {"1,5", 0},
        {"12.5km", 0}, {"inf", 0}, {"nan", 0},     {"0x10", 0},     {"1e999", 0}, {"000", 0}, {"35.6581", 35.6581},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(StrToFloatOrZero(rtl::AnsiString(row.text)), row.value);
    }
}

TEST(ConversionTest, RoundToTextRoundsHalfToEven)
{
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.5, "0"},
        {1.5, "2"},
        {2.5, "2"},
        {3.5, "4"},
        {-2.5, "-2"},
        {59.4, "59"},
        {100.5, "100"},
        {-0.4, "0"},
        {-0.5, "0"},
        {-1.5, "-2"},
        {0.0, "0"},
        {-0.0, "0"},
        {59.6, "60"},
        {1e20, "100000000000000000000"},
        {0.49999999999999994, "0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(RoundToText(row.value), rtl::AnsiString(row.text));
    }
    EXPECT_EQ(RoundToText(std::nan("")), rtl::AnsiString("NAN"));
}

TEST_F(CommonTest, GetFileSizeByNameGivesTheLow32BitsSigned)
{
    const auto sparse = [&](const std::string& name, long long size) {
        std::ofstream(card.Path() + "/" + name).close();
        ASSERT_EQ(truncate((card.Path() + "/" + name).c_str(), size), 0);
    };
    sparse("five.asf", 5368709120LL); // 5 GiB
    sparse("three.asf", 3221225472LL); // 3 GiB: the low half has its top bit set
    sparse("small.asf", 1234);
    std::filesystem::create_directory(card.Path() + "/Folder");
    std::ofstream(card.Path() + "/\xe3\x83\xad\xe3\x82\xb0.asf").put('x'); // "ログ.asf"

    const struct {
        const char* path;
        std::int32_t size;
    } rows[] = {
        {"E:\\five.asf", 1073741824},
        {"E:\\THREE.ASF", -1073741824},
        {"E:\\small.asf", 1234},
        {"E:\\*.asf", 1073741824}, // the first match in name order
        {"E:\\missing.asf", 0},
        {"E:\\Folder", 0},
        {"E:\\\x83\x8d\x83\x4f.asf", 1}, // code page 932 path
        {"Q:\\five.asf", 0},
        {"", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(GetFileSizeByName(rtl::AnsiString(row.path)), row.size);
    }
}

} // namespace
