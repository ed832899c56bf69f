#include "platform/win/Clock.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

TEST(Clock, RealClockIsTheDefault)
{
    win::Clock& clock = win::CurrentClock();
    EXPECT_FALSE(clock.IsVirtual());
    std::uint64_t a = win::GetTickCount64();
    std::uint64_t b = win::GetTickCount64();
    EXPECT_LE(a, b);
    win::ClockDateTime now = win::LocalNow();
    EXPECT_GE(now.year, 2000);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
}

TEST(Clock, VirtualClockMovesOnlyWhenTold)
{
    win::VirtualClock clock(win::ClockDateTime{2024, 2, 28, 23, 0, 0, 0}, 1000);
    win::ScopedClock use(clock);
    EXPECT_TRUE(win::CurrentClock().IsVirtual());
    EXPECT_EQ(win::GetTickCount(), 1000u);
    EXPECT_EQ(win::GetTickCount(), 1000u);
    win::Sleep(3600000); // at once
    EXPECT_EQ(win::GetTickCount64(), 3601000u);
    EXPECT_EQ(win::LocalNow(), (win::ClockDateTime{2024, 2, 29, 0, 0, 0, 0})); // leap day
    EXPECT_EQ(win::LocalNow().dayOfWeek, 4); // a Thursday
    clock.Advance(24 * 3600000);
    EXPECT_EQ(win::LocalNow(), (win::ClockDateTime{2024, 3, 1, 0, 0, 0, 0}));
    clock.AdvanceTo(10); // the past: nothing
    EXPECT_EQ(clock.ElapsedMs(), 25u * 3600000);
    clock.SetNow(win::ClockDateTime{2030, 1, 1, 0, 0, 0, 0});
    EXPECT_EQ(win::LocalNow(), (win::ClockDateTime{2030, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(win::GetTickCount64(), 1000u + 25 * 3600000); // unchanged by SetNow
}

TEST(Clock, TickCountWrapsAndSubtractsAsUnsigned)
{
    win::VirtualClock clock(win::ClockDateTime{}, 0xFFFFFF00u);
    win::ScopedClock use(clock);
    std::uint32_t start = win::GetTickCount();
    clock.Advance(0x200);
    std::uint32_t end = win::GetTickCount();
    EXPECT_LT(end, start);
    EXPECT_EQ(end - start, 0x200u);
    EXPECT_EQ(win::GetTickCount64(), 0x100000100u);
}

TEST(Clock, ScopedClocksNestAndRestore)
{
    win::VirtualClock outer, inner(win::ClockDateTime{}, 77);
    {
        win::ScopedClock a(outer);
        {
            win::ScopedClock b(inner);
            EXPECT_EQ(&win::CurrentClock(), &inner);
        }
        EXPECT_EQ(&win::CurrentClock(), &outer);
    }
    EXPECT_FALSE(win::CurrentClock().IsVirtual());
}

TEST(Clock, VirtualWaitWithDeadlineCompletesAtOnce)
{
    win::VirtualClock clock(win::ClockDateTime{}, 500);
    std::mutex m;
    std::condition_variable cv;
    std::unique_lock<std::mutex> lock(m);
    bool ready = false;
    EXPECT_FALSE(clock.WaitUntil(cv, lock, 30500, [&] { return ready; }));
    EXPECT_EQ(clock.MonotonicMs(), 30500u);
    ready = true;
    EXPECT_TRUE(clock.WaitUntil(cv, lock, 90000, [&] { return ready; }));
    EXPECT_EQ(clock.MonotonicMs(), 30500u); // ready at once: the clock stays
    EXPECT_TRUE(lock.owns_lock());
}

// A wait without a deadline ends when another thread makes it ready; on both
// clocks, and no test time passes on the virtual one.
TEST(ClockThread, WaitForeverEndsWhenNotified)
{
    win::VirtualClock virtualClock;
    win::RealClock realClock;
    for (win::Clock* clock : {static_cast<win::Clock*>(&virtualClock), static_cast<win::Clock*>(&realClock)}) {
        std::mutex m;
        std::condition_variable cv;
        bool ready = false;
        std::thread other([&] {
            std::lock_guard<std::mutex> guard(m);
            ready = true;
            cv.notify_all();
        });
        {
            std::unique_lock<std::mutex> lock(m);
            EXPECT_TRUE(clock->WaitUntil(cv, lock, win::Clock::kForever, [&] { return ready; }));
        }
        other.join();
    }
    EXPECT_EQ(virtualClock.ElapsedMs(), 0u);
}

TEST(ClockThread, ConcurrentUseIsSafe)
{
    win::VirtualClock clock;
    win::ScopedClock use(clock);
    std::thread sleepers[4];
    for (auto& t : sleepers)
        t = std::thread([] {
            for (int i = 0; i < 1000; ++i) {
                win::Sleep(1);
                (void)win::GetTickCount();
                (void)win::LocalNow();
            }
        });
    for (auto& t : sleepers)
        t.join();
    EXPECT_EQ(clock.MonotonicMs(), 4000u);
    EXPECT_EQ(clock.Now(), (win::ClockDateTime{2020, 1, 1, 0, 0, 4, 0}));
}

} // namespace
