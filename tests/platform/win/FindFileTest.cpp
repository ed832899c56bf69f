#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "CardFolder.h"
#include "platform/win/DriveTable.h"
#include "platform/win/FindFile.h"
#include "platform/win/LastError.h"

using namespace win;
using win_test::CardFolder;

namespace {

struct Found {
    std::u16string name;
    DWORD attributes;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f)
{
    return os << std::string(f.name.begin(), f.name.end()) << "/" << std::hex << f.attributes;
}

class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DriveTable::Instance().Configure("E=" + card.Root() + ":removable");
        card.WriteFile("DATA/b.asf", "bb");
        card.WriteFile("DATA/A.ASF", "a");
        card.WriteFile("DATA/c.txt");
        card.WriteFile("DATA/r.asf");
        card.SetReadOnly("DATA/r.asf", true);
        card.WriteFile("DATA/Sub/x.asf");
        card.WriteFile("DATA/noext");
        card.WriteFile("DATA/bad:name.asf"); // invisible
    }
    void TearDown() override { DriveTable::Instance().Reset(); }

    static std::vector<Found> List(const char16_t* pattern, DWORD* error = nullptr)
    {
        std::vector<Found> out;
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(pattern, &data);
        if (h == reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1))) {
            if (error)
                *error = GetLastError();
            return out;
        }
        do
            out.push_back({data.cFileName, data.dwFileAttributes});
        while (FindNextFileW(h, &data));
        if (error)
            *error = GetLastError();
        EXPECT_TRUE(FindClose(h));
        return out;
    }

    CardFolder card;
};

TEST_F(FindFileTest, ListsDotsThenNamesSortedWithTheirAttributes)
{
    DWORD error = 0;
    const std::vector<Found> expected = {
        {u".", 0x10},     {u"..", 0x10},    {u"A.ASF", 0x20}, {u"b.asf", 0x20},
        {u"c.txt", 0x20}, {u"noext", 0x20}, {u"r.asf", 0x21}, {u"Sub", 0x10},
    };
    EXPECT_EQ(List(u"E:\\data\\*.*", &error), expected);
    EXPECT_EQ(error, ERROR_NO_MORE_FILES);
    EXPECT_EQ(List(u"E:\\DATA\\*"), expected);

    const std::vector<Found> asf = {{u"A.ASF", 0x20}, {u"b.asf", 0x20}, {u"r.asf", 0x21}};
    EXPECT_EQ(List(u"E:\\DATA\\*.asf"), asf);
    EXPECT_EQ(List(u"E:\\DATA\\?.AsF"), asf);
    // A drive's root lists no "." and "..".
    EXPECT_EQ(List(u"E:\\*"), (std::vector<Found>{{u"DATA", 0x10}}));
}

TEST_F(FindFileTest, APlainNameFindsOneEntrySpelledAsOnTheDisk)
{
    EXPECT_EQ(List(u"E:\\data\\a.asf"), (std::vector<Found>{{u"A.ASF", 0x20}}));
    EXPECT_EQ(List(u"E:\\data\\sub"), (std::vector<Found>{{u"Sub", 0x10}}));
}

