// For tests of opening FIFOs: an open that would block for good is released
// after the thread wait bound by opening the FIFOs' other ends, so a fault
// fails the test instead of hanging it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

// Makes a FIFO at the host path (and its folders); throws when it cannot.
void MakeFifo(const std::string& hostPath);

class FifoGuard {
public:
    explicit FifoGuard(std::vector<std::string> fifos);
    // Stops releasing.
    ~FifoGuard();
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;

    // Whether something was still blocked at the bound.
    bool Released() const { return released_; }

private:
    void Run();

    std::vector<std::string> fifos_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::atomic<bool> released_{false};
    std::thread thread_;
};

} // namespace test_support
