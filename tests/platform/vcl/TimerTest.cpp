#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class TimerTest : public VclTest {
protected:
    TimerTest()
    {
        timer = new TTimer(&app);
        timer->SetEnabled(false);
        timer->SetInterval(100);
        timer->OnTimer = [this](TObject*) { times.push_back(driver->Clock().MonotonicMs() - start); };
        start = driver->Clock().MonotonicMs();
    }
    TTimer* timer;
    std::uint64_t start = 0;
    std::vector<std::uint64_t> times;
};

TEST_F(TimerTest, TicksAtItsIntervalOnTheVirtualClock)
{
    timer->SetEnabled(true);
    driver->Advance(350);
    EXPECT_EQ(times, (std::vector<std::uint64_t>{100, 200, 300}));
}

TEST_F(TimerTest, DisabledOrZeroIntervalNeverTicks)
{
    driver->Advance(500);
    timer->SetEnabled(true);
    timer->SetInterval(0);
    driver->Advance(500);
    EXPECT_TRUE(times.empty());
    EXPECT_FALSE(timer->Armed());
}

TEST_F(TimerTest, EveryStartReArms)
{
    timer->SetEnabled(true);
    driver->Advance(60);
    timer->SetEnabled(true); // running already: starts its period again
    driver->Advance(60);
    EXPECT_TRUE(times.empty());
    driver->Advance(40);
    EXPECT_EQ(times, (std::vector<std::uint64_t>{160}));
}

TEST_F(TimerTest, TicksOnlyWhileMessagesAreProcessedAndNeverPileUp)
{
    timer->SetEnabled(true);
    driver->Clock().Advance(1000); // nobody pumps
    EXPECT_TRUE(times.empty());
    driver->Pump();
    EXPECT_EQ(times.size(), 1u); // one pending tick, not ten
}

TEST_F(TimerTest, AHandlerCanStopItsTimer)
{
    timer->OnTimer = [this](TObject*) {
        times.push_back(0);
        timer->SetEnabled(false); // one-shot, as a repaint request
    };
    timer->SetEnabled(true);
    driver->Advance(1000);
    EXPECT_EQ(times.size(), 1u);
}

TEST_F(TimerTest, DeletingTheTimerStopsIt)
{
    timer->SetEnabled(true);
    delete timer;
    driver->Advance(500);
    EXPECT_TRUE(times.empty());
}

} // namespace