TEST_F(FindFileTest, FailuresReportTheirError)
{
    const struct {
        const char16_t* pattern;
        DWORD error;
    } rows[] = {
        {u"E:\\DATA\\*.avi", ERROR_FILE_NOT_FOUND}, {u"E:\\DATA\\none.asf", ERROR_FILE_NOT_FOUND},
        {u"E:\\NONE\\*.*", ERROR_PATH_NOT_FOUND},   {u"E:\\NONE\\x.asf", ERROR_PATH_NOT_FOUND},
        {u"E:\\DATA\\", ERROR_FILE_NOT_FOUND},      {u"Q:\\*.*", ERROR_PATH_NOT_FOUND},
        {u"E:\\DATA\\a|*", ERROR_INVALID_NAME},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.pattern, row.pattern + std::char_traits<char16_t>::length(row.pattern)));
        DWORD error = 0;
        EXPECT_TRUE(List(row.pattern, &error).empty());
        EXPECT_EQ(error, row.error);
    }
    DriveTable::Instance().SetPresent(u'E', false);
    DWORD error = 0;
    EXPECT_TRUE(List(u"E:\\DATA\\*.*", &error).empty());
    EXPECT_EQ(error, ERROR_NOT_READY);

    EXPECT_FALSE(FindClose(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    WIN32_FIND_DATAW data;
    int notAHandle = 0;
    EXPECT_FALSE(FindNextFileW(&notAHandle, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FindFileTest, SizeAbove4GiBComesInTwoHalves)
{
    card.WriteFile("DATA/huge.asf", "");
    ASSERT_EQ(truncate((card.Root() + "/DATA/huge.asf").c_str(), 5368709120LL), 0); // sparse 5 GiB
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"E:\\DATA\\HUGE.ASF", &data);
    ASSERT_NE(h, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
    EXPECT_EQ(data.nFileSizeHigh, 1u);
    EXPECT_EQ(data.nFileSizeLow, 0x40000000u);
    FindClose(h);

    TSearchRec rec;
    ASSERT_EQ(FindFirst(u"E:\\DATA\\huge.asf", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 5368709120LL);
    EXPECT_EQ(rec.Name, u"huge.asf");
    FindClose(rec);
}

TEST_F(FindFileTest, FrameworkSearchPassesOverFoldersUnlessAsked)
{
    std::vector<std::u16string> names;
    TSearchRec rec;
    for (int rc = FindFirst(u"E:\\DATA\\*.*", faArchive | faReadOnly, rec); rc == 0; rc = FindNext(rec))
        names.push_back(rec.Name.str());
    FindClose(rec);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"A.ASF", u"b.asf", u"c.txt", u"noext", u"r.asf"}));

    names.clear();
    for (int rc = FindFirst(u"E:\\DATA\\*.*", faAnyFile, rec); rc == 0; rc = FindNext(rec))
        names.push_back(rec.Name.str());
    FindClose(rec);
    EXPECT_EQ(names.size(), 8u);
    EXPECT_EQ(FindFirst(u"E:\\DATA\\S*", 0, rec), static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(rec.FindHandle, nullptr);
}

TEST_F(FindFileTest, EightBitFormsUseCodePage932)
{
    card.WriteFile("DATA/ログ.asf");
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA("E:\\DATA\\\x83\x8d\x83\x4f.asf", &data); // "ログ.asf"
    ASSERT_NE(h, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
    EXPECT_STREQ(data.cFileName, "\x83\x8d\x83\x4f.asf");
    FindClose(h);
}

TEST_F(FindFileTest, TheFoundEntryIsReadByTheHostPathTheListingFound)
{
    card.WriteFile("DATA/Z.ASF", "0123456789");
    card.MakeFolder("DATA/y.asf");
    ASSERT_EQ(mkfifo((card.Root() + "/DATA/w.asf").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (card.Root() + "/DATA/v.asf").c_str()), 0);
    struct Row {
        const char16_t* name;
        long result; // bytes read, or -1
        int error;
    };
    const Row rows[] = {
        {u"A.ASF", 1, 0},       {u"b.asf", 2, 0}, {u"v.asf", 0, 0}, // a device, size 0: nothing read from it
        {u"w.asf", -1, EACCES}, // a fifo: refused without waiting for a writer
        {u"y.asf", -1, EACCES}, // a folder
        {u"Z.ASF", 4, 0}, // as much as asked for
    };
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"e:\\data\\*.asf", &data);
    ASSERT_NE(h, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
    std::vector<std::u16string> seen;
    do {
        for (const Row& row : rows) {
            if (std::u16string(data.cFileName) != row.name)
                continue;
            SCOPED_TRACE(std::string(row.name, row.name + std::char_traits<char16_t>::length(row.name)));
            char buffer[4] = {};
            errno = 0;
            EXPECT_EQ(ReadFoundFile(h, buffer, sizeof buffer), row.result);
            if (row.result < 0) {
                EXPECT_EQ(errno, row.error);
            }
            seen.push_back(row.name);
        }
    } while (FindNextFileW(h, &data));
    EXPECT_EQ(seen.size(), std::size(rows));
    FindClose(h);

    // A card pulled after the listing answers no more.
    ASSERT_NE(h = FindFirstFileW(u"E:\\DATA\\b.asf", &data), reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
    DriveTable::Instance().SetPresent(u'E', false);
    char buffer[4];
    errno = 0;
    EXPECT_EQ(ReadFoundFile(h, buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, ENODEV);
    DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_EQ(ReadFoundFile(h, buffer, sizeof buffer), 2);
    // A file gone since the listing.
    ASSERT_EQ(unlink((card.Root() + "/DATA/b.asf").c_str()), 0);
    errno = 0;
    EXPECT_EQ(ReadFoundFile(h, buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, ENOENT);
    FindClose(h);
    // No live search.
    errno = 0;
    EXPECT_EQ(ReadFoundFile(h, buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(FindFileTest, ANamesAndKindsSearchLeavesTheDetailsToTheRead)
{
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"E:\\DATA\\*.*", &data, FindDetail::NamesAndKinds);
    ASSERT_NE(h, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
    std::vector<Found> listed;
    do {
        const std::u16string name = data.cFileName;
        listed.push_back({name, data.dwFileAttributes});
        if (name == u"b.asf" || name == u"r.asf") {
            SCOPED_TRACE(std::string(name.begin(), name.end()));
            EXPECT_EQ(data.nFileSizeLow, 0u) << "not known before the read";
            char buffer[8];
            EXPECT_EQ(ReadFoundFile(h, buffer, sizeof buffer, &data), name == u"b.asf" ? 2 : 1);
            EXPECT_EQ(data.nFileSizeLow, name == u"b.asf" ? 2u : 1u);
        }
    } while (FindNextFileW(h, &data));
    FindClose(h);
    // The same names in the same order as a full search, folders marked;
    // only the read-only bit is not told.
    std::vector<Found> full = List(u"E:\\DATA\\*.*");
    for (Found& f : full)
        f.attributes &= ~DWORD{faReadOnly};
    for (Found& f : listed)
        f.attributes &= ~DWORD{faReadOnly};
    EXPECT_EQ(listed, full);
}

} // namespace
