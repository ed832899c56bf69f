#include "tests/support/FifoGuard.h"

#include "tests/support/BoundedWait.h"

#include <csignal>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace test_support {

void MakeFifo(const std::string& hostPath)
{
    std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
    if (::mkfifo(hostPath.c_str(), 0666) != 0)
        throw std::runtime_error("cannot make the FIFO " + hostPath);
}

FifoGuard::FifoGuard(std::vector<std::string> fifos) : fifos_(std::move(fifos))
{
    // A writer released onto a FIFO whose reader went away must not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    thread_ = std::thread([this] { Run(); });
}

FifoGuard::~FifoGuard()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void FifoGuard::Run()
{
    std::unique_lock<std::mutex> guard(lock_);
    if (wake_.wait_for(guard, kThreadWaitBound, [this] { return stop_; }))
        return;
    released_ = true;
    // Both ends at once: frees a blocked reader (which then reads the end of
    // the file) and a blocked writer.
    while (!stop_) {
        for (const std::string& fifo : fifos_) {
            const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
        wake_.wait_for(guard, std::chrono::milliseconds(5), [this] { return stop_; });
    }
}

} // namespace test_support
