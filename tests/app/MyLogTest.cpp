#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

#include "app/Globals.h"
#include "app/MyLog.h"
#include "platform/win/Clock.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageBoxResponder.h"
#include "tests/support/TempFolder.h"

namespace {

// A card as drive E: with the program folder "E:\Viewer" and its "Icon".
class MyLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(root + "/Viewer/Icon");
        win::DriveTable::Instance().Configure("E=" + root + ":removable");
        savedFolder = ProgramFolder;
        ProgramFolder = u"E:\\Viewer";
    }
    void TearDown() override
    {
        ProgramFolder = savedFolder;
        win::DriveTable::Instance().Reset();
    }

    std::string LogFile() const { return root + "/Viewer/Icon/Log.log"; }
    void WriteLogFile(const std::string& bytes) const { std::ofstream(LogFile(), std::ios::binary) << bytes; }
    std::string ReadLogFile() const
    {
        std::ifstream in(LogFile(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool LogFileExists() const { return std::filesystem::exists(LogFile()); }

    // "2024/05/06 07:08:09" plus n seconds (n below 3600).
    static std::string Stamp(int n)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "2024/05/06 07:%02d:%02d", n / 60, n % 60);
        return buf;
    }
    static std::string Lines(const std::vector<std::string>& lines)
    {
        std::string out;
        for (const auto& l : lines)
            out += l + "\r\n";
        return out;
    }

    test_support::TempFolder temp{"vm-log"};
    const std::string root = temp.Path();
    rtl::UnicodeString savedFolder;
    win::VirtualClock clock{win::ClockDateTime{2024, 5, 6, 7, 8, 9, 0}};
    win::ScopedClock useClock{clock};
};

TEST_F(MyLogTest, LinesAreStampTagAndTextAndReachTheFileWithAWarning)
{
    TMyLogModule log(nullptr);
    EXPECT_EQ(log.NextLine(), 0);
    EXPECT_EQ(log.LogPath(), u"E:\\Viewer\\Icon\\Log.log");
    log.LogDebug("start");
    log.LogInfo("info");
    EXPECT_FALSE(LogFileExists()); // debug and information lines wait in memory
    clock.Advance(1000);
    log.LogError("TPlayControl::PlayFile ERROR:boom");
    log.WriteLog("warn", 2, false);
    EXPECT_EQ(ReadLogFile(),
              "2024/05/06 07:08:09 [Debug]  start\r\n"
              "2024/05/06 07:08:09 [Info]   info\r\n"
              "2024/05/06 07:08:10 [E  R  R  O  R]   TPlayControl::PlayFile ERROR:boom\r\n"
              "2024/05/06 07:08:10 [W A R N I N G]   warn\r\n");
    EXPECT_FALSE(std::filesystem::exists(root + "/Viewer/Icon/Log.log.tmp"));
}

TEST_F(MyLogTest, LevelsOutsideTheTable)
{
    TMyLogModule log(nullptr);
    log.WriteLog("above", 7, false); // written as an error, and saved
    log.WriteLog("below", -1, false); // nothing
    EXPECT_EQ(log.LineCount(), 1);
    EXPECT_EQ(ReadLogFile(), "2024/05/06 07:08:09 [E  R  R  O  R]   above\r\n");
    EXPECT_STREQ(TMyLogModule::LevelTag(0), " [Debug]  ");
    EXPECT_STREQ(TMyLogModule::LevelTag(1), " [Info]   ");
    EXPECT_STREQ(TMyLogModule::LevelTag(2), " [W A R N I N G]   ");
    EXPECT_STREQ(TMyLogModule::LevelTag(3), " [E  R  R  O  R]   ");
}

