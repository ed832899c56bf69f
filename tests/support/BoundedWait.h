// Waits of a test thread on another thread, always with a bound: a race that
// leaves the awaited event out fails the test with what it waited for,
// instead of hanging until the test runner's limit.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace test_support {

// How long a test thread waits on another thread before it gives up. Far
// above any real hand-over, even under ThreadSanitizer on a loaded machine.
inline constexpr std::chrono::seconds kThreadWaitBound{20};

// Polls `done` (yielding between polls) until it holds or the bound passes.
// On time-out it records a test failure naming `what` and returns false.
bool WaitUntil(const std::function<bool()>& done, const std::string& what);

// The same on a condition variable, with `lock` held on entry and return.
bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, const std::function<bool()>& done,
               const std::string& what);

} // namespace test_support
