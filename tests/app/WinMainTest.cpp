// The program entry: the single-instance attempts on the virtual clock, the
// write test, the stored password and the first window, the creation order
// and its reverse at the end, and the ways a start-up ends early.
#include "app/WinMain.h"

#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "app/PassChange.h"
#include "app/PassInput.h"
#include "app/PasswordScramble.h"
#include "app/ProgBar.h"
#include "mainwindow/FileSearch.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MAIN.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/Files.h"
#include "playback/VideoView.h"
#include "recorder/TimerSet.h"
#include "tracks/GraphView.h"
#include "tracks/MapView.h"

#include "AppCard.h"
#include "tests/support/FifoGuard.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using app_test::AppCard;
using app_test::Hex;

const std::vector<std::string> kCreationOrder = {
    "MyLogModule", "MainForm",    "PassWordInput", "SDDlg",    "ProgForm",   "TimeSet",
    "FormSearch",  "PlayControl", "ListControl",   "PWChange", "MapControl", "GraphControl",
};

std::vector<std::string> Reversed(std::vector<std::string> v) { return {v.rbegin(), v.rend()}; }

// Whether a mutex of that name exists now (another handle holds it).
bool MutexHeld()
{
    win::HANDLE probe = win::CreateMutex(nullptr, false, kInstanceMutexName);
    const bool existed = probe && win::GetLastError() == win::ERROR_ALREADY_EXISTS;
    if (probe)
        win::CloseHandle(probe);
    return existed;
}

// Told when a watched component is destroyed.
class DestroyRecorder : public TComponent {
public:
    DestroyRecorder() : TComponent(nullptr) {}
    std::map<const TComponent*, std::string> names;
    std::vector<std::string> destroyed;
    std::function<void(const std::string&)> onDestroy;

    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation != opRemove)
            return;
        const auto it = names.find(component);
        if (it == names.end())
            return;
        destroyed.push_back(it->second);
        if (onDestroy)
            onDestroy(it->second);
    }
};

// Records the creation order and watches every object's end.
class CreationRecorder : public TStartupObserver {
public:
    CreationRecorder() : previous_(SetStartupObserver(this)) {}
    ~CreationRecorder() override { SetStartupObserver(previous_); }

    std::vector<std::string> created;
    DestroyRecorder destroyedBy;
    std::function<void(const std::string&)> afterCreate;

    void Created(TComponent* component) override
    {
        const std::string name =
            dynamic_cast<TMyLogModule*>(component) ? "MyLogModule" : TestDriver::Utf8(component->Name());
        created.push_back(name);
        destroyedBy.names[component] = name;
        component->FreeNotification(&destroyedBy);
        if (afterCreate)
            afterCreate(name);
    }

private:
    TStartupObserver* previous_;
};

class WinMainTest : public ::testing::Test {
protected:
    WinMainTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
    }

    static void ExpectNoWindowLeft()
    {
        EXPECT_EQ(Application->ComponentCount(), 0);
        EXPECT_EQ(MyLogModule, nullptr);
        EXPECT_EQ(MainForm, nullptr);
        EXPECT_EQ(PassWordInput, nullptr);
        EXPECT_EQ(SDDlg, nullptr);
        EXPECT_EQ(ProgForm, nullptr);
        EXPECT_EQ(TimeSet, nullptr);
        EXPECT_EQ(FormSearch, nullptr);
        EXPECT_EQ(PlayControl, nullptr);
        EXPECT_EQ(ListControl, nullptr);
        EXPECT_EQ(PWChange, nullptr);
        EXPECT_EQ(MapControl, nullptr);
        EXPECT_EQ(GraphControl, nullptr);
        EXPECT_FALSE(MutexHeld());
    }

    AppCard card;
    TApplication app;
    TestDriver driver;
};