TEST_F(MyLogTest, TheRingContinuesAfterTheNewestLineOfTheFile)
{
    // Line k of a full file gets a stamp such that line `newest` is the latest.
    const auto ring = [](int count, int newest) {
        std::vector<std::string> lines;
        for (int k = 0; k < count; ++k)
            lines.push_back(Stamp(((k - newest - 1) % count + count) % count) + " [Debug]  line " + std::to_string(k));
        return lines;
    };
    auto withLines = [](std::vector<std::string> lines, std::initializer_list<std::pair<int, std::string>> edits) {
        for (const auto& [i, text] : edits)
            lines[static_cast<size_t>(i)] = text;
        return lines;
    };
    const struct {
        const char* name;
        std::vector<std::string> lines;
        int next;
    } rows[] = {
        {"newest on 299", ring(300, 299), 0},
        {"newest on 120", ring(300, 120), 121},
        {"newest on 0", ring(300, 0), 1},
        {"partial ring", ring(50, 49), 50},
        {"same stamp: the later line wins",
         {Stamp(5) + " [Debug]  a", Stamp(5) + " [Debug]  b", Stamp(1) + " [Debug]  c"},
         2},
        {"short lines never count", {"short", "", Stamp(3) + " x", "9999"}, 3},
        {"only short lines keep line 0", {"short", "", "x"}, 1},
        // A continuation line of a multi-line text sorts above every stamp;
        // only lines with a valid stamp count.
        {"continuation lines are passed over",
         withLines(ring(300, 100), {{101, "ZZZ continuation of line 100"}, {102, "2024/13/45 99:99:99 not a stamp"}}),
         101},
        {"beyond 300 lines", withLines(ring(310, 100), {{305, Stamp(3599) + " [Debug]  newest"}}), 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WriteLogFile(Lines(row.lines));
        TMyLogModule log(nullptr);
        EXPECT_EQ(log.NextLine(), row.next);
        log.CloseLog();
    }
}

TEST_F(MyLogTest, EmptyAndMissingFilesStartAtLineZeroWithoutLosingTheLine)
{
    for (bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty file" : "missing file");
        std::filesystem::remove(LogFile());
        if (empty)
            WriteLogFile("");
        TMyLogModule log(nullptr);
        EXPECT_EQ(log.NextLine(), 0);
        log.LogError("first");
        EXPECT_EQ(log.LineCount(), 1);
        EXPECT_EQ(ReadLogFile(), "2024/05/06 07:08:09 [E  R  R  O  R]   first\r\n");
    }
}

TEST_F(MyLogTest, OverwritesTheOldestLineAndWraps)
{
    const std::vector<std::string> lines = {Stamp(1) + " [Debug]  a", Stamp(9) + " [Debug]  newest",
                                            Stamp(2) + " [Debug]  oldest"};
    WriteLogFile(Lines(lines));
    TMyLogModule log(nullptr);
    ASSERT_EQ(log.NextLine(), 2);
    for (int i = 0; i < 299; ++i)
        log.LogDebug(rtl::AnsiString(std::to_string(i)));
    // 2..299 take 298 lines, the 299th goes to line 0.
    EXPECT_EQ(log.LineCount(), 300);
    EXPECT_EQ(log.NextLine(), 1);
    EXPECT_EQ(log.Line(0), u"2024/05/06 07:08:09 [Debug]  298");
    EXPECT_EQ(log.Line(1), rtl::UnicodeString(rtl::AnsiString(lines[1])));
    EXPECT_EQ(log.Line(2), u"2024/05/06 07:08:09 [Debug]  0");
    EXPECT_EQ(log.Line(299), u"2024/05/06 07:08:09 [Debug]  297");
}

TEST_F(MyLogTest, MultiLineTextIsOneRingLineAndSeveralFileLines)
{
    {
        TMyLogModule log(nullptr);
        log.LogError("first\r\nsecond");
        EXPECT_EQ(log.LineCount(), 1);
    }
    EXPECT_EQ(ReadLogFile(), "2024/05/06 07:08:09 [E  R  R  O  R]   first\r\nsecond\r\n");
    clock.Advance(1000);
    TMyLogModule next(nullptr);
    EXPECT_EQ(next.LineCount(), 2);
    EXPECT_EQ(next.NextLine(), 1); // after the stamped line, not after "second"
}

TEST_F(MyLogTest, LogMessageShowsTheBoxBeforeTheLine)
{
    win::TRecordingMessageBoxResponder boxes;
    TMyLogModule log(nullptr);
    int linesWhenShown = -1;
    boxes.QueueAnswer([&](const win::MessageBoxCall&) {
        linesWhenShown = log.LineCount();
        return win::IDOK;
    });
    log.LogMessage(rtl::AnsiString(u"ファイルのコピーが失敗しました。 ERROR:x"), 3);
    log.LogMessage("careful", 2);
    log.WriteLog("", 1, true);
    const std::vector<win::MessageBoxCall> expected = {
        {nullptr, u"ファイルのコピーが失敗しました。 ERROR:x", u"Error", win::MB_OK | win::MB_ICONERROR},
        {nullptr, u"careful", u"Warning", win::MB_OK | win::MB_ICONWARNING},
        {nullptr, u"", u"Warning", win::MB_OK | win::MB_ICONWARNING},
    };
    EXPECT_EQ(boxes.Calls(), expected);
    EXPECT_EQ(linesWhenShown, 0);
    EXPECT_EQ(log.LineCount(), 3);
}

TEST_F(MyLogTest, SavesOnlyWhileTheCardAnswersAndTheFoldersExist)
{
    TMyLogModule log(nullptr);
    win::DriveTable::Instance().SetPresent(u'E', false);
    log.LogError("while pulled");
    win::DriveTable::Instance().SetPresent(u'E', true);
    EXPECT_FALSE(LogFileExists());

    std::filesystem::remove_all(root + "/Viewer/Icon");
    log.LogError("without Icon");
    EXPECT_FALSE(std::filesystem::exists(root + "/Viewer/Icon"));

    std::filesystem::create_directories(root + "/Viewer/Icon");
    log.LogError("back");
    EXPECT_EQ(ReadLogFile(),
              "2024/05/06 07:08:09 [E  R  R  O  R]   while pulled\r\n"
              "2024/05/06 07:08:09 [E  R  R  O  R]   without Icon\r\n"
              "2024/05/06 07:08:09 [E  R  R  O  R]   back\r\n");

    ProgramFolder = u"E:\\Gone";
    log.LogError("no program folder"); // nothing raised, nothing written
    EXPECT_FALSE(std::filesystem::exists(root + "/Gone"));
}

TEST_F(MyLogTest, AFailedSaveKeepsTheOldFileAndTheLines)
{
    const std::string old = Lines({Stamp(1) + " [Debug]  old run"});
    WriteLogFile(old);
    TMyLogModule log(nullptr);
    win::DriveTable::Instance().SetWriteProtected(u'E', true);
    EXPECT_NO_THROW(log.LogError("refused"));
    EXPECT_EQ(ReadLogFile(), old);
    win::DriveTable::Instance().SetWriteProtected(u'E', false);

    // The host refuses the write part-way, as a card pulled mid-save would.
    std::string big(5000, 'x');
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_NO_THROW(log.LogError(rtl::AnsiString(big)));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(ReadLogFile(), old);
    EXPECT_FALSE(std::filesystem::exists(root + "/Viewer/Icon/Log.log.tmp"));
    EXPECT_EQ(log.LineCount(), 3);

    log.LogError("later");
    EXPECT_EQ(log.LineCount(), 4);
    EXPECT_NE(ReadLogFile().find("later"), std::string::npos);
    EXPECT_NE(ReadLogFile().find(big), std::string::npos);
}

TEST_F(MyLogTest, ClosingSavesAndLaterCallsDoNothing)
{
    {
        TMyLogModule log(nullptr);
        log.LogDebug("only debug");
        EXPECT_FALSE(LogFileExists());
        log.CloseLog();
        EXPECT_EQ(ReadLogFile(), "2024/05/06 07:08:09 [Debug]  only debug\r\n");
        EXPECT_EQ(log.LogPath(), u"");
        log.LogError("after close");
        log.CloseLog();
        EXPECT_EQ(log.LineCount(), 0);
    }
    EXPECT_EQ(ReadLogFile(), "2024/05/06 07:08:09 [Debug]  only debug\r\n");
    {
        TMyLogModule log(nullptr);
        log.LogDebug("at exit");
    } // the destructor saves
    EXPECT_NE(ReadLogFile().find("at exit"), std::string::npos);
}

TEST_F(MyLogTest, AFileWithAByteOrderMarkIsWrittenBackInItsEncoding)
{
    WriteLogFile("\xEF\xBB\xBF" + Lines({Stamp(1) + " [Debug]  \xe3\x83\xad\xe3\x82\xb0"})); // "ログ" in UTF-8
    TMyLogModule log(nullptr);
    EXPECT_EQ(log.NextLine(), 1);
    log.LogError(rtl::AnsiString(u"エラー"));
    EXPECT_EQ(ReadLogFile(),
              "\xEF\xBB\xBF" +
                  Lines({Stamp(1) + " [Debug]  \xe3\x83\xad\xe3\x82\xb0",
                         "2024/05/06 07:08:09 [E  R  R  O  R]   \xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc"}));
}

TEST_F(MyLogTest, ANewFileIsCodePage932WithoutAMark)
{
    TMyLogModule log(nullptr);
    log.LogError(rtl::AnsiString(u"ログ"));
    EXPECT_EQ(ReadLogFile(), "2024/05/06 07:08:09 [E  R  R  O  R]   \x83\x8d\x83\x4f\r\n");
}

TEST_F(MyLogTest, LogThreadSafetyOfTwoWriters)
{
    TMyLogModule log(nullptr);
    auto writer = [&](const char* who) {
        for (int i = 0; i < 400; ++i) {
            if (i % 50 == 0)
                log.LogError(rtl::AnsiString(who));
            else
                log.LogDebug(rtl::AnsiString(who));
        }
    };
    std::thread ui(writer, "ui"), worker(writer, "worker");
    ui.join();
    worker.join();
    EXPECT_EQ(log.LineCount(), 300);
    EXPECT_EQ(log.NextLine(), 800 % 300);
    log.CloseLog();
    // The file is whole: 300 lines, each a stamp, a tag and one writer's name.
    std::istringstream in(ReadLogFile());
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        ++count;
        EXPECT_TRUE(line.ends_with(" ui\r") || line.ends_with(" worker\r")) << line;
    }
    EXPECT_EQ(count, 300);
}

} // namespace
