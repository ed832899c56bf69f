// The map pane: where its browser starts and what it navigates to, the marker
// script text, the page-ready rule, and the sample page's CarMarker run by
// node on the scripts the pane sent.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/MyLog.h"
#include "mainwindow/MAIN.h"
#include "platform/browser/RecordingBrowserView.h"
#include "platform/vcl/Application.h"
#include "platform/win/Clock.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageBoxResponder.h"
#include "platform/win/MessageSystem.h"
#include "tests/support/TempFolder.h"
#include "tracks/MapView.h"

namespace fs = std::filesystem;

namespace {

class MapPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::make_unique<test_support::TempFolder>("map-test");
        card = folder_->Path() + "/card";
        home = folder_->Path() + "/home";
        fs::create_directories(card + "/Icon");
        fs::create_directories(home + "/Users/Public/Documents");
        fs::copy_file(std::string(VM_SOURCE_DIR) + "/tools/samplecard/googleMap.html", card + "/Icon/googleMap.html");
        win::DriveTable::Instance().SetDrive(u'E', card, true);
        win::DriveTable::Instance().SetDrive(u'C', home, false);
        ProgramFolder = u"E:\\";
        ProgramDrive = 'E';
        clockScope_ = std::make_unique<win::ScopedClock>(clock);
        boxes_ = std::make_unique<win::TRecordingMessageBoxResponder>();
        application_ = std::make_unique<vcl::TApplication>();
        log_ = std::make_unique<TMyLogModule>(nullptr);
        MyLogModule = log_.get();
        mainForm_ = new TMainForm(nullptr);
        MainForm = mainForm_;
        browser_ = std::make_unique<browser::BrowserRecording>();
        pane = new TMapControl(nullptr);
        MapControl = pane;
        pane->AfterConstruction();
    }

    void TearDown() override
    {
        delete pane;
        MapControl = nullptr;
        browser_.reset();
        MainForm = nullptr;
        delete mainForm_;
        MyLogModule = nullptr;
        log_.reset();
        application_.reset();
        boxes_.reset();
    }

    std::string card;
    std::string home;
    TMapControl* pane = nullptr;
    std::unique_ptr<browser::BrowserRecording> browser_;

private:
    std::unique_ptr<test_support::TempFolder> folder_;
    win::VirtualClock clock;
    std::unique_ptr<win::ScopedClock> clockScope_;
    std::unique_ptr<win::TRecordingMessageBoxResponder> boxes_;
    std::unique_ptr<vcl::TApplication> application_;
    std::unique_ptr<TMyLogModule> log_;
    TMainForm* mainForm_ = nullptr;
};

TEST_F(MapPaneTest, StartsTheBrowserInItsFolderAndLoadsThePageOnce)
{
    const std::vector<std::string>& calls = browser_->Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "start " + home + "/Users/Public/Documents/WebView2_cache");
    EXPECT_TRUE(fs::is_directory(home + "/Users/Public/Documents/WebView2_cache"));
    int navigations = 0;
    for (const std::string& call : calls)
        if (call.rfind("navigate ", 0) == 0) {
            ++navigations;
            EXPECT_EQ(call, "navigate " + card + "/Icon/googleMap.html");
        }
    EXPECT_EQ(navigations, 1);
    EXPECT_EQ(pane->Width(), MainForm->PanelMap->Width());
    EXPECT_EQ(pane->Height(), MainForm->PanelMap->Height());
}

TEST(MapPaneScript, TextOfTheMarkerScript)
{
    struct Row {
        const char* lat;
        const char* lng;
        float heading;
        const char* expected;
    };
    const Row rows[] = {
        {"35.6812", "139.7671", 90.0f, "CarMarker(35.6812, 139.7671,90, 'Y')"},
        {"35.6812", "139.7671", 12.3f, "CarMarker(35.6812, 139.7671,12.3000001907349, 'Y')"},
        {"35.6812", "139.7671", 0.0f, "CarMarker(35.6812, 139.7671,0, 'Y')"},
        {"-33.8688197", "-151.20929550000001", 359.5f, "CarMarker(-33.8688197, -151.20929550000001,359.5, 'Y')"},
        {"", "", 1.5f, "CarMarker(, ,1.5, 'Y')"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(
            std::string(TMapControl::CarMarkerScript(AnsiString(row.lat), AnsiString(row.lng), row.heading).c_str()),
            row.expected);
    }
}

TEST_F(MapPaneTest, AMarkerBeforeThePageIsReadyWaitsForIt)
{
    EXPECT_TRUE(pane->SetCarPos("35.1", "139.1", 10.0f));
    EXPECT_TRUE(pane->SetCarPos("35.2", "139.2", 20.0f));
    EXPECT_TRUE(browser_->Scripts().empty());
    // A failed load keeps the marker waiting.
    browser_->CompleteNavigation(false);
    EXPECT_TRUE(browser_->Scripts().empty());
    // Only the latest position is sent once the page reports it is ready.
    browser_->CompleteNavigation(true);
    EXPECT_EQ(browser_->Scripts(), std::vector<std::string>{"CarMarker(35.2, 139.2,20, 'Y')"});
    EXPECT_TRUE(pane->SetCarPos("35.3", "139.3", 30.0f));
    EXPECT_EQ(browser_->Scripts().size(), 2u);
    EXPECT_EQ(browser_->Scripts().back(), "CarMarker(35.3, 139.3,30, 'Y')");
}

TEST_F(MapPaneTest, ClearingTheTraceDropsAWaitingMarker)
{
    pane->SetCarPos("35.1", "139.1", 10.0f);
    EXPECT_FALSE(pane->ClearCarTrace());
    browser_->CompleteNavigation(true);
    EXPECT_TRUE(browser_->Scripts().empty());
    EXPECT_TRUE(pane->ClearCarTrace());
    EXPECT_EQ(browser_->Scripts(), std::vector<std::string>{"ClearCarTrace()"});
}

TEST_F(MapPaneTest, TheSamplePageDrawsWhatThePaneSends)
{
    if (std::system("node --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "node is not installed";
    browser_->CompleteNavigation(true);
    pane->SetCarPos("35.6812", "139.7671", 90.0f);
    pane->SetCarPos("-33.8688", "151.2093", 12.3f);
    const std::string scripts = card + "/scripts.txt";
    {
        std::ofstream out(scripts);
        for (const std::string& s : browser_->Scripts())
            out << s << "\n";
    }
    const std::string command = "node " + std::string(VM_SOURCE_DIR) + "/tests/tracks_map/carmarker_harness.js " +
        card + "/Icon/googleMap.html " + scripts;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        out += buffer;
    ASSERT_EQ(pclose(pipe), 0) << out;
    EXPECT_NE(out.find("\"results\":[true,true]"), std::string::npos) << out;
    EXPECT_NE(out.find("{\"lat\":35.6812,\"lng\":139.7671,\"heading\":90,\"mode\":\"Y\"}"), std::string::npos) << out;
    EXPECT_NE(out.find("{\"lat\":-33.8688,\"lng\":151.2093,\"heading\":12.3000001907349,\"mode\":\"Y\"}"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"drew\":true"), std::string::npos) << out;
}

} // namespace
