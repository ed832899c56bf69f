// ShellExecuteA: the request it makes of the process starter, and the host
// starter's resolution and detached start.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "platform/rtl/CodePage.h"
#include "platform/win/ProcessStarter.h"
#include "platform/win/RecordingProcessStarter.h"
#include "platform/win/ShellExecute.h"
#include "tests/support/TempFolder.h"

using namespace win;
namespace fs = std::filesystem;

namespace {

TEST(SplitCommandLineTest, FollowsTheWindowsRuntimeRules)
{
    struct Case {
        const char16_t* line;
        std::vector<std::u16string> args;
    };
    const Case cases[] = {
        {u"", {}},
        {u"  \t ", {}},
        {u"/s \"E:\\APP\\ffdshow.ax\"", {u"/s", u"E:\\APP\\ffdshow.ax"}},
        {u"/s /u \"E:\\My App\\ffdshow.ax\"", {u"/s", u"/u", u"E:\\My App\\ffdshow.ax"}},
        {u"E:\\Viewer", {u"E:\\Viewer"}},
        {u"E:\\", {u"E:\\"}},
        {u"a\\\\b c", {u"a\\\\b", u"c"}}, // backslashes before no quote stay
        {u"\"a\\\\\" b", {u"a\\", u"b"}}, // 2n backslashes + quote: n, quote closes
        {u"a\\\"b", {u"a\"b"}}, // 2n+1: n and a literal quote
        {u"\"a \"\"quoted\"\" word\"", {u"a \"quoted\" word"}},
        {u"\"\"", {u""}},
        {u"x\"y z\"w", {u"xy zw"}},
        {u"\"unterminated arg", {u"unterminated arg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rtl::Utf16ToUtf8(c.line));
        EXPECT_EQ(SplitCommandLine(c.line), c.args);
    }
}

TEST(ShellExecuteTest, HandsTheSplitRequestToTheStarter)
{
    RecordingProcessStarter recorder;
    ScopedProcessStarter scope(recorder);
    std::string params = "/s \"" + rtl::Utf16ToCp932(u"E:\\ビューワ\\ffdshow") + "\\ffdshow.ax\"";
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, "regsvr32", params.c_str(), nullptr, SW_SHOW);
    EXPECT_EQ(ShellExecuteResult(result), SE_RESULT_STARTED);
    ASSERT_EQ(recorder.Requests().size(), 1u);
    ProcessStartRequest expected{u"regsvr32",
                                 u"/s \"E:\\ビューワ\\ffdshow\\ffdshow.ax\"",
                                 {u"/s", u"E:\\ビューワ\\ffdshow\\ffdshow.ax"},
                                 u"",
                                 SW_SHOW};
    EXPECT_EQ(recorder.Requests()[0], expected);

    recorder.SetResult(SE_ERR_FNF);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, "open", "x", nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
}

TEST(ShellExecuteTest, BadArgumentsStartNothing)
{
    RecordingProcessStarter recorder;
    ScopedProcessStarter scope(recorder);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, nullptr, nullptr, nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, nullptr, "", nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, "print", "regsvr32", nullptr, nullptr, SW_SHOW)),
              SE_ERR_NOASSOC);
    EXPECT_TRUE(recorder.Requests().empty());
}

class HostStarterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("VELMORASTINE_TOOLS");
        if (old != nullptr)
            saved = old, hadTools = true;
        setenv("VELMORASTINE_TOOLS", folder.c_str(), 1);
    }
    void TearDown() override
    {
        if (hadTools)
            setenv("VELMORASTINE_TOOLS", saved.c_str(), 1);
        else
            unsetenv("VELMORASTINE_TOOLS");
    }
    void WriteTool(const std::string& text, fs::perms perms)
    {
        std::ofstream(folder + "/regsvr32") << text;
        fs::permissions(folder + "/regsvr32", perms);
    }
    test_support::TempFolder temp{"starter-test"};
    const std::string folder = temp.Path();
    std::string saved;
    bool hadTools = false;
};

TEST_F(HostStarterTest, ResolvesOurToolAndTheProgramsOwnName)
{
    int error = -1;
    EXPECT_EQ(HostProcessStarter::ResolveProgram(u"regsvr32", error), "");
    EXPECT_EQ(error, SE_ERR_FNF);
    WriteTool("#!/bin/sh\n", fs::perms::owner_all);
    EXPECT_EQ(HostProcessStarter::ResolveProgram(u"REGSVR32.EXE", error), folder + "/regsvr32");
    EXPECT_EQ(error, 0);
    EXPECT_EQ(HostProcessStarter::ResolveProgram(u"Velmorastine II.exe", error),
              fs::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(error, 0);
}

// The one test that starts a real process: a tool that writes its arguments
// to a file. The start returns at once; the test then polls for the file.
TEST_F(HostStarterTest, StartsDetachedWithTheArgumentsAndTheEnvironment)
{
    WriteTool("#!/bin/sh\nprintf '%s|' \"$@\" \"$STARTER_TEST\" \"$(grep '^SigBlk' /proc/$$/status | cut -f2)\""
              " \"$(cut -d' ' -f6 /proc/$$/stat)\""
              " > \"$VELMORASTINE_TOOLS/out.tmp\"\n"
              "mv \"$VELMORASTINE_TOOLS/out.tmp\" \"$VELMORASTINE_TOOLS/out\"\n",
              fs::perms::owner_all);
    setenv("STARTER_TEST", "inherited", 1);
    // The program blocks its stop signals; what it starts must not.
    sigset_t stop, before;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, &before);
    HINSTANCE r = ShellExecuteA(nullptr, nullptr, "regsvr32", "/s \"a b\\c\" $HOME;x", nullptr, SW_SHOW);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    unsetenv("STARTER_TEST");
    EXPECT_GT(ShellExecuteResult(r), 32);
    std::string out;
    for (int i = 0; i < 500 && out.empty(); ++i) {
        std::ifstream in(folder + "/out");
        out.assign(std::istreambuf_iterator<char>(in), {});
        if (out.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // No shell saw the parameters: $HOME and ";" arrive as they were written.
    // It runs in a session of its own, which its process leads.
    const std::string session = out.substr(out.rfind('|', out.size() - 2) + 1);
    EXPECT_EQ(out.substr(0, out.size() - session.size()), "/s|a b\\c|$HOME;x|inherited|0000000000000000|");
    EXPECT_NE(session, std::to_string(getsid(0)) + "|");
}

TEST_F(HostStarterTest, AToolThatCannotRunGivesTheWindowsCodes)
{
    WriteTool("not a program", fs::perms::owner_all);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, nullptr, "regsvr32", "", nullptr, SW_SHOW)), SE_ERR_BADFORMAT);
    WriteTool("#!/bin/sh\n", fs::perms::owner_read);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, nullptr, "regsvr32", "", nullptr, SW_SHOW)), SE_ERR_FNF);
}

} // namespace
