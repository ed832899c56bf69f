// Views and printing that wait for their module: what is asked before the
// module is there reaches the real back end once it is, the module loads
// once and only when first needed, and a missing one leaves the null
// behaviour with a line on the debugger output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backends/Modules.h"
#include "platform/backends/OnDemand.h"
#include "platform/browser/RecordingBrowserView.h"
#include "platform/vcl/RecordingPrinter.h"
#include "platform/win/Clock.h"
#include "platform/win/Messages.h"
#include "platform/win/DebugOutput.h"

namespace {

struct Sink : browser::BrowserViewSink {
    std::vector<bool> completed;
    void NavigationCompleted(bool success) override { completed.push_back(success); }
};

void Pump()
{
    win::MSG msg;
    while (win::PeekMessage(&msg, nullptr, 0, 0, win::PM_REMOVE))
        win::DispatchMessage(&msg);
}

// The load's delay passed on the test's clock, then the loop run.
void PumpPastTheDelay(win::VirtualClock& clock)
{
    Pump();
    clock.Advance(backends::BrowserOnDemand::kLoadDelayMs);
    Pump();
}

// The recording views' factory, to stand for the browser module's.
browser::BrowserViewFactory RecordingFactory()
{
    browser::BrowserViewFactory recording = browser::InstallBrowserViewFactory({});
    browser::InstallBrowserViewFactory(recording);
    return recording;
}

TEST(BrowserOnDemandTest, TheModuleLoadsAtTheFirstShowAndTheViewGetsWhatWasAsked)
{
    win::VirtualClock clock;
    win::ScopedClock useClock(clock);
    browser::BrowserRecording recording;
    const browser::BrowserViewFactory real = RecordingFactory();
    int loads = 0;
    backends::BrowserOnDemand onDemand([&] {
        ++loads;
        return real;
    });
    Sink sink;
    std::unique_ptr<browser::BrowserView> view = onDemand.Factory()(sink);
    EXPECT_TRUE(view->Start("/card/Icon/profile"));
    view->SetHostForm(nullptr);
    view->Place(1, 2, 30, 40, false);
    view->Navigate("/card/Icon/map.html");
    view->ExecuteScript(u"early()"); // before the page: goes nowhere
    Pump();
    EXPECT_EQ(loads, 0) << "hidden: nothing to load yet";
    view->Place(5, 6, 30, 40, true);
    EXPECT_EQ(loads, 0) << "loaded from the message loop, not inside the call";
    Pump();
    clock.Advance(backends::BrowserOnDemand::kLoadDelayMs - 1);
    Pump();
    EXPECT_EQ(loads, 0) << "a moment after the first show";
    EXPECT_TRUE(recording.Calls().empty());
    clock.Advance(1);
    Pump();
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(onDemand.Loaded());
    const std::vector<std::string> replayed = {"start /card/Icon/profile", "place 5 6 30 40 shown",
                                               "navigate /card/Icon/map.html"};
    EXPECT_EQ(recording.Calls(), replayed);

    // From now on the real view answers.
    recording.ClearCalls();
    view->ExecuteScript(u"late()");
    view->Place(5, 6, 30, 40, false);
    EXPECT_EQ(recording.Calls(), (std::vector<std::string>{"script late()", "place 5 6 30 40 hidden"}));
    recording.CompleteNavigation(true);
    EXPECT_EQ(sink.completed, std::vector<bool>{true});
    // A view made later is a real one at once; the module loads once.
    Sink second;
    std::unique_ptr<browser::BrowserView> other = onDemand.Factory()(second);
    EXPECT_EQ(recording.Views(), 2);
    other->Place(0, 0, 1, 1, true);
    PumpPastTheDelay(clock);
    EXPECT_EQ(loads, 1);
    // A view gone before its module came is left out.
    view.reset();
    EXPECT_EQ(recording.Views(), 1);
}

TEST(BrowserOnDemandTest, AViewGoneBeforeTheLoadAndAMissingModuleLeaveNullViews)
{
    win::VirtualClock clock;
    win::ScopedClock useClock(clock);
    browser::BrowserRecording recording;
    int loads = 0;
    backends::BrowserOnDemand onDemand([&] {
        ++loads;
        return backends::LoadModuleEntry("velmorastine-none.so", "NoEntry", false) ? RecordingFactory()
                                                                                   : browser::BrowserViewFactory();
    });
    win::ClearDebugOutput();
    Sink sink;
    {
        std::unique_ptr<browser::BrowserView> gone = onDemand.Factory()(sink);
        gone->Place(0, 0, 10, 10, true);
    }
    std::unique_ptr<browser::BrowserView> view = onDemand.Factory()(sink);
    EXPECT_TRUE(view->Start("/profile"));
    view->Navigate("/map.html");
    view->Place(0, 0, 10, 10, true);
    PumpPastTheDelay(clock);
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(onDemand.Loaded());
    view->ExecuteScript(u"CarMarker()");
    std::unique_ptr<browser::BrowserView> later = onDemand.Factory()(sink);
    EXPECT_TRUE(later->Start("/profile"));
    later->Place(0, 0, 10, 10, true);
    PumpPastTheDelay(clock);
    EXPECT_EQ(loads, 1) << "a missing module is looked for once";
    EXPECT_TRUE(recording.Calls().empty());
    EXPECT_TRUE(sink.completed.empty()) << "as the null view: no navigation ever ends";
    const std::vector<std::string> said = win::DebugOutputTexts();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind("Back end velmorastine-none.so not loaded: ", 0), 0u) << said[0];
}

TEST(PrintingOnDemandTest, TheModuleLoadsAtTheFirstCallAndAMissingOneRefusesEveryJob)
{
    vcl::RecordingPrinter printer;
    std::vector<std::string> chosen;
    int loads = 0;
    backends::PrintingOnDemand printing([&](backends::PrintModule& module) {
        ++loads;
        module.printer = &printer;
        module.choices = [](int& index) {
            index = 1;
            return std::vector<std::string>{"Office", "PDF"};
        };
        return true;
    });
    EXPECT_EQ(loads, 0);
    int index = -1;
    EXPECT_EQ(printing.Choices(index), (std::vector<std::string>{"Office", "PDF"}));
    EXPECT_EQ(index, 1);
    printing.Choose("PDF"); // the module gave no choose: nothing to do, no crash
    EXPECT_TRUE(printing.StartDoc(u"still", vcl::poLandscape));
    EXPECT_EQ(printer.Started, 1);
    EXPECT_EQ(printing.PageSize(vcl::poPortrait), printer.PageSize(vcl::poPortrait));
    printing.AbortDoc();
    EXPECT_EQ(printer.Aborted, 1);
    EXPECT_EQ(loads, 1);

    int tries = 0;
    backends::PrintingOnDemand missing([&](backends::PrintModule&) {
        ++tries;
        return false;
    });
    const vcl::PageExtent page = missing.PageSize(vcl::poPortrait);
    EXPECT_GT(page.width, 0);
    EXPECT_GT(page.height, page.width);
    EXPECT_FALSE(missing.StartDoc(u"still", vcl::poPortrait));
    EXPECT_FALSE(missing.AddPicture({}));
    EXPECT_FALSE(missing.EndDoc({}));
    missing.AbortDoc();
    index = 3;
    EXPECT_TRUE(missing.Choices(index).empty());
    EXPECT_EQ(index, -1);
    missing.Choose("PDF");
    EXPECT_EQ(tries, 1);
}

} // namespace
