// The host event source (a display's event loop) gets its turn in the waits
// that dispatch posted messages, and what it posts is handled by our loops.
// The fake host never blocks, so these run under the real clock at once.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/win/HostEvents.h"

namespace winmsg_test {
namespace {

class FakeHost : public HostEventSource {
public:
    FakeHost() : previous_(InstallHostEventSource(this)) {}
    ~FakeHost() override { InstallHostEventSource(previous_); }
    void Wait(std::uint64_t timeoutMs) override
    {
        timeouts.push_back(timeoutMs);
        if (onWait)
            onWait();
    }
    void Wake() override { ++wakes; }

    std::vector<std::uint64_t> timeouts;
    std::function<void()> onWait;
    std::atomic<int> wakes{0};

private:
    HostEventSource* previous_;
};

struct Target {
    std::vector<UINT> handled;
    TMessageWindow window{[this](TMessage& m) { handled.push_back(m.Msg); }};
};

TEST(HostEvents, TheIdleWaitHandsTheHostItsTurnAndHandlesWhatItPosts)
{
    Target target;
    FakeHost host;
    host.onWait = [&] { PostMessage(target.window.Handle(), WM_APP + 1, 0, 0); };
    ASSERT_NE(WaitMessage(), 0);
    ASSERT_EQ(host.timeouts.size(), 1u);
    EXPECT_GT(host.timeouts[0], 0u);
    host.onWait = nullptr;
    EXPECT_TRUE(PumpPendingMessages());
    EXPECT_EQ(target.handled, std::vector<UINT>{WM_APP + 1});
}

TEST(HostEvents, AnEmptyUnfilteredPeekPollsTheHostOnceAndTakesWhatItPosted)
{
    Target target;
    FakeHost host;
    MSG msg;
    EXPECT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(host.timeouts, std::vector<std::uint64_t>{0});
    host.onWait = [&] { PostMessage(target.window.Handle(), WM_APP + 2, 0, 0); };
    ASSERT_NE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(msg.message, WM_APP + 2u);
    // A filtered look (the quit check of a loop's end) leaves the host alone.
    host.timeouts.clear();
    EXPECT_EQ(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), 0);
    EXPECT_TRUE(host.timeouts.empty());
}

// A real-time clock that moves on 10 ms at every look, so a storm of
// messages lasts long without the test waiting.
class SteppingClock : public Clock {
public:
    ClockDateTime Now() override { return ClockDateTime{2024, 5, 17, 9, 30, 0, 0, 5}; }
    std::uint64_t MonotonicMs() override { return ms_ += 10; }
    void Sleep(std::uint32_t ms) override { ms_ += ms; }
    bool WaitUntil(std::condition_variable&, std::unique_lock<std::mutex>&, std::uint64_t,
                   const std::function<bool()>& ready) override
    {
        return ready();
    }

private:
    std::atomic<std::uint64_t> ms_{1000};
};

TEST(HostEvents, MessagesThatNeverStopComingStillLetTheHostHaveItsTurn)
{
    SteppingClock clock;
    ScopedClock scope(clock);
    // Each message posts the next: the queue is never empty.
    int handled = 0;
    HWND self = nullptr;
    TMessageWindow storm([&](TMessage& m) {
        if (m.Msg != WM_APP + 3)
            return;
        ++handled;
        PostMessage(self, WM_APP + 3, 0, 0);
    });
    self = storm.Handle();
    FakeHost host;
    PostMessage(storm.Handle(), WM_APP + 3, 0, 0);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(PumpOnce(), PumpResult::Dispatched);
    // The last one posted is left for the loop that ends the test.
    MSG left;
    while (PeekMessage(&left, nullptr, WM_APP + 3, WM_APP + 3, PM_REMOVE)) {}
    EXPECT_EQ(handled, 100);
    // Painting and input (the host's turn) came in between, without waiting.
    EXPECT_GE(host.timeouts.size(), 5u);
    for (std::uint64_t timeout : host.timeouts)
        EXPECT_EQ(timeout, 0u);
}

TEST(HostEvents, UnderTheVirtualClockTheHostIsLeftAlone)
{
    VirtualClock clock;
    ScopedClock scope(clock);
    FakeHost host;
    MSG msg;
    EXPECT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 0);
    EXPECT_TRUE(PumpFor(20));
    EXPECT_TRUE(host.timeouts.empty());
}

TEST(HostEventsThread, APostFromAnotherThreadWakesTheHost)
{
    Target target;
    FakeHost host;
    const HWND window = target.window.Handle();
    std::thread poster([window] { PostMessage(window, WM_APP + 3, 0, 0); });
    poster.join();
    EXPECT_GE(host.wakes.load(), 1);
    EXPECT_TRUE(PumpPendingMessages());
    EXPECT_EQ(target.handled, std::vector<UINT>{WM_APP + 3});
}

} // namespace
} // namespace winmsg_test
