#include "platform/win/Messages.h"

#include "platform/win/Clock.h"
#include "platform/win/LastError.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/MessageSystem.h"
#include "platform/win/Timers.h"

#include <unistd.h>

namespace win {

using detail::MessageFilter;
using detail::MessageSystem;
using detail::System;
using detail::ThreadQueue;

namespace {

// Windows refuses posts beyond this many waiting messages.
constexpr std::size_t kQueueLimit = 10000;

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(detail::NowMs());
    return msg;
}

// The longest the host waits for its turn while messages keep coming.
constexpr std::uint64_t kHostTurnMs = 50;

BOOL PostToQueue(MessageSystem& system, ThreadQueue& queue, const MSG& msg)
{
    if (queue.posted.size() >= kQueueLimit) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return 0;
    }
    queue.posted.push_back(msg);
    system.Wake(queue);
    return 1;
}

// GetMessage and PeekMessage: sent messages first (handled here), then the
// queue's next message.
BOOL Retrieve(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove, bool wait, int* sentHandled = nullptr)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    const MessageFilter filter{window, filterMin, filterMax};
    std::unique_lock<std::mutex> lock(system.mutex);
    bool hostPolled = false;
    const bool unfiltered = window == nullptr && filterMin == 0 && filterMax == 0;
    for (;;) {
        const int handled = system.HandleSentLocked(lock, *queue);
        if (sentHandled)
            *sentHandled += handled;
        if (remove && unfiltered && !hostPolled) {
            // Messages that never stop coming (timers slower than their period,
            // a handler that posts again) must not starve the host: its painting
            // and input get a turn at least this often, as painting and input
            // come before timers.
            if (HostEventSource* host = system.HostFor(*queue)) {
                const std::uint64_t now = detail::NowMs();
                if (now - system.hostTurnMs >= kHostTurnMs) {
                    system.hostTurnMs = now;
                    hostPolled = true;
                    lock.unlock();
                    host->Wait(0);
                    lock.lock();
                    continue;
                }
            }
        }
        if (system.TakeLocked(*queue, filter, remove, msg))
            return 1;
        if (!wait) {
            // Nothing here: the host may have input for us (once per call, and
            // only for a look at everything, as ProcessMessages takes).
            HostEventSource* host = hostPolled || !unfiltered ? nullptr : system.HostFor(*queue);
            if (!host)
                return 0;
            hostPolled = true;
            system.hostTurnMs = detail::NowMs();
            lock.unlock();
            host->Wait(0);
            lock.lock();
            continue;
        }
        MessageSystem::WaitSpec spec;
        spec.timers = true;
        spec.timerFilter = filter;
        spec.reportsStall = !queue->fromTThread;
        spec.what = "GetMessage";
        spec.host = true;
        system.WaitLocked(lock, *queue, spec, [&] { return system.HasWorkLocked(*queue, filter, true); });
    }
}

} // namespace

