#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CardFolder.h"
#include "platform/win/CRuntimeFile.h"
#include "platform/win/DriveTable.h"
#include "platform/win/FileFaults.h"
#include "platform/win/Files.h"
#include "platform/win/LastError.h"
#include "platform/win/OpenFileHold.h"

using namespace win;
using win_test::CardFolder;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DriveTable::Instance().Configure("E=" + card.Root() + ":removable;C=" + pc.Root());
        card.WriteFile("DATA/Rec01.ASF", "recording");
    }
    void TearDown() override
    {
        FileFaults::Clear();
        DriveTable::Instance().Reset();
    }

    // Result and error together, as a pair for one EXPECT_EQ.
    static std::pair<BOOL, DWORD> Call(BOOL result) { return {result, result ? 0 : GetLastError()}; }
    static std::pair<BOOL, DWORD> Fails(DWORD error) { return {0, error}; }
    static std::pair<BOOL, DWORD> Succeeds() { return {1, 0}; }

    CardFolder card;
    CardFolder pc;
};

TEST_F(FilesTest, DeleteFileRefusesWhatWindowsRefuses)
{
    card.WriteFile("DATA/ro.asf");
    card.SetReadOnly("DATA/ro.asf", true);
    card.WriteFile("DATA/open.asf");

    EXPECT_EQ(Call(DeleteFileW(nullptr)), Fails(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\none.asf")), Fails(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Call(DeleteFileW(u"E:\\NONE\\x.asf")), Fails(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA")), Fails(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\RO.ASF")), Fails(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(card.Exists("DATA/ro.asf"));
    {
        OpenFileHold hold(u"e:\\data\\OPEN.asf");
        ASSERT_TRUE(hold.Held());
        EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\open.asf")), Fails(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(card.Exists("DATA/open.asf"));
    }
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\open.asf")), Succeeds());
    EXPECT_FALSE(card.Exists("DATA/open.asf"));

    DriveTable::Instance().SetWriteProtected(u'E', true);
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\Rec01.ASF")), Fails(ERROR_WRITE_PROTECT));
    DriveTable::Instance().SetWriteProtected(u'E', false);
    DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\Rec01.ASF")), Fails(ERROR_NOT_READY));
    DriveTable::Instance().SetPresent(u'E', true);
    // The framework form and the 8-bit form reach the same call.
    EXPECT_TRUE(DeleteFile(rtl::UnicodeString(u"E:\\data\\rec01.asf")));
    EXPECT_FALSE(card.Exists("DATA/Rec01.ASF"));
    EXPECT_EQ(Call(DeleteFileA("E:\\DATA\\Rec01.ASF")), Fails(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, CopyFileKeepsTimeAndReadOnlyAndNeverOverwritesWhenAsked)
{
    const timespec times[2] = {{1000000000, 0}, {1234567890, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (card.Root() + "/DATA/Rec01.ASF").c_str(), times, 0), 0);
    card.SetReadOnly("DATA/Rec01.ASF", true);
    pc.MakeFolder("Dravik/Data");

    EXPECT_EQ(Call(CopyFileA("E:\\DATA\\Rec01.ASF", "C:\\dravik\\data\\Rec01.ASF", 1)), Succeeds());
    struct stat st {};
    ASSERT_EQ(stat((pc.Root() + "/Dravik/Data/Rec01.ASF").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 500000000);
    EXPECT_EQ(GetFileAttributesW(u"C:\\Dravik\\Data\\Rec01.ASF"), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(pc.Read("Dravik/Data/Rec01.ASF"), "recording");

    // The target exists in another letter case.
    pc.WriteFile("Dravik/Data/other.asf", "old");
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\Rec01.ASF", u"C:\\Dravik\\Data\\OTHER.ASF", 1)), Fails(ERROR_FILE_EXISTS));
    EXPECT_EQ(pc.Read("Dravik/Data/other.asf"), "old");
    EXPECT_FALSE(pc.Exists("Dravik/Data/OTHER.ASF"));
    // Without failIfExists it is replaced, unless read-only.
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\Rec01.ASF", u"C:\\Dravik\\Data\\OTHER.ASF", 0)), Succeeds());
    EXPECT_EQ(pc.Read("Dravik/Data/other.asf"), "recording");
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\Rec01.ASF", u"C:\\Dravik\\Data\\other.asf", 0)), Fails(ERROR_ACCESS_DENIED));

    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\none.asf", u"C:\\x.asf", 1)), Fails(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\Rec01.ASF", u"C:\\No\\x.asf", 1)), Fails(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA", u"C:\\x", 1)), Fails(ERROR_ACCESS_DENIED));
    DriveTable::Instance().SetWriteProtected(u'C', true);
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\Rec01.ASF", u"C:\\y.asf", 1)), Fails(ERROR_WRITE_PROTECT));
    EXPECT_FALSE(pc.Exists("y.asf"));
}

TEST_F(FilesTest, FailedCopyLeavesNoPartialTarget)
{
    card.WriteFile("DATA/big.asf", std::string(300000, 'v'));
    // A file size limit makes the host refuse the write part-way, as a full
    // card would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = Call(CopyFileW(u"E:\\DATA\\big.asf", u"C:\\big.asf", 1));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, Fails(ERROR_DISK_FULL));
    EXPECT_FALSE(pc.Exists("big.asf"));
}

TEST_F(FilesTest, CopyFaultSwitchesFillTheDiskAndPullTheCard)
{
    card.WriteFile("DATA/big.asf", std::string(300000, 'v'));
    card.WriteFile("DATA/small.asf", std::string(500, 's'));

    // 1000 bytes free on C: the small copy fits, the big one fails part-way
    // and leaves nothing; the room the small one took is gone.
    FileFaults::DiskFull(u'c', 1000);
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\small.asf", u"C:\\small.asf", 1)), Succeeds());
    EXPECT_EQ(pc.Read("small.asf"), std::string(500, 's'));
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\big.asf", u"C:\\big.asf", 1)), Fails(ERROR_DISK_FULL));
    EXPECT_FALSE(pc.Exists("big.asf"));
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\small.asf", u"C:\\small2.asf", 1)), Fails(ERROR_DISK_FULL));
    EXPECT_FALSE(pc.Exists("small2.asf"));
    FileFaults::Clear();

    // The card goes after 100 bytes: the copy fails, nothing partial stays,
    // the card answers no more, and once back its file is whole.
    FileFaults::PullDuringCopy(u'E', 100);
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\big.asf", u"C:\\big.asf", 1)), Fails(ERROR_NOT_READY));
    EXPECT_FALSE(pc.Exists("big.asf"));
    EXPECT_FALSE(DriveTable::Instance().Find(u'E')->present);
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\small.asf", u"C:\\x.asf", 1)), Fails(ERROR_NOT_READY));
    DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_EQ(card.Read("DATA/big.asf"), std::string(300000, 'v'));
    EXPECT_EQ(Call(CopyFileW(u"E:\\DATA\\big.asf", u"C:\\big.asf", 1)), Succeeds()) << "the switch fires once";
}

TEST_F(FilesTest, FoldersAreCreatedAndRemovedOneLevelAtATime)
{
    EXPECT_EQ(Call(CreateDirectoryW(u"E:\\Icon", nullptr)), Succeeds());
    EXPECT_EQ(Call(CreateDirectoryW(u"E:\\ICON", nullptr)), Fails(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(Call(CreateDirectoryW(u"E:\\a\\b", nullptr)), Fails(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Call(CreateDirectoryW(u"E:\\", nullptr)), Fails(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(DirectoryExists(u"e:\\icon"));
    EXPECT_FALSE(FileExists(u"E:\\Icon"));
    EXPECT_TRUE(FileExists(u"E:\\data\\rec01.asf"));
    EXPECT_FALSE(DirectoryExists(u"E:\\data\\rec01.asf"));

    EXPECT_TRUE(ForceDirectories(u"E:\\a\\b\\\\c"));
    EXPECT_TRUE(card.Exists("a/b/c"));
    EXPECT_TRUE(ForceDirectories(u"E:\\A\\B")); // already there
    EXPECT_FALSE(ForceDirectories(u""));
    EXPECT_FALSE(ForceDirectories(u"E:\\DATA\\Rec01.ASF\\x"));

    EXPECT_EQ(Call(RemoveDirectoryW(u"E:\\A")), Fails(ERROR_DIR_NOT_EMPTY));
    EXPECT_EQ(Call(RemoveDirectoryW(u"E:\\DATA\\Rec01.ASF")), Fails(ERROR_DIRECTORY));
    EXPECT_TRUE(RemoveDir(u"E:\\A\\B\\C"));
    EXPECT_FALSE(card.Exists("a/b/c"));

    DriveTable::Instance().SetWriteProtected(u'E', true);
    EXPECT_EQ(Call(CreateDirectoryW(u"E:\\New", nullptr)), Fails(ERROR_WRITE_PROTECT));
}

TEST_F(FilesTest, MoveFileReplacesOnlyWhenAsked)
{
    card.WriteFile("Icon/Log.log", "old");
    card.WriteFile("Icon/Log.tmp", "new");
    EXPECT_EQ(Call(MoveFileW(u"E:\\Icon\\Log.tmp", u"E:\\Icon\\LOG.LOG")), Fails(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(Call(MoveFileExW(u"E:\\Icon\\Log.tmp", u"E:\\Icon\\LOG.LOG", MOVEFILE_REPLACE_EXISTING)), Succeeds());
    EXPECT_EQ(card.Read("Icon/Log.log"), "new");
    EXPECT_FALSE(card.Exists("Icon/Log.tmp"));
    EXPECT_FALSE(card.Exists("Icon/LOG.LOG"));

    card.WriteFile("Icon/ro.txt", "ro");
    card.SetReadOnly("Icon/ro.txt", true);
    card.WriteFile("Icon/x.txt", "x");
    EXPECT_EQ(Call(MoveFileExW(u"E:\\Icon\\x.txt", u"E:\\Icon\\ro.txt", MOVEFILE_REPLACE_EXISTING)),
              Fails(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(RenameFile(u"E:\\Icon\\x.txt", u"E:\\Icon\\y.txt"));
    EXPECT_EQ(card.Read("Icon/y.txt"), "x");
    EXPECT_EQ(Call(MoveFileW(u"E:\\Icon\\none", u"E:\\Icon\\z")), Fails(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, AttributesFollowTheOwnerWriteBit)
{
    EXPECT_EQ(GetFileAttributesW(u"E:\\DATA"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"E:\\DATA\\Rec01.ASF"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Call(SetFileAttributesW(u"E:\\DATA\\Rec01.ASF", FILE_ATTRIBUTE_READONLY)), Succeeds());
    EXPECT_EQ(FileGetAttr(u"E:\\DATA\\Rec01.ASF"), 0x21);
    EXPECT_EQ(FileSetAttr(u"E:\\DATA\\Rec01.ASF", 0), 0);
    EXPECT_EQ(GetFileAttributesW(u"E:\\DATA\\Rec01.ASF"), FILE_ATTRIBUTE_ARCHIVE);
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesW(u"E:\\DATA\\none"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FileGetAttr(u"E:\\none\\none"), -1);
}

TEST_F(FilesTest, OpenFileHoldsCountAndMove)
{
    OpenFileHold none(u"E:\\DATA\\missing.asf");
    EXPECT_FALSE(none.Held());
    OpenFileHold first(u"E:\\DATA\\Rec01.ASF");
    OpenFileHold second(u"E:\\DATA\\REC01.ASF");
    OpenFileHold moved(std::move(first));
    EXPECT_FALSE(first.Held());
    second.Release();
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\Rec01.ASF")), Fails(ERROR_SHARING_VIOLATION));
    moved.Release();
    EXPECT_EQ(Call(DeleteFileW(u"E:\\DATA\\Rec01.ASF")), Succeeds());
}

} // namespace

namespace {

TEST_F(FilesTest, CRuntimeOpenGoesThroughTheDriveTable)
{
    std::FILE* f = OpenCFile("e:\\data\\REC01.asf", "rb");
    ASSERT_NE(f, nullptr);
    char buf[16] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 9u);
    EXPECT_STREQ(buf, "recording");
    std::fclose(f);

    const struct {
        const char* path;
        const char* mode;
        int error;
    } rows[] = {
        {"E:\\DATA", "rb", EACCES}, // a folder
        {"E:\\DATA\\none.asf", "rb", ENOENT},
        {"Q:\\x", "rb", ENOENT},
        {"E:\\DATA\\ro.asf", "r+b", EACCES}, // read-only attribute
        {nullptr, "rb", EINVAL},
        {"E:\\DATA\\Rec01.ASF", "x", EINVAL},
    };
    card.WriteFile("DATA/ro.asf");
    card.SetReadOnly("DATA/ro.asf", true);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path ? row.path : "null");
        errno = 0;
        EXPECT_EQ(OpenCFile(row.path, row.mode), nullptr);
        EXPECT_EQ(errno, row.error);
    }
    DriveTable::Instance().SetWriteProtected(u'E', true);
    EXPECT_EQ(OpenCFile("E:\\new.txt", "wb"), nullptr);
    EXPECT_EQ(errno, EROFS);
    DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_EQ(OpenCFile("E:\\DATA\\Rec01.ASF", "rb"), nullptr);
    EXPECT_EQ(errno, ENODEV);
}

} // namespace
