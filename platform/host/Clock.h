// The layer's one clock: local date-time (Now), a 64-bit monotonic
// millisecond count for timers and waits (win's tick count is its low 32
// bits), and Sleep. Below rtl and win, which both read it.
//
// The program runs on the real clock (the default). Tests install a
// VirtualClock, which moves only when told to (Advance) or when something
// sleeps or waits on it: a Sleep or a timed wait completes at once by
// moving the clock to its end, so waits of seconds cost nothing and timer
// ticks are exact.
//
// Every operation is thread-safe and may be called from any thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/host/Seam.h"

namespace host {

// A local calendar date and time (proleptic Gregorian), to the millisecond.
struct ClockDateTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1; // 1..31
    int hour = 0; // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 4; // 0 = Sunday (set by the clock; ignored when given)

    // Compares the date and time fields (not dayOfWeek).
    bool operator==(const ClockDateTime& other) const;
};

class Clock {
public:
    // A wait without a deadline.
    static constexpr std::uint64_t kForever = UINT64_MAX;

    virtual ~Clock();

    // The local date-time now.
    virtual ClockDateTime Now() = 0;
    // Milliseconds since an arbitrary start, never going back; the tick count
    // is its low 32 bits.
    virtual std::uint64_t MonotonicMs() = 0;
    // Blocks the calling thread for ms (a virtual clock: moves itself on by
    // ms and returns at once). Never dispatches messages.
    virtual void Sleep(std::uint32_t ms) = 0;
    // Waits on cv (lock holds cv's mutex) until ready() is true or
    // MonotonicMs() reaches deadlineMs (kForever: no deadline). Returns
    // ready()'s last value. ready() is called with the lock held; whoever
    // makes it true must notify cv under that mutex.
    // A virtual clock with a finite deadline does not block: when ready() is
    // false it moves itself to the deadline (if later) and returns ready().
    // With kForever it blocks on cv until ready() (another thread's doing).
    virtual bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint64_t deadlineMs,
                           const std::function<bool()>& ready) = 0;
    // True for a clock that moves only when told (tests). A message loop that
    // finds every thread idle may then move it to the next due time itself.
    virtual bool IsVirtual() const { return false; }
    // A virtual clock moves on to monotonicMs (local time with it) when that
    // is later than now; the real clock ignores it.
    virtual void AdvanceTo(std::uint64_t monotonicMs) { (void)monotonicMs; }
};

// The host's clocks: local time of the system clock and the time zone,
// CLOCK_MONOTONIC, real sleeps and waits.
class RealClock final : public Clock {
public:
    ClockDateTime Now() override;
    std::uint64_t MonotonicMs() override;
    void Sleep(std::uint32_t ms) override;
    bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint64_t deadlineMs,
                   const std::function<bool()>& ready) override;
};

// A clock for tests: starts at a given local date-time and monotonic count
// and moves only by Advance, Sleep, WaitUntil or Set.
class VirtualClock final : public Clock {
public:
    // Default start: 2020-01-01 00:00:00.000, monotonic count 0.
    VirtualClock();
    explicit VirtualClock(const ClockDateTime& start, std::uint64_t monotonicStartMs = 0);

    ClockDateTime Now() override;
    std::uint64_t MonotonicMs() override;
    void Sleep(std::uint32_t ms) override;
    bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::uint64_t deadlineMs,
                   const std::function<bool()>& ready) override;
    bool IsVirtual() const override { return true; }
    void AdvanceTo(std::uint64_t monotonicMs) override;

    // Moves local time and the monotonic count on together.
    void Advance(std::uint64_t ms);
    // Sets the local date-time alone (as a user changing the system clock);
    // the monotonic count is untouched. Out-of-range fields are normalised.
    void SetNow(const ClockDateTime& now);
    // Total milliseconds moved since construction (Advance, Sleep, waits).
    std::uint64_t ElapsedMs();

private:
    std::mutex mutex_;
    std::int64_t localMs_ = 0; // local time as ms since 1970-01-01 (no zone)
    std::uint64_t monotonicMs_ = 0;
    std::uint64_t elapsedMs_ = 0;
};

// The clock in force for the process (the real clock unless one was
// installed). The reference stays valid while the clock stays installed.
// Read on every thread (waits, timers, workers): an atomic seam (Seam.h).
Clock& CurrentClock();
// Installs clock process-wide (null: the real clock); returns the previous
// one (null when it was the real clock). The caller keeps ownership.
Clock* InstallClock(Clock* clock);
// Installs a clock for a scope and puts the previous one back.
using ScopedClock = ScopedInstall<Clock*, &InstallClock>;

} // namespace host
