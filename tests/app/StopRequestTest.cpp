// The stop request from outside (what a stop signal or the end of input
// posts) during the list's long operations: the operation stops as its stop
// button would, nothing asks, and the whole program ends as after a
// confirmed close, its log saved.
#include "app/WinMain.h"

#include "app/Dlg.h"
#include "app/ProgBar.h"
#include "mainwindow/FileList.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MAIN.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageWindow.h"
#include "tests/support/TempFolder.h"
#include "tools/asfwriter/SampleRecording.h"

#include "AppCard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using app_test::AppCard;

constexpr win::UINT kStopRequest = win::WM_APP + 60;
constexpr win::UINT kCloseBox = win::WM_APP + 61;
const std::string kCloseQuestion = rtl::ToUtf8(SDMessageFor(23, UnicodeString()).Text);

class StopRequestTest : public ::testing::Test, public TStartupObserver {
protected:
    StopRequestTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        previous_ = SetStartupObserver(this);
        win::DriveTable::Instance().SetDrive(u'C', pc.Path());
    }
    ~StopRequestTest() override
    {
        SetStartupObserver(previous_);
        win::DriveTable::Instance().Forget(u'C');
    }

    // Small playable recordings in "DATA", one a minute from 09:00.
    void WriteRecordings(int count)
    {
        asfwriter::SampleOptions o;
        o.seconds = 1;
        o.framesPerSecond = 2;
        o.width = 64;
        o.height = 48;
        o.distinctFrames = 1;
        o.day = 17;
        for (int i = 0; i < count; ++i) {
            o.hour = 9 + i / 60;
            o.minute = i % 60;
            const std::string name = "DATA/R" + std::to_string(100 + i) + ".ASF";
            asfwriter::WriteSampleRecording(card.Host(name), o);
            recordings.push_back(name);
        }
    }

    // The progress window's next show posts the stop request, so it arrives
    // at the operation's first progress step. Every question is recorded.
    void Created(TComponent* component) override
    {
        if (component == ProgForm) {
            auto shown = ProgForm->OnShow;
            ProgForm->OnShow = [this, shown](TObject* sender) {
                if (shown)
                    shown(sender);
                if (stopAtNextProgress) {
                    stopAtNextProgress = false;
                    win::PostMessage(stopper.Handle(), closeBoxFirst ? kCloseBox : kStopRequest, 0, 0);
                }
            };
            auto hidden = ProgForm->OnHide;
            ProgForm->OnHide = [this, hidden](TObject* sender) {
                if (hidden)
                    hidden(sender);
                abortWhenHidden.push_back(ProgForm->FAbort);
            };
        } else if (component == SDDlg) {
            auto shown = SDDlg->OnShow;
            SDDlg->OnShow = [this, shown](TObject* sender) {
                if (shown)
                    shown(sender);
                questions.push_back(rtl::ToUtf8(SDDlg->Line2Label->Caption()));
            };
        }
    }

    int RowCount() const { return ListControl ? ListControl->ListView1->Items()->Count() : -1; }

    std::string Log() const { return card.Read("Icon/Log.log"); }

    void ExpectEndedAsAfterAConfirmedClose()
    {
        const std::string log = Log();
        EXPECT_NE(log.find("Application [Velmorastine] END!"), std::string::npos) << log;
        EXPECT_NE(log.find("TMainForm::~TMainForm() END"), std::string::npos) << log;
        EXPECT_EQ(MainForm, nullptr);
        EXPECT_EQ(Application->ComponentCount(), 0);
    }

    AppCard card;
    test_support::TempFolder pc{"stop-request-pc"};
    TApplication app;
    TestDriver driver;
    std::vector<std::string> recordings;
    bool stopAtNextProgress = false;
    std::vector<int> abortWhenHidden;
    std::vector<std::string> questions;
    bool closeBoxFirst = false;
    // As the stop watch: the request comes as a posted message; so does a
    // close from the display.
    win::TMessageWindow stopper{[](win::TMessage& m) {
        if (m.Msg == kStopRequest)
            StopProgram();
        else if (m.Msg == kCloseBox)
            MainForm->Close();
    }};

