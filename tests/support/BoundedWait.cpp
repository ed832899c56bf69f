#include "tests/support/BoundedWait.h"

#include <gtest/gtest.h>

#include <thread>

namespace test_support {

bool WaitUntil(const std::function<bool()>& done, const std::string& what)
{
    const auto deadline = std::chrono::steady_clock::now() + kThreadWaitBound;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ADD_FAILURE() << "gave up waiting for " << what << " after " << kThreadWaitBound.count() << " s";
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, const std::function<bool()>& done,
               const std::string& what)
{
    if (cv.wait_for(lock, kThreadWaitBound, done))
        return true;
    ADD_FAILURE() << "gave up waiting for " << what << " after " << kThreadWaitBound.count() << " s";
    return false;
}

} // namespace test_support
