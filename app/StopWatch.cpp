#include "app/StopWatch.h"

#include "app/WinMain.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

constexpr win::UINT WM_STOP_REQUEST = win::WM_APP + 0x100;

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void TStopWatch::BlockStopSignals()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TStopWatch::TStopWatch(int inputFd)
    : FInput(inputFd)
{
    FWindow = std::make_unique<win::TMessageWindow>([](win::TMessage& message) {
        if (message.Msg == WM_STOP_REQUEST)
            CloseProgramWindows();
    });
    const sigset_t set = StopSignals();
    FSignals = signalfd(-1, &set, SFD_CLOEXEC);
    FWake = eventfd(0, EFD_CLOEXEC);
    if (FSignals >= 0 && FWake >= 0)
        FThread = std::thread([this] { Watch(); });
}

TStopWatch::~TStopWatch()
{
    if (FThread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(FWake, &one, sizeof one);
        FThread.join();
    }
    if (FSignals >= 0)
        close(FSignals);
    if (FWake >= 0)
        close(FWake);
}

void TStopWatch::Watch()
{
    bool watchInput = FInput >= 0;
    const win::HWND target = FWindow->Handle();
    for (;;) {
        pollfd fds[3] = {{FWake, POLLIN, 0}, {FSignals, POLLIN, 0}, {FInput, POLLIN, 0}};
        if (poll(fds, watchInput ? 3 : 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        bool stop = false;
        if (fds[1].revents & POLLIN) {
            signalfd_siginfo info{};
            stop = read(FSignals, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
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