DWORD GetCurrentThreadId() { return System().Current()->id; }

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageSystem& system = System();
    if (window == nullptr) {
        std::shared_ptr<ThreadQueue> queue = system.Current();
        std::lock_guard<std::mutex> guard(system.mutex);
        return PostToQueue(system, *queue, MakeMessage(nullptr, message, wParam, lParam));
    }
    std::lock_guard<std::mutex> guard(system.mutex);
    auto it = system.windows.find(window);
    if (it == system.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return PostToQueue(system, *it->second.owner, MakeMessage(window, message, wParam, lParam));
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessage(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessage(window, message, wParam, lParam);
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto it = system.threads.find(threadId);
    if (it == system.threads.end()) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return 0;
    }
    return PostToQueue(system, *it->second, MakeMessage(nullptr, message, wParam, lParam));
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostThreadMessage(threadId, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostThreadMessage(threadId, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> self = system.Current();
    std::unique_lock<std::mutex> lock(system.mutex);
    auto it = system.windows.find(window);
    if (window == nullptr || it == system.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (it->second.owner == self) {
        lock.unlock();
        return detail::CallWindow(*self, window, message, wParam, lParam);
    }
    auto sent = std::make_shared<detail::SentMessage>();
    sent->hwnd = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    ThreadQueue& owner = *it->second.owner;
    owner.sent.push_back(sent);
    system.Wake(owner);
    for (;;) {
        // A thread that waits for its answer still answers the others, so two
        // threads sending to each other do not lock up.
        system.HandleSentLocked(lock, *self);
        if (sent->done)
            return sent->result;
        MessageSystem::WaitSpec spec;
        spec.what = "SendMessage";
        system.WaitLocked(lock, *self, spec, [&] { return sent->done || !self->sent.empty(); });
    }
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessage(window, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessage(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::lock_guard<std::mutex> guard(system.mutex);
    queue->quitPending = true;
    queue->quitCode = exitCode;
    system.Wake(*queue);
}

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    BOOL result = Retrieve(msg, window, filterMin, filterMax, true, true);
    if (result == 1 && msg->message == WM_QUIT)
        return 0;
    return result;
}

BOOL GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    return GetMessage(msg, window, filterMin, filterMax);
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    return GetMessage(msg, window, filterMin, filterMax);
}

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    BOOL result = Retrieve(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, false);
    return result == 1 ? 1 : 0;
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    return PeekMessage(msg, window, filterMin, filterMax, removeFlags);
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    return PeekMessage(msg, window, filterMin, filterMax, removeFlags);
}

BOOL TranslateMessage(const MSG*) { return 0; }

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg)
        return 0;
    std::shared_ptr<ThreadQueue> queue = System().Current();
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto callback = reinterpret_cast<TIMERPROC>(msg->lParam);
        callback(msg->hwnd, WM_TIMER, msg->wParam, static_cast<DWORD>(detail::NowMs()));
        return 0;
    }
    if (msg->hwnd == nullptr)
        return 0;
    return detail::CallWindow(*queue, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DispatchMessageW(const MSG* msg) { return DispatchMessage(msg); }
LRESULT DispatchMessageA(const MSG* msg) { return DispatchMessage(msg); }

// --- windows ---------------------------------------------------------------

HWND CreateWindowHandle(WindowProcedure* procedure)
{
    if (!procedure) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::lock_guard<std::mutex> guard(system.mutex);
    HWND window = reinterpret_cast<HWND>(system.nextWindow);
    system.nextWindow += 4;
    system.windows[window] = detail::WindowEntry{procedure, queue, false};
    return window;
}

BOOL DestroyWindow(HWND window)
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto it = system.windows.find(window);
        if (window == nullptr || it == system.windows.end() || it->second.destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (it->second.owner != queue) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        it->second.destroying = true;
    }
    struct Forget {
        HWND window;
        ~Forget() { detail::ForgetWindow(window); }
    } forget{window};
    detail::CallWindow(*queue, window, WM_DESTROY, 0, 0);
    return 1;
}

BOOL IsWindow(HWND window)
{
    if (window == nullptr)
        return 0;
    MessageSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    return system.windows.count(window) ? 1 : 0;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId)
{
    MessageSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto it = system.windows.find(window);
    if (window == nullptr || it == system.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (processId)
        *processId = static_cast<DWORD>(::getpid());
    return it->second.owner->id;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(window, message, wParam, lParam);
}

// --- timers ----------------------------------------------------------------

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback)
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::lock_guard<std::mutex> guard(system.mutex);
    if (window != nullptr) {
        auto it = system.windows.find(window);
        if (it == system.windows.end()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (it->second.owner != queue) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
    } else {
        id = system.nextThreadTimerId++;
    }
    const std::uint64_t interval =
        std::min<std::uint64_t>(std::max<UINT>(milliseconds, USER_TIMER_MINIMUM), USER_TIMER_MAXIMUM);
    const std::uint64_t now = detail::NowMs();
    for (detail::TimerEntry& timer : queue->timers) {
        if (timer.hwnd == window && timer.id == id) {
            timer.interval = interval;
            timer.due = system.NextDue(now, interval, true);
            timer.callback = callback;
            system.Wake(*queue);
            return id;
        }
    }
    queue->timers.push_back(detail::TimerEntry{window, id, interval, system.NextDue(now, interval, true), callback,
                                               system.nextTimerOrder++});
    system.Wake(*queue);
    return id;
}

