#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include "CardFolder.h"
#include "platform/win/Drives.h"
#include "platform/win/DriveTable.h"
#include "platform/win/ErrorMode.h"
#include "platform/win/FileTime.h"
#include "platform/win/LastError.h"

using namespace win;
using win_test::CardFolder;

namespace {

class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override { DriveTable::Instance().Configure("E=" + card.Root() + ":removable;C=" + pc.Root()); }
    void TearDown() override { DriveTable::Instance().Reset(); }
    CardFolder card;
    CardFolder pc;
};

TEST_F(DrivesTest, OnlyARootAnswersADriveType)
{
    const struct {
        const char16_t* path;
        UINT type;
    } rows[] = {
        {u"E:\\", DRIVE_REMOVABLE},       {u"e:\\", DRIVE_REMOVABLE},
        {u"C:\\", DRIVE_FIXED},           {u"E:", DRIVE_NO_ROOT_DIR},
        {u"E:\\DATA", DRIVE_NO_ROOT_DIR}, {u"Q:\\", DRIVE_NO_ROOT_DIR},
        {u"", DRIVE_NO_ROOT_DIR},         {u"\\\\srv\\share\\", DRIVE_NO_ROOT_DIR},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path, row.path + std::char_traits<char16_t>::length(row.path)));
        EXPECT_EQ(GetDriveTypeW(row.path), row.type);
    }
    EXPECT_EQ(GetDriveTypeA("E:\\"), DRIVE_REMOVABLE);
    // A card reader stays removable with its card pulled.
    DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_EQ(GetDriveTypeW(u"E:\\"), DRIVE_REMOVABLE);
}

TEST_F(DrivesTest, DiskSizeComesFromStatvfsOrIsMinusOne)
{
    struct statvfs vfs {};
    ASSERT_EQ(statvfs(card.Root().c_str(), &vfs), 0);
    EXPECT_EQ(DiskSize(5), static_cast<std::int64_t>(vfs.f_blocks) * static_cast<std::int64_t>(vfs.f_frsize));
    EXPECT_GT(DiskSize(5), 0);
    EXPECT_LE(DiskFree(5), DiskSize(5));
    EXPECT_GT(DiskSize(3), 0);

    for (BYTE n : {0, 4, 27, 255})
        EXPECT_EQ(DiskSize(n), -1) << int(n);
    DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_EQ(DiskSize(5), -1);
    EXPECT_EQ(DiskFree(5), -1);
    // A drive whose folder is gone: statvfs fails.
    DriveTable::Instance().SetDrive(u'F', "/nonexistent/vm-no-such-folder");
    EXPECT_EQ(DiskSize(6), -1);
}

TEST(ErrorModeTest, SetReturnsThePreviousMode)
{
    const UINT original = GetErrorMode();
    EXPECT_EQ(SetErrorMode(SEM_FAILCRITICALERRORS), original);
    EXPECT_EQ(GetErrorMode(), SEM_FAILCRITICALERRORS);
    EXPECT_EQ(SetErrorMode(original), SEM_FAILCRITICALERRORS);
    EXPECT_EQ(GetErrorMode(), original);
}

TEST(FileTimeTest, ConvertsToCalendarFieldsInUtc)
{
    const struct {
        std::uint64_t ticks;
        SYSTEMTIME expected;
    } rows[] = {
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {116444736000000000ull, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {133170048000000000ull + 36000000000ull + 1230000, {2023, 1, 0, 1, 1, 0, 0, 123}},
        {(1ull << 63) - 1, {30828, 9, 4, 14, 2, 48, 5, 477}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ticks);
        const FILETIME ft = detail::FromUInt64(row.ticks);
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
        EXPECT_EQ(st, row.expected);
        FILETIME back;
        if (st.wYear <= 30827) { // Windows converts back only up to 30827
            ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
            EXPECT_EQ(detail::ToUInt64(back), row.ticks / 10000 * 10000);
        } else {
            EXPECT_FALSE(SystemTimeToFileTime(&st, &back));
        }
    }
    for (std::uint64_t bad : {1ull << 63, ~0ull}) {
        const FILETIME ft = detail::FromUInt64(bad);
        SYSTEMTIME st{1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_FALSE(FileTimeToSystemTime(&ft, &st));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(st, SYSTEMTIME{});
    }
    const SYSTEMTIME feb30{2023, 2, 0, 30, 0, 0, 0, 0};
    FILETIME out;
    EXPECT_FALSE(SystemTimeToFileTime(&feb30, &out));
    const SYSTEMTIME leap{2024, 2, 0, 29, 0, 0, 0, 0};
    EXPECT_TRUE(SystemTimeToFileTime(&leap, &out));
}

TEST(FileTimeTest, HostTimesRoundTrip)
{
    const timespec t{1234567890, 123456700};
    const FILETIME ft = detail::FileTimeFromHost(t);
    EXPECT_EQ(detail::ToUInt64(ft), 116444736000000000ull + 12345678901234567ull);
    const timespec back = detail::HostFromFileTime(ft);
    EXPECT_EQ(back.tv_sec, t.tv_sec);
    EXPECT_EQ(back.tv_nsec, t.tv_nsec);
}

} // namespace
