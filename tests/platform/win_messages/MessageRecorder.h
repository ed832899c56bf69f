// Recorded message sequences for the message layer's tests: windows that log
// what they receive, and a log to compare with a table of expected events.
#pragma once

#include "platform/win/win.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace winmsg_test {

// One entry of a sequence: who saw it (a window's name, or a free-form step
// of the test such as "modal begin"), the message and its parameters.
struct Event {
    std::string who;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    friend bool operator==(const Event&, const Event&) = default;
};

inline void PrintTo(const Event& e, std::ostream* os)
{
    *os << "{" << e.who << ", 0x" << std::hex << e.message << std::dec << ", " << e.wParam << ", " << e.lParam << "}";
}

inline Event Step(std::string what, WPARAM value = 0) { return Event{std::move(what), 0, value, 0}; }

class EventLog {
public:
    void Add(Event e)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        events_.push_back(std::move(e));
    }
    void Step(std::string what, WPARAM value = 0) { Add(winmsg_test::Step(std::move(what), value)); }
    std::vector<Event> Events() const
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return events_;
    }
    std::size_t Size() const
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return events_.size();
    }

private:
    mutable std::mutex mutex_;
    std::vector<Event> events_;
};

// Logs every message (WM_DESTROY included), then runs `react` if given.
class RecordingWindow {
public:
    using React = std::function<void(TMessage&)>;
    RecordingWindow(EventLog& log, std::string name, React react = {})
        : window_([&log, name, react](TMessage& m) {
              log.Add(Event{name, m.Msg, m.WParam, m.LParam});
              if (react)
                  react(m);
          })
    {
    }
    HWND Handle() const { return window_.Handle(); }

private:
    TMessageWindow window_;
};

// Installs a virtual clock for a test's lifetime.
// Leaves the calling thread's queue empty before and after (a failed test
// must not hand its messages to the next one).
class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override { Drain(); }
    void TearDown() override { Drain(); }
    static void Drain()
    {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }

    VirtualClock clock;
    ScopedClock scoped{clock};
    std::uint64_t StartMs = clock.MonotonicMs();
    std::uint64_t ElapsedMs() { return clock.MonotonicMs() - StartMs; }
};

} // namespace winmsg_test