private:
    TStartupObserver* previous_ = nullptr;
};

TEST_F(StopRequestTest, DuringTheScanStopsItAndEndsWithoutAsking)
{
    struct Case {
        const char* name;
        // The close box first: the stop request comes while it asks.
        bool closeBoxFirst;
    };
    const Case cases[] = {{"stop request", false}, {"stop request while the close box asks", true}};
    WriteRecordings(30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TApplication run;
        TestDriver runDriver(run);
        runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        questions.clear();
        abortWhenHidden.clear();
        closeBoxFirst = c.closeBoxFirst;
        stopAtNextProgress = true;
        // The start's scan runs at the message loop's first turn.
        if (c.closeBoxFirst)
            runDriver.Then([&] { win::PostMessage(stopper.Handle(), kStopRequest, 0, 0); }, "message 23");
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

        EXPECT_EQ(runDriver.PendingSteps(), 0);
        EXPECT_EQ(questions, c.closeBoxFirst ? std::vector<std::string>{kCloseQuestion} : std::vector<std::string>{});
        // Stopped at its first report (the tenth name), as its abort flag does.
        EXPECT_EQ(ScanFileCount, 10u);
        EXPECT_EQ(abortWhenHidden, std::vector<int>{1});
        ExpectEndedAsAfterAConfirmedClose();
    }
}

TEST_F(StopRequestTest, DuringACopyOrADeleteStopsItAndEndsWithoutAsking)
{
    struct Case {
        const char* name;
        bool copy;
        // Messages answered yes before the operation runs.
        int confirmations;
    };
    const Case cases[] = {
        {"copy", true, 0}, {"delete", false, 1}, // "delete the ticked recordings?"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TApplication run;
        TestDriver runDriver(run);
        runDriver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        fs::remove_all(card.Host("DATA"));
        fs::create_directories(card.Host("DATA"));
        fs::remove_all(pc.Path() + "/Backup");
        fs::create_directories(pc.Path() + "/Backup");
        recordings.clear();
        WriteRecordings(3);
        questions.clear();
        abortWhenHidden.clear();

        int rowsAtStart = -1;
        runDriver.ThenAdvance(5000); // the start's scan and the first recording cued
        runDriver.Then(
            [&] {
                rowsAtStart = RowCount();
                for (int row = 0; row < RowCount(); ++row)
                    ListControl->ListView1->Items()->Item(row)->SetChecked(true);
                abortWhenHidden.clear();
                stopAtNextProgress = true;
                if (c.copy) {
                    runDriver.AnswerFolder(u"C:\\Backup");
                    EXPECT_TRUE(runDriver.Click(*MainForm->ImageDL));
                } else {
                    EXPECT_TRUE(runDriver.Click(*MainForm->ImageDel));
                }
            },
            "start the operation");
        for (int i = 0; i < c.confirmations; ++i)
            runDriver.Then([&] { runDriver.Click(*SDDlg->OKSDLabel); }, "confirm");
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

        EXPECT_EQ(runDriver.PendingSteps(), 0);
        EXPECT_EQ(rowsAtStart, 3);
        // Only the operation's own confirmation was asked, not the close.
        EXPECT_EQ(questions.size(), static_cast<std::size_t>(c.confirmations)) << ::testing::PrintToString(questions);
        EXPECT_EQ(abortWhenHidden, std::vector<int>{1});
        // Stopped before its first recording: nothing copied, nothing deleted.
        for (const std::string& name : recordings)
            EXPECT_TRUE(card.Exists(name)) << name;
        EXPECT_TRUE(fs::is_empty(pc.Path() + "/Backup"));
        ExpectEndedAsAfterAConfirmedClose();
    }
}

} // namespace
