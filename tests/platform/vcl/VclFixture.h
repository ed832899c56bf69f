// A fresh application, a driver with its own virtual clock and a screen of
// known size for each test; driver failures become test failures.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/rtl.h"
#include "platform/win/win.h"
#include "platform/vcl/vcl.h"
#include "platform/vcl/TestDriver.h"

class VclTest : public ::testing::Test {
protected:
    VclTest()
    {
        win::SetScreen(win::SIZE{1920, 1080}, win::RECT{0, 0, 1920, 1040});
        driver = std::make_unique<vcl::TestDriver>(app);
        driver->OnFailure = [](const std::string& text) { ADD_FAILURE() << "driver: " << text; };
    }
    ~VclTest() override
    {
        driver.reset();
        win::ResetScreen();
    }

    vcl::TApplication app;
    std::unique_ptr<vcl::TestDriver> driver;
};

// Collects event names in order, for sequence comparisons.
struct EventLog {
    std::vector<std::string> events;
    void Add(const std::string& e) { events.push_back(e); }
    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
};

// Records a control's mouse events into log as "<name> down 0 25,20",
// "<name> click", "<name> enter"...
inline void RecordMouse(EventLog& log, vcl::TControl* c, const std::string& n)
{
    using vcl::TMouseButton;
    using vcl::TObject;
    using vcl::TShiftState;
    c->OnMouseDown = [&log, n](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log.Add(n + " down " + std::to_string(b) + (s.Contains(vcl::ssDouble) ? " double" : "") + " " +
                std::to_string(x) + "," + std::to_string(y));
    };
    c->OnMouseMove = [&log, n](TObject*, TShiftState, int x, int y) {
        log.Add(n + " move " + std::to_string(x) + "," + std::to_string(y));
    };
    c->OnMouseUp = [&log, n](TObject*, TMouseButton b, TShiftState, int x, int y) {
        log.Add(n + " up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    c->OnClick = [&log, n](TObject*) { log.Add(n + " click"); };
    c->OnDblClick = [&log, n](TObject*) { log.Add(n + " dblclick"); };
    c->OnMouseEnter = [&log, n](TObject*) { log.Add(n + " enter"); };
    c->OnMouseLeave = [&log, n](TObject*) { log.Add(n + " leave"); };
}