TEST_F(WinMainTest, CreatesEveryWindowInOrderRunsAndEndsInReverse)
{
    CreationRecorder recorder;
    bool mutexHeldAtLogEnd = false;
    recorder.destroyedBy.onDestroy = [&](const std::string& name) {
        if (name == "MyLogModule")
            mutexHeldAtLogEnd = MutexHeld();
    };
    driver.Then([&] {
        EXPECT_EQ(Application->Title(), UnicodeString(u"Velmorastine II  V05A01"));
        EXPECT_EQ(ProgramFolder, UnicodeString(u"E:\\"));
        EXPECT_EQ(ProgramDrive, 'E');
        EXPECT_EQ(ViewingAllowed, 1);
        ASSERT_NE(MainForm, nullptr);
        EXPECT_EQ(Application->MainForm(), MainForm);
        EXPECT_TRUE(MainForm->Visible());
        ASSERT_NE(PassWordInput, nullptr);
        EXPECT_FALSE(PassWordInput->Visible());
        EXPECT_EQ(PassWordInput->FExpectedPassword, AnsiString());
        for (TComponent* c : {static_cast<TComponent*>(MyLogModule), static_cast<TComponent*>(SDDlg),
                              static_cast<TComponent*>(ProgForm), static_cast<TComponent*>(TimeSet),
                              static_cast<TComponent*>(FormSearch), static_cast<TComponent*>(PlayControl),
                              static_cast<TComponent*>(ListControl), static_cast<TComponent*>(PWChange),
                              static_cast<TComponent*>(MapControl), static_cast<TComponent*>(GraphControl)})
            EXPECT_NE(c, nullptr);
        EXPECT_FALSE(SDDlg->Visible());
        EXPECT_FALSE(ProgForm->Visible());
        EXPECT_FALSE(TimeSet->Visible());
        EXPECT_TRUE(MutexHeld());
        EXPECT_FALSE(card.Exists("Icon/.rd"));
        // The card's decoder is installed and the media graph stands.
        EXPECT_TRUE(card.Decoder().DecoderRegistered());
        EXPECT_TRUE(PlayControl && PlayControl->MediaControl);
        CloseProgramWindows();
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    // The own installation is removed at the end.
    EXPECT_FALSE(card.Decoder().DecoderRegistered());

    EXPECT_EQ(recorder.created, kCreationOrder);
    EXPECT_EQ(recorder.destroyedBy.destroyed, Reversed(kCreationOrder));
    // The mutex outlived the windows and the saved log.
    EXPECT_TRUE(mutexHeldAtLogEnd);
    ExpectNoWindowLeft();

    const std::string log = card.Read("Icon/Log.log");
    EXPECT_NE(log.find(" [Debug]  ================================== Application [Velmorastine] START!  "
                       "(App Path:E:\\)========================\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Application [Velmorastine] END!"), std::string::npos) << log;
    EXPECT_NE(log.find("TPassWordInput::~TPassWordInput() END"), std::string::npos);
    EXPECT_TRUE(driver.Boxes().empty());
}

TEST_F(WinMainTest, StoredPasswordDecidesTheFirstWindow)
{
    struct Case {
        const char* name;
        const char* file; // null: no settings file
        bool prompt;
        std::string expected;
    };
    const std::string pass = "pass";
    const Case cases[] = {
        {"no file", nullptr, false, ""},
        {"no key", "[SYSTEM]\r\nscreen=2\r\n", false, ""},
        {"empty key", "[SYSTEM]\r\np_m=\r\n", false, ""},
        {"other section", "[OTHER]\r\np_m=4142\r\n", false, ""},
        {"not hex", "[SYSTEM]\r\np_m=XYZ\r\n", false, ""},
        {"start-up marker", nullptr, true, "3804"},
        {"main-window marker", nullptr, true, "3804"},
        {"scrambled", nullptr, true, "pass"},
        {"zero byte in the scrambled form", nullptr, true, "abcd\x81\x41"},
        {"odd length", "[SYSTEM]\r\np_m=4D6F7\r\n", true, DecodePassword("Mo").str()},
    };
    const std::map<std::string, std::string> files = {
        {"start-up marker", "[SYSTEM]\r\np_m=" + Hex("MossTideFern") + "\r\n"},
        {"main-window marker", "[SYSTEM]\r\np_m=" + Hex("KelpRiftOats") + "\r\n"},
        {"scrambled", "[system]\r\nP_M=" + Hex(EncodePassword(AnsiString(pass)).str()) + "\r\n"},
        // "abcd、": the first byte of "、" (0x81) scrambles to a zero byte.
        {"zero byte in the scrambled form", "[SYSTEM]\r\np_m=" + Hex(EncodePassword("abcd\x81\x41").str()) + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(card.Host("Icon/view"));
        if (c.file)
            card.Write("Icon/view", c.file);
        else if (files.count(c.name))
            card.Write("Icon/view", files.at(c.name));

        TApplication run;
        TestDriver runDriver(run);
        runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        CreationRecorder recorder;
        // Until every window exists the prompt takes no input.
        recorder.afterCreate = [](const std::string&) {
            if (PassWordInput) {
                EXPECT_FALSE(PassWordInput->Visible());
            }
        };
        runDriver.Then([&] {
            ASSERT_NE(PassWordInput, nullptr);
            ASSERT_NE(MainForm, nullptr);
            EXPECT_EQ(PassWordInput->FExpectedPassword, AnsiString(c.expected));
            EXPECT_EQ(Application->MainForm(),
                      c.prompt ? static_cast<TCustomForm*>(PassWordInput) : static_cast<TCustomForm*>(MainForm));
            EXPECT_EQ(PassWordInput->Visible(), c.prompt);
            EXPECT_EQ(MainForm->Visible(), !c.prompt);
            EXPECT_EQ(ViewingAllowed, c.prompt ? 0 : 1);
            Application->Terminate();
        });
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
        std::vector<std::string> order = kCreationOrder;
        if (c.prompt)
            std::swap(order[1], order[2]);
        EXPECT_EQ(recorder.created, order);
        ExpectNoWindowLeft();
    }
}

TEST_F(WinMainTest, AFifoInThePlaceOfTheSettingsOrTheLogStartsAndClosesNormally)
{
    for (const char* name : {"Icon/view", "Icon/Log.log"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(card.Host(name));
        test_support::MakeFifo(card.Host(name));
        {
            test_support::FifoGuard guard({card.Host(name)});
            TApplication run;
            TestDriver runDriver(run);
            runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
            runDriver.Then([&] {
                ASSERT_NE(MainForm, nullptr);
                EXPECT_TRUE(MainForm->Visible());
                EXPECT_EQ(ViewingAllowed, 1);
                CloseProgramWindows();
            });
            EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
            EXPECT_FALSE(guard.Released()) << "the start waited for the FIFO's other end";
        }
        ExpectNoWindowLeft();
        // The log is saved as always (in place of a FIFO of that name too).
        EXPECT_NE(card.Read("Icon/Log.log").find("Application [Velmorastine] END!"), std::string::npos);
    }
}

TEST_F(WinMainTest, TheNextStartRemovesTheTemporaryOfAKilledSettingsWrite)
{
    // What a kill between writing the new settings and renaming them leaves:
    // the temporary of a process that no longer runs.
    const pid_t dead = fork();
    ASSERT_GE(dead, 0);
    if (dead == 0)
        _exit(0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    const std::string stale = "Icon/view.tmp." + std::to_string(dead) + ".0";
    card.Write(stale, "[SYSTEM]\r\n");
    // A writer that still runs keeps its own.
    const std::string live = "Icon/view.tmp." + std::to_string(getppid()) + ".7";
    card.Write(live, "");

    driver.Then([] { CloseProgramWindows(); });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_FALSE(card.Exists(stale));
    EXPECT_TRUE(card.Exists(live));
    EXPECT_NE(card.Read("Icon/view").find("VIEWER_VER"), std::string::npos);
}

TEST_F(WinMainTest, PromptAcceptsOnlyThePasswordAndEscapeEnds)
{
    card.Write("Icon/view", "[SYSTEM]\r\np_m=" + Hex(EncodePassword("pass").str()) + "\r\n");
    driver.Then(
        [&] {
            driver.Type(u"PassWordInput", u"Edit1", u"nope");
            driver.PressKey(*PassWordInput->Edit1, VK_RETURN);
            EXPECT_TRUE(PassWordInput->Visible());
            EXPECT_FALSE(MainForm->Visible());
            EXPECT_EQ(ViewingAllowed, 0);
            EXPECT_EQ(PassWordInput->Edit1->SelLength(), 4);
            PassWordInput->Edit1->SetText(u"");
        },
        "wrong password");
    driver.Then(
        [&] {
            EXPECT_EQ(SDDlg->Line2Label->Caption(), UnicodeString(u"パスワードが違います。"));
            driver.Click(*SDDlg->OKSDLabel);
        },
        "message 13");
    driver.Then(
        [&] {
            driver.Type(u"PassWordInput", u"Edit1", u"pass");
            EXPECT_TRUE(driver.Click(u"PassWordInput", u"ButtonOK"));
            EXPECT_FALSE(PassWordInput->Visible());
            EXPECT_TRUE(MainForm->Visible());
            EXPECT_EQ(ViewingAllowed, 1);
            // The prompt's own window is closed: the program ends.
            CloseProgramWindows();
        },
        "right password");
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(driver.PendingSteps(), 0);
    ExpectNoWindowLeft();

    TApplication second;
    TestDriver secondDriver(second);
    secondDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
    secondDriver.Then([&] { secondDriver.PressKey(*PassWordInput->Edit1, VK_ESCAPE); }, "escape");
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(secondDriver.PendingSteps(), 0);
    EXPECT_EQ(ViewingAllowed, 0);
    ExpectNoWindowLeft();
}

TEST_F(WinMainTest, AnotherInstanceKeepsTheMutexForEightySteps)
{
    win::HANDLE other = win::CreateMutex(nullptr, false, kInstanceMutexName);
    ASSERT_NE(other, nullptr);
    driver.AnswerBox(win::IDOK);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(
        driver.Boxes()[0],
        (win::MessageBoxCall{nullptr, u"ビューワは既に起動しています。", u"Error", win::MB_OK | win::MB_ICONERROR}));
    // 80 attempts, 100 ms after each.
    EXPECT_EQ(driver.Clock().ElapsedMs(), 8000u);
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_FALSE(card.Exists("Icon/Log.log"));
    // Only the other instance's handle is left.
    EXPECT_TRUE(MutexHeld());
    win::CloseHandle(other);
    EXPECT_FALSE(MutexHeld());
}

// The virtual clock, with the other instance ending after a given time.
class EndingInstanceClock : public win::Clock {
public:
    EndingInstanceClock(win::VirtualClock& inner, win::HANDLE& other, std::uint64_t endsAtMs)
        : inner_(inner), other_(other), endsAt_(endsAtMs)
    {
    }
    win::ClockDateTime Now() override { return inner_.Now(); }
    std::uint64_t MonotonicMs() override { return inner_.MonotonicMs(); }
    void Sleep(std::uint32_t ms) override
    {
        inner_.Sleep(ms);
        if (other_ && inner_.ElapsedMs() >= endsAt_) {
            win::CloseHandle(other_);
            other_ = nullptr;
        }
    }
    bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint64_t deadlineMs,
                   const std::function<bool()>& ready) override
    {
        return inner_.WaitUntil(cv, lock, deadlineMs, ready);
    }

private:
    win::VirtualClock& inner_;
    win::HANDLE& other_;
    std::uint64_t endsAt_;
};

TEST_F(WinMainTest, AnInstanceThatEndsWithinTheAttemptsLetsThisOneStart)
{
    struct Case {
        std::uint64_t endsAtMs;
        bool starts;
    };
    const Case cases[] = {{100, true}, {3000, true}, {7900, true}, {8000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.endsAtMs);
        win::HANDLE other = win::CreateMutex(nullptr, false, kInstanceMutexName);
        ASSERT_NE(other, nullptr);
        win::VirtualClock virtualClock;
        EndingInstanceClock clock(virtualClock, other, c.endsAtMs);
        win::ScopedClock installed(clock);
        TApplication run;
        TestDriver runDriver(run, &virtualClock);
        runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        // The clock when the first window is made: the waiting is over then
        // (the start-up after it sleeps on the same clock).
        std::optional<std::uint64_t> firstWindowMs;
        CreationRecorder recorder;
        recorder.afterCreate = [&](const std::string&) {
            if (!firstWindowMs)
                firstWindowMs = virtualClock.ElapsedMs();
        };
        bool started = false;
        if (c.starts)
            runDriver.Then([&] {
                started = true;
                Application->Terminate();
            });
        else
            runDriver.AnswerBox(win::IDOK);
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
        EXPECT_EQ(started, c.starts);
        EXPECT_EQ(runDriver.Boxes().size(), c.starts ? 0u : 1u);
        // The waiting stops when the other instance is gone.
        if (c.starts) {
            EXPECT_EQ(firstWindowMs, std::optional<std::uint64_t>(c.endsAtMs));
        } else {
            EXPECT_FALSE(firstWindowMs.has_value());
            EXPECT_EQ(virtualClock.ElapsedMs(), 8000u);
        }
        if (other)
            win::CloseHandle(other);
        EXPECT_FALSE(MutexHeld());
    }
}

TEST_F(WinMainTest, WriteTestOfTheIconFolder)
{
    struct Case {
        const char* name;
        bool leftover;
        bool leftoverReadOnly;
        bool writeProtected;
        bool removeIcon;
        bool passes;
    };
    const Case cases[] = {
        {"plain folder", false, false, false, false, true},
        {"leftover .rd", true, false, false, false, true},
        {"read-only leftover", true, true, false, false, false},
        {"write-protected card", false, false, true, false, false},
        {"no Icon folder", false, false, false, true, false},
    };
    ProgramFolder = u"E:\\";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::create_directories(card.Host("Icon"));
        if (c.leftover)
            card.Write("Icon/.rd", "");
        if (c.leftoverReadOnly)
            ::chmod(card.Host("Icon/.rd").c_str(), 0444);
        if (c.removeIcon)
            std::filesystem::remove_all(card.Host("Icon"));
        win::DriveTable::Instance().SetWriteProtected(u'E', c.writeProtected);

        EXPECT_EQ(CanWriteIconFolder(), c.passes);
        // A passing test leaves no ".rd" behind.
        if (c.passes) {
            EXPECT_FALSE(card.Exists("Icon/.rd"));
        }

        win::DriveTable::Instance().SetWriteProtected(u'E', false);
        if (card.Exists("Icon/.rd")) {
            ::chmod(card.Host("Icon/.rd").c_str(), 0644);
            std::filesystem::remove(card.Host("Icon/.rd"));
        }
    }
}

TEST(WinMainWriteTest, AFailedWriteTestEndsBeforeAnyWindowOrLog)
{
    for (const char16_t letter : {u'E', u'D'}) {
        SCOPED_TRACE(static_cast<char>(letter));
        AppCard card(letter, false);
        TApplication app;
        TestDriver driver;
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        driver.AnswerBox(win::IDOK);
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

        const std::u16string text = std::u16string(u"ドライブ（") + letter + u"：内）の書き込みに失敗しました。";
        ASSERT_EQ(driver.Boxes().size(), 1u);
        EXPECT_EQ(driver.Boxes()[0],
                  (win::MessageBoxCall{Application->Handle(), text, u"Error", win::MB_OK | win::MB_ICONWARNING}));
        EXPECT_EQ(ProgramDrive, static_cast<char>(letter));
        EXPECT_EQ(Application->ComponentCount(), 0);
        EXPECT_FALSE(card.Exists("Icon"));
        EXPECT_FALSE(MutexHeld());
    }
}

TEST_F(WinMainTest, ProgramFolderBelowTheRoot)
{
    std::filesystem::create_directories(card.Host("Viewer/Icon"));
    card.AddDecoderFolder("Viewer");
    ASSERT_TRUE(win::SetCurrentDirectoryPath(u"E:\\Viewer"));
    driver.Then([&] {
        EXPECT_EQ(ProgramFolder, UnicodeString(u"E:\\Viewer"));
        Application->Terminate();
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_NE(card.Read("Viewer/Icon/Log.log").find("(App Path:E:\\Viewer)====="), std::string::npos);
}

TEST_F(WinMainTest, TerminationDuringAWindowsCreationStillCreatesTheRest)
{
    CreationRecorder recorder;
    // As a failed media graph start asks the application to end.
    recorder.afterCreate = [](const std::string& name) {
        if (name == "PlayControl")
            Application->Terminate();
    };
    // No step queued: the loop must end at once, without waiting.
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(recorder.created, kCreationOrder);
    EXPECT_EQ(recorder.destroyedBy.destroyed, Reversed(kCreationOrder));
    ExpectNoWindowLeft();
}

TEST(WinMainDecoderTest, ACardWithoutTheDecoderEndsTheStartWithItsMessages)
{
    AppCard card(u'E', true, false);
    TApplication app;
    TestDriver driver;
    driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
    driver.AnswerBox(win::IDOK);
    driver.AnswerBox(win::IDOK);
    CreationRecorder recorder;
    // The failed graph start asks the application to end: no step is needed.
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

    const std::vector<win::MessageBoxCall> expected = {
        {app.Handle(), u"File(E:\\\\ffdshow\\ffdshow.ax) is not existing.", u"Warning",
         win::MB_OK | win::MB_ICONWARNING},
        {app.Handle(), u"ビューワ初期化に失敗しました。【ｴﾗｰ番号：1001】", u"Error", win::MB_OK | win::MB_ICONERROR},
    };
    EXPECT_EQ(driver.Boxes(), expected);
    // Every window is still made and ended, and nothing was registered or started.
    EXPECT_EQ(recorder.created, kCreationOrder);
    EXPECT_EQ(recorder.destroyedBy.destroyed, Reversed(kCreationOrder));
    EXPECT_FALSE(card.Decoder().DecoderRegistered());
    EXPECT_TRUE(card.Decoder().Starts().empty());
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_FALSE(MutexHeld());
}

TEST_F(WinMainTest, AnExceptionDuringCreationShowsTheBoxAndEnds)
{
    struct Case {
        const char* name;
        std::function<void()> raise;
        std::u16string text;
    };
    const Case cases[] = {
        {"framework exception", [] { throw Exception(u"Graph broken"); }, u"Graph broken."},
        {"any other", [] { throw 42; }, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TApplication run;
        TestDriver runDriver(run);
        runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        runDriver.AnswerBox(win::IDOK);
        CreationRecorder recorder;
        recorder.afterCreate = [&](const std::string& name) {
            if (name == "PlayControl")
                c.raise();
        };
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
        ASSERT_EQ(runDriver.Boxes().size(), 1u);
        EXPECT_EQ(runDriver.Boxes()[0].text, c.text);
        EXPECT_EQ(runDriver.Boxes()[0].caption, u"Velmorastine II  V05A01");
        const std::vector<std::string> upToFailure(kCreationOrder.begin(), kCreationOrder.begin() + 8);
        EXPECT_EQ(recorder.created, upToFailure);
        EXPECT_EQ(recorder.destroyedBy.destroyed, Reversed(upToFailure));
        ExpectNoWindowLeft();
    }
}

} // namespace
