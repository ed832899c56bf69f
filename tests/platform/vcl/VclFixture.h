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
