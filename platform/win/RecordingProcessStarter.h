// A process starter for tests: records every request in order and answers
// with a chosen code (default: started); an optional hook runs for each
// request answered as started, so a test can play the program in-process.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/win/ProcessStarter.h"

namespace win {

class RecordingProcessStarter final : public ProcessStarter {
public:
    int Start(const ProcessStartRequest& request) override
    {
        std::function<void(const ProcessStartRequest&)> hook;
        int result;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            requests_.push_back(request);
            hook = hook_;
            result = result_;
        }
        if (hook && result > 32)
            hook(request);
        return result;
    }

    void SetResult(int result)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        result_ = result;
    }
    void SetHook(std::function<void(const ProcessStartRequest&)> hook)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        hook_ = std::move(hook);
    }
    std::vector<ProcessStartRequest> Requests()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return requests_;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        requests_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<ProcessStartRequest> requests_;
    int result_ = 42;
    std::function<void(const ProcessStartRequest&)> hook_;
};

} // namespace win