void CoalesceTimers(bool on)
{
    MessageSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    system.coalesceTimers = on;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto& timers = queue->timers;
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->hwnd == window && it->id == id) {
            timers.erase(it);
            return 1;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

// --- loops -----------------------------------------------------------------

namespace {

using Pumped = PumpResult;

Pumped PumpOne()
{
    MSG msg;
    int sentHandled = 0;
    if (!Retrieve(&msg, nullptr, 0, 0, true, false, &sentHandled))
        // A sent message handled on the way counts: the loop's condition may
        // have changed.
        return sentHandled > 0 ? Pumped::Dispatched : Pumped::Idle;
    if (msg.message == WM_QUIT) {
        // Left for the loop outside this one.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return Pumped::Quit;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    return Pumped::Dispatched;
}

// Waits until the calling thread has something to retrieve, the deadline has
// come, or (for conditions outside the layer) a poll interval has passed.
void WaitForWork(std::uint64_t deadline, const char* what)
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::unique_lock<std::mutex> lock(system.mutex);
    MessageSystem::WaitSpec spec;
    spec.timers = true;
    spec.deadline = deadline;
    spec.reportsStall = deadline == detail::kNever;
    spec.what = what;
    spec.host = true;
    system.WaitLocked(lock, *queue, spec, [&] { return system.HasWorkLocked(*queue, MessageFilter{}, true); });
}

} // namespace

PumpResult PumpOnce() { return PumpOne(); }

BOOL WaitMessage()
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::unique_lock<std::mutex> lock(system.mutex);
    for (;;) {
        // A sent message handled here ends the wait too: the caller's loop
        // condition may have changed.
        if (system.HandleSentLocked(lock, *queue) > 0)
            return 1;
        if (system.HasWorkLocked(*queue, MessageFilter{}, true))
            return 1;
        MessageSystem::WaitSpec spec;
        spec.timers = true;
        spec.reportsStall = !queue->fromTThread;
        spec.what = "WaitMessage";
        spec.host = true;
        system.WaitLocked(lock, *queue, spec, [&] { return system.HasWorkLocked(*queue, MessageFilter{}, true); });
    }
}

bool PumpPendingMessages()
{
    for (;;) {
        switch (PumpOne()) {
        case Pumped::Dispatched:
            break;
        case Pumped::Idle:
            return true;
        case Pumped::Quit:
            return false;
        }
    }
}

bool PumpUntil(const std::function<bool()>& done)
{
    for (;;) {
        if (done())
            return true;
        switch (PumpOne()) {
        case Pumped::Dispatched:
            break;
        case Pumped::Quit:
            return false;
        case Pumped::Idle:
            WaitForWork(detail::kNever, "PumpUntil");
            break;
        }
    }
}

bool PumpFor(DWORD milliseconds)
{
    const std::uint64_t deadline = detail::NowMs() + milliseconds;
    for (;;) {
        switch (PumpOne()) {
        case Pumped::Dispatched:
            break;
        case Pumped::Quit:
            return false;
        case Pumped::Idle:
            // What falls due at the deadline itself is still handled.
            if (detail::NowMs() >= deadline)
                return true;
            WaitForWork(deadline, "PumpFor");
            break;
        }
    }
}

int HandleSentMessages()
{
    MessageSystem& system = System();
    std::shared_ptr<ThreadQueue> queue = system.Current();
    std::unique_lock<std::mutex> lock(system.mutex);
    return system.HandleSentLocked(lock, *queue);
}

} // namespace win
