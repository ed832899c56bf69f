// TEdgeBrowser over the recording back end: when the browser starts, what
// reaches the view, and how a navigation ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/browser/RecordingBrowserView.h"
#include "platform/browser/browser.h"
#include "platform/win/DriveTable.h"
#include "platform/win/MessageSystem.h"
#include "tests/support/TempFolder.h"

namespace {

class EdgeBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win::DriveTable::Instance().SetDrive(u'E', folder_.Path(), true);
        application_ = std::make_unique<vcl::TApplication>();
        form_ = std::make_unique<TForm>(nullptr);
        form_->AfterConstruction();
        form_->SetBounds(100, 50, 400, 300);
        panel_ = new TPanel(form_.get());
        panel_->SetParent(form_.get());
        panel_->SetBounds(10, 20, 200, 100);
        edge = new TEdgeBrowser(form_.get());
        edge->SetParent(panel_);
        edge->OnNavigationCompleted = [this](TEdgeBrowser*, bool ok) { completions.push_back(ok); };
    }

    test_support::TempFolder folder_{"browser-test"};
    std::unique_ptr<vcl::TApplication> application_;
    std::unique_ptr<TForm> form_;
    TPanel* panel_ = nullptr;
    TEdgeBrowser* edge = nullptr;
    std::vector<bool> completions;
};

TEST_F(EdgeBrowserTest, StartsOnTheFirstNavigationWithTheFolderSetBefore)
{
    browser::BrowserRecording rec;
    edge->ExecuteScript(u"before()");
    edge->SetUserDataFolder(u"E:\\Profile");
    EXPECT_FALSE(edge->BrowserStarted());
    EXPECT_TRUE(rec.Calls().empty());
    EXPECT_TRUE(edge->Navigate(u"E:\\Icon\\page.html"));
    edge->SetUserDataFolder(u"E:\\Other");
    EXPECT_TRUE(edge->Navigate(u"e:\\icon\\PAGE.html"));
    edge->ExecuteScript(u"f(1.5)");
    const std::string root = folder_.Path();
    EXPECT_EQ(rec.Calls(),
              (std::vector<std::string>{"start " + root + "/Profile", "place 10 20 0 0 hidden",
                                        "navigate " + root + "/Icon/page.html", "navigate " + root + "/icon/PAGE.html",
                                        "script f(1.5)"}));
    rec.CompleteNavigation(true);
    EXPECT_EQ(completions, std::vector<bool>{true});
}

TEST_F(EdgeBrowserTest, APathThatCannotBeResolvedFailsThroughTheMessageLoop)
{
    browser::BrowserRecording rec;
    EXPECT_TRUE(edge->Navigate(u"Q:\\nowhere.html"));
    EXPECT_TRUE(completions.empty());
    win::PumpPendingMessages();
    EXPECT_EQ(completions, std::vector<bool>{false});
}

TEST_F(EdgeBrowserTest, ABrowserThatCannotStartTakesNothing)
{
    browser::BrowserRecording rec(/*startFails=*/true);
    EXPECT_FALSE(edge->Navigate(u"E:\\page.html"));
    EXPECT_FALSE(edge->Navigate(u"E:\\page.html"));
    edge->ExecuteScript(u"f()");
    EXPECT_EQ(rec.Calls().size(), 1u);
    EXPECT_EQ(rec.Views(), 0);
}

TEST_F(EdgeBrowserTest, TheViewFollowsTheControl)
{
    browser::BrowserRecording rec;
    edge->Navigate(u"E:\\page.html");
    rec.ClearCalls();
    edge->SetBounds(5, 6, 150, 80);
    ASSERT_FALSE(rec.Calls().empty());
    EXPECT_EQ(rec.Calls().back(), "place 15 26 150 80 hidden");
    form_->Show();
    EXPECT_EQ(rec.Calls().back(), "place 15 26 150 80 shown");
}

TEST_F(EdgeBrowserTest, AMoveOfAParentReachesTheViewWithTheNextPaintAndOnlyOnce)
{
    browser::BrowserRecording rec;
    edge->SetBounds(5, 6, 150, 80);
    edge->Navigate(u"E:\\page.html");
    form_->Show();
    rec.ClearCalls();
    // The panel moves: none of the control's own bounds change.
    panel_->SetBounds(30, 40, 200, 100);
    form_->Snapshot();
    EXPECT_EQ(rec.Calls(), std::vector<std::string>{"place 35 46 150 80 shown"});
    form_->Snapshot();
    edge->SetBounds(5, 6, 150, 80);
    EXPECT_EQ(rec.Calls().size(), 1u) << "the same place is not sent again";
}

// A view that notes which form it was told holds it.
class HostView : public browser::BrowserView {
public:
    explicit HostView(std::vector<vcl::TCustomForm*>& hosts) : hosts_(hosts) {}
    void SetHostForm(vcl::TCustomForm* form) override { hosts_.push_back(form); }

private:
    std::vector<vcl::TCustomForm*>& hosts_;
};

TEST_F(EdgeBrowserTest, TheViewIsToldTheTopLevelFormThatHoldsIt)
{
    std::vector<vcl::TCustomForm*> hosts;
    browser::ScopedBrowserViewFactory views(
        [&hosts](browser::BrowserViewSink&) { return std::make_unique<HostView>(hosts); });
    // A form docked into the panel, as the map pane is: the view lies in
    // the window of the form above it.
    auto* docked = new TForm(form_.get());
    docked->AfterConstruction();
    docked->SetBorderStyle(bsNone);
    docked->SetParent(panel_);
    edge->SetParent(docked);
    edge->Navigate(u"E:\\page.html");
    ASSERT_FALSE(hosts.empty());
    EXPECT_EQ(hosts.back(), form_.get());
    delete edge; // its view notes into `hosts`
    edge = nullptr;
}

} // namespace
