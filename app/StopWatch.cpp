#include "app/StopWatch.h"

#include "app/WinMain.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace {

constexpr win::UINT WM_STOP_REQUEST = win::WM_APP + 0x100;

// Counts the stop signals caught; -1 until they are caught.
std::atomic<int> gSignalEvent{-1};

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// May run on any thread at any point: only a write to the eventfd.
extern "C" void OnStopSignal(int)
{
    const int saved = errno;
    const int fd = gSignalEvent.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
    }
    errno = saved;
}

} // namespace

void TStopWatch::CatchStopSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (fd < 0)
            return;
        gSignalEvent.store(fd);
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaddset(&action.sa_mask, SIGINT);
        sigaddset(&action.sa_mask, SIGTERM);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    });
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TStopWatch::TStopWatch(int inputFd) : FInput(inputFd)
{
    FWindow = std::make_unique<win::TMessageWindow>([](win::TMessage& message) {
        if (message.Msg == WM_STOP_REQUEST)
            StopProgram();
    });
    FWake = eventfd(0, EFD_CLOEXEC);
    if (FWake >= 0 && (FInput >= 0 || gSignalEvent.load() >= 0))
        FThread = std::thread([this] { Watch(); });
}

TStopWatch::~TStopWatch()
{
    if (FThread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(FWake, &one, sizeof one);
        FThread.join();
    }
    if (FWake >= 0)
        close(FWake);
}

void TStopWatch::Watch()
{
    const int signals = gSignalEvent.load();
    if (signals >= 0) {
        // Always one thread takes them, also when every other one blocks them.
        const sigset_t set = StopSignals();
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
    bool watchInput = FInput >= 0;
    const win::HWND target = FWindow->Handle();
    for (;;) {
        pollfd fds[3] = {{FWake, POLLIN, 0}, {signals, POLLIN, 0}, {watchInput ? FInput : -1, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            break;
        bool stop = false;
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            stop = read(signals, &count, sizeof count) == static_cast<ssize_t>(sizeof count) && count > 0;
        }
        if (watchInput && fds[2].revents) {
            char buffer[256];
            if (read(FInput, buffer, sizeof buffer) <= 0) {
                // The end of input asks once; the signals stay watched.
                watchInput = false;
                stop = true;
            }
        }
        if (stop)
            win::PostMessage(target, WM_STOP_REQUEST, 0, 0);
    }
}
