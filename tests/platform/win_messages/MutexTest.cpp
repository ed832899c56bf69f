// The named mutex inside one process and across processes (forked children),
// and the handles it lives in.
#include "platform/win/win.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// What a child reports through its exit status.
enum ChildResult { kFresh = 10, kExisted = 11, kFailed = 12 };

int ProbeResult(const char16_t* name)
{
    HANDLE h = CreateMutexW(nullptr, 0, name);
    if (!h)
        return kFailed;
    const DWORD error = GetLastError();
    CloseHandle(h);
    return error == ERROR_ALREADY_EXISTS ? kExisted : error == ERROR_SUCCESS ? kFresh : kFailed;
}

// Runs ProbeResult in a forked child and returns its answer.
int ProbeInChild(const char16_t* name)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(ProbeResult(name));
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class WinMutex : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vm-mutex-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        win::detail::SetMutexFolder(folder_);
    }
    void TearDown() override
    {
        win::detail::SetMutexFolder("");
        std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    std::string folder_;
};

TEST_F(WinMutex, BadHandlesAndOwnership)
{
    SetLastError(0);
    EXPECT_EQ(CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x77))), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    SetLastError(0);
    EXPECT_EQ(ReleaseMutex(nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    HANDLE notOwned = CreateMutexW(nullptr, 0, u"Plain");
    ASSERT_NE(notOwned, nullptr);
    SetLastError(0);
    EXPECT_EQ(ReleaseMutex(notOwned), 0);
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    EXPECT_TRUE(CloseHandle(notOwned));
    EXPECT_EQ(CloseHandle(notOwned), 0); // closed already

    HANDLE owned = CreateMutexW(nullptr, 1, nullptr);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(ReleaseMutex(owned), 1);
    EXPECT_EQ(ReleaseMutex(owned), 0);
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    CloseHandle(owned);
}

TEST_F(WinMutex, MissingFolderGivesNoHandle)
{
    win::detail::SetMutexFolder(folder_ + "/missing");
    SetLastError(0);
    EXPECT_EQ(CreateMutexW(nullptr, 0, u"MUX_Velmorastine"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(WinMutex, NameExistsWhileAnyHandleInTheProcessIsOpen)
{
    HANDLE first = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateMutexA(nullptr, 0, "MUX_Velmorastine");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(first, second);
    // Names are case-sensitive, as kernel object names are.
    HANDLE other = CreateMutexW(nullptr, 0, u"mux_velmorastine");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(other);

    CloseHandle(first);
    HANDLE third = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS); // `second` still holds it
    CloseHandle(second);
    CloseHandle(third);
    HANDLE fresh = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(fresh);
}

TEST_F(WinMutex, AnotherProcessSeesTheNameUntilItIsClosed)
{
    HANDLE mine = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(ProbeInChild(u"MUX_Velmorastine"), kExisted);
    EXPECT_EQ(ProbeInChild(u"Another name ビューワ"), kFresh);
    CloseHandle(mine);
    EXPECT_EQ(ProbeInChild(u"MUX_Velmorastine"), kFresh);
}

TEST_F(WinMutex, NameIsReleasedWhenTheHoldingProcessEndsWithoutClosing)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        HANDLE h = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
        char c = h ? 'y' : 'n';
        if (::write(ready[1], &c, 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause(); // killed below, the handle still open
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(c, 'y');

    HANDLE probe = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(probe);

    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    probe = CreateMutexW(nullptr, 0, u"MUX_Velmorastine");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(probe);
}

} // namespace
