#include "platform/host/Clock.h"

#include "platform/host/CivilDate.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace host {
namespace {

ClockDateTime FromLocalMs(std::int64_t localMs)
{
    long long days = localMs / 86400000;
    long long rest = localMs % 86400000;
    if (rest < 0)
        rest += 86400000, --days;
    const CivilDate date = CivilFromDays(days);
    ClockDateTime t;
    t.year = static_cast<int>(date.year);
    t.month = static_cast<int>(date.month);
    t.day = static_cast<int>(date.day);
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    t.dayOfWeek = DayOfWeekFromDays(days);
    return t;
}

// Fields may be out of range (normalised by the arithmetic); months are
// brought into 1..12 first.
std::int64_t ToLocalMs(const ClockDateTime& t)
{
    long long year = t.year;
    long long month = t.month - 1;
    year += month / 12;
    month %= 12;
    if (month < 0)
        month += 12, --year;
    long long days = DaysFromCivil(year, static_cast<unsigned>(month + 1), 1) + (t.day - 1);
    return days * 86400000LL + t.hour * 3600000LL + t.minute * 60000LL + t.second * 1000LL + t.millisecond;
}

RealClock& TheRealClock()
{
    static RealClock clock;
    return clock;
}

Clock* RealClockAsDefault() { return &TheRealClock(); }

constinit Seam<Clock*, SeamReaders::AnyThread> gClocks(&RealClockAsDefault);

} // namespace

bool ClockDateTime::operator==(const ClockDateTime& o) const
{
    return year == o.year && month == o.month && day == o.day && hour == o.hour && minute == o.minute &&
        second == o.second && millisecond == o.millisecond;
}

Clock::~Clock() = default;

ClockDateTime RealClock::Now()
{
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    long long fraction = ms % 1000;
    if (fraction < 0)
        fraction += 1000, --seconds;
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return FromLocalMs(ms);
    ClockDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec; // a leap second reads as :59
    t.millisecond = static_cast<int>(fraction);
    t.dayOfWeek = local.tm_wday;
    return t;
}

std::uint64_t RealClock::MonotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
}

void RealClock::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool RealClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint64_t deadlineMs,
                          const std::function<bool()>& ready)
{
    if (deadlineMs == kForever) {
        cv.wait(lock, ready);
        return true;
    }
    while (!ready()) {
        std::uint64_t now = MonotonicMs();
        if (now >= deadlineMs)
            return false;
        cv.wait_for(lock, std::chrono::milliseconds(deadlineMs - now));
    }
    return true;
}

VirtualClock::VirtualClock() : VirtualClock(ClockDateTime{2020, 1, 1, 0, 0, 0, 0, 3}) {}

VirtualClock::VirtualClock(const ClockDateTime& start, std::uint64_t monotonicStartMs)
    : localMs_(ToLocalMs(start)), monotonicMs_(monotonicStartMs)
{
}

ClockDateTime VirtualClock::Now()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return FromLocalMs(localMs_);
}

std::uint64_t VirtualClock::MonotonicMs()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return monotonicMs_;
}

void VirtualClock::Advance(std::uint64_t ms)
{
    std::lock_guard<std::mutex> guard(mutex_);
    monotonicMs_ += ms;
    localMs_ += static_cast<std::int64_t>(ms);
    elapsedMs_ += ms;
}

void VirtualClock::AdvanceTo(std::uint64_t monotonicMs)
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (monotonicMs <= monotonicMs_)
        return;
    std::uint64_t step = monotonicMs - monotonicMs_;
    monotonicMs_ = monotonicMs;
    localMs_ += static_cast<std::int64_t>(step);
    elapsedMs_ += step;
}

void VirtualClock::Sleep(std::uint32_t ms) { Advance(ms); }

bool VirtualClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint64_t deadlineMs,
                             const std::function<bool()>& ready)
{
    if (ready())
        return true;
    if (deadlineMs == kForever) {
        cv.wait(lock, ready);
        return true;
    }
    AdvanceTo(deadlineMs);
    return ready();
}

void VirtualClock::SetNow(const ClockDateTime& now)
{
    std::lock_guard<std::mutex> guard(mutex_);
    localMs_ = ToLocalMs(now);
}

std::uint64_t VirtualClock::ElapsedMs()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return elapsedMs_;
}

Clock& CurrentClock() { return *gClocks.Current(); }

Clock* InstallClock(Clock* clock)
{
    if (clock == &TheRealClock())
        clock = nullptr;
    return gClocks.Install(clock);
}

} // namespace host
