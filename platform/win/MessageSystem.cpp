#include "platform/win/MessageSystem.h"

#include "platform/win/Clock.h"
#include "platform/win/LastError.h"
#include "platform/win/MessageLoop.h"

#include <algorithm>
#include <chrono>

namespace win::detail {

namespace {

// A wait under the virtual clock looks again this often for changes that
// come without a wake-up (the clock moved by a test, a flag set by a thread
// outside the layer).
constexpr auto kVirtualPoll = std::chrono::milliseconds(5);
// ... and gives up after this long without being woken.
constexpr auto kVirtualGuard = std::chrono::seconds(30);
// A real wait without a deadline looks again this often (a clock installed
// meanwhile, a loop condition set without a message).
constexpr auto kRealPoll = std::chrono::milliseconds(50);

// The calling thread's queue. The plain pointer stays readable after the
// thread's thread-local objects are destroyed (at exit, static destructors
// may still destroy windows); the binding keeps the queue alive and ends the
// queue of a thread the layer did not start when that thread ends.
thread_local ThreadQueue* currentQueue = nullptr;
thread_local bool bindingGone = false;

struct ThreadBinding {
    std::shared_ptr<ThreadQueue> queue;
    bool ownedByBinding = false;
    ~ThreadBinding()
    {
        currentQueue = nullptr;
        bindingGone = true;
        if (queue && ownedByBinding)
            System().EndThread(queue);
    }
};

thread_local ThreadBinding binding;

std::mutex stallHandlerMutex;
StallHandler stallHandler;

[[noreturn]] void ReportStall(const std::string& what)
{
    StallHandler handler;
    {
        std::lock_guard<std::mutex> guard(stallHandlerMutex);
        handler = stallHandler;
    }
    if (handler)
        handler(what);
    throw EMessageLoopStalled(what);
}

} // namespace

bool MessageFilter::AcceptsNumber(UINT message) const
{
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool MessageFilter::Accepts(const MSG& msg) const
{
    if (!AcceptsNumber(msg.message))
        return false;
    if (window == nullptr)
        return true;
    if (window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
        return msg.hwnd == nullptr;
    return msg.hwnd == window;
}

MessageSystem& System()
{
    // Never destroyed: threads may end (and unregister) during static
    // destruction.
    static MessageSystem* system = new MessageSystem;
    return *system;
}

std::uint64_t NowMs() { return CurrentClock().MonotonicMs(); }

std::shared_ptr<ThreadQueue> MessageSystem::Current()
{
    if (currentQueue)
        return currentQueue->shared_from_this();
    auto queue = std::make_shared<ThreadQueue>();
    {
        std::lock_guard<std::mutex> guard(mutex);
        queue->id = nextThreadId++;
        queue->started = true;
        threads[queue->id] = queue;
    }
    currentQueue = queue.get();
    if (bindingGone) {
        // Used again while the thread ends: a queue that lives to the end.
        std::lock_guard<std::mutex> guard(mutex);
        static auto* lateQueues = new std::vector<std::shared_ptr<ThreadQueue>>;
        lateQueues->push_back(queue);
    } else {
        binding.queue = queue;
        binding.ownedByBinding = true;
    }
    return queue;
}

std::shared_ptr<ThreadQueue> MessageSystem::NewTThreadQueue()
{
    auto queue = std::make_shared<ThreadQueue>();
    queue->fromTThread = true;
    std::lock_guard<std::mutex> guard(mutex);
    queue->id = nextThreadId++;
    threads[queue->id] = queue;
    return queue;
}

void MessageSystem::BindCurrent(const std::shared_ptr<ThreadQueue>& queue)
{
    binding.queue = queue;
    binding.ownedByBinding = false;
    currentQueue = queue.get();
}

void MessageSystem::MarkStarted(const std::shared_ptr<ThreadQueue>& queue)
{
    std::lock_guard<std::mutex> guard(mutex);
    queue->started = true;
    queue->idle = false;
}

void MessageSystem::EndThread(const std::shared_ptr<ThreadQueue>& queue)
{
    std::lock_guard<std::mutex> guard(mutex);
    if (queue->ended)
        return;
    queue->ended = true;
    threads.erase(queue->id);
    for (auto it = windows.begin(); it != windows.end();) {
        if (it->second.owner == queue)
            it = windows.erase(it);
        else
            ++it;
    }
    ReleaseSendersLocked(*queue, nullptr);
    queue->posted.clear();
    queue->timers.clear();
    queue->quitPending = false;
    WakeAll();
}

void MessageSystem::Wake(ThreadQueue& queue)
{
    queue.idle = false;
    queue.cv.notify_all();
    const HostBinding bound = hosts.Installed();
    if (bound && bound.queue == &queue)
        bound.source->Wake();
}

HostEventSource* MessageSystem::HostFor(const ThreadQueue& queue) const
{
    const HostBinding bound = hosts.Installed();
    if (!bound || bound.queue != &queue)
        return nullptr;
    if (dynamic_cast<VirtualClock*>(&CurrentClock()))
        return nullptr;
    return bound.source;
}

void MessageSystem::WakeAll()
{
    for (auto& [id, queue] : threads)
        Wake(*queue);
}

void MessageSystem::ReleaseSendersLocked(ThreadQueue& queue, HWND onlyWindow)
{
    for (auto it = queue.sent.begin(); it != queue.sent.end();) {
        SentMessage& sent = **it;
        if (onlyWindow == nullptr || sent.hwnd == onlyWindow) {
            sent.result = 0;
            sent.done = true;
            if (sent.sender)
                Wake(*sent.sender);
            it = queue.sent.erase(it);
        } else {
            ++it;
        }
    }
}

LRESULT CallWindow(ThreadQueue& queue, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowProcedure* procedure = nullptr;
    {
        MessageSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto it = system.windows.find(hwnd);
        if (it == system.windows.end() || it->second.owner.get() != &queue)
            return 0;
        procedure = it->second.procedure;
    }
    // Only the owner destroys its windows, and it is this thread: the
    // procedure stays valid at least until it returns to us.
    return procedure->WindowProc(hwnd, message, wParam, lParam);
}

int MessageSystem::HandleSentLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue)
{
    int handled = 0;
    while (!queue.sent.empty()) {
        std::shared_ptr<SentMessage> sent = queue.sent.front();
        queue.sent.pop_front();
        lock.unlock();
        LRESULT result = 0;
        try {
            result = CallWindow(queue, sent->hwnd, sent->message, sent->wParam, sent->lParam);
        } catch (...) {
            // The sender is released with 0; the failure belongs to the receiver.
            lock.lock();
            sent->done = true;
            if (sent->sender)
                Wake(*sent->sender);
            throw;
        }
        lock.lock();
        sent->result = result;
        sent->done = true;
        if (sent->sender)
            Wake(*sent->sender);
        ++handled;
    }
    return handled;
}

std::uint64_t MessageSystem::EarliestTimerLocked(const ThreadQueue& queue, const MessageFilter& filter) const
{
    if (!filter.AcceptsNumber(WM_TIMER))
        return kNever;
    std::uint64_t earliest = kNever;
    for (const TimerEntry& timer : queue.timers) {
        MSG probe;
        probe.hwnd = timer.hwnd;
        probe.message = WM_TIMER;
        if (filter.Accepts(probe))
            earliest = std::min(earliest, timer.due);
    }
    return earliest;
}

bool MessageSystem::HasWorkLocked(ThreadQueue& queue, const MessageFilter& filter, bool timers)
{
    if (!queue.sent.empty())
        return true;
    for (const MSG& msg : queue.posted)
        if (filter.Accepts(msg))
            return true;
    if (queue.quitPending && filter.AcceptsNumber(WM_QUIT))
        return true;
    if (timers) {
        std::uint64_t due = EarliestTimerLocked(queue, filter);
        if (due != kNever && due <= NowMs())
            return true;
    }
    return false;
}

bool MessageSystem::TakeLocked(ThreadQueue& queue, const MessageFilter& filter, bool remove, MSG* out)
{
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!filter.Accepts(*it))
            continue;
        *out = *it;
        if (remove)
            queue.posted.erase(it);
        return true;
    }
    if (queue.quitPending && filter.AcceptsNumber(WM_QUIT)) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(queue.quitCode);
        out->time = static_cast<DWORD>(NowMs());
        if (remove)
            queue.quitPending = false;
        return true;
    }
    if (!filter.AcceptsNumber(WM_TIMER))
        return false;
    const std::uint64_t now = NowMs();
    TimerEntry* next = nullptr;
    for (TimerEntry& timer : queue.timers) {
        MSG probe;
        probe.hwnd = timer.hwnd;
        probe.message = WM_TIMER;
        if (timer.due > now || !filter.Accepts(probe))
            continue;
        if (!next || timer.due < next->due || (timer.due == next->due && timer.order < next->order))
            next = &timer;
    }
    if (!next)
        return false;
    *out = MSG{};
    out->hwnd = next->hwnd;
    out->message = WM_TIMER;
    out->wParam = next->id;
    out->lParam = reinterpret_cast<LPARAM>(next->callback);
    out->time = static_cast<DWORD>(now);
    // One tick however many periods went by; the next is one period on.
    if (remove)
        next->due = NextDue(now, next->interval, false);
    return true;
}

std::uint64_t MessageSystem::NextDue(std::uint64_t now, std::uint64_t interval, bool first) const
{
    const std::uint64_t plain = now + interval;
    if (!coalesceTimers || interval == 0)
        return plain;
    const std::uint64_t below = plain / interval * interval;
    if (below == plain)
        return plain;
    // Never earlier than one interval after the timer was set; a tick taken
    // a little late keeps its period.
    if (first || plain - below >= interval - (plain - below))
        return below + interval;
    return below;
}

bool MessageSystem::AllIdleLocked() const
{
    for (const auto& [id, queue] : threads) {
        if (!queue->started)
            continue; // cannot act until someone starts it
        if (!queue->idle)
            return false;
    }
    return true;
}

void MessageSystem::WaitLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, const WaitSpec& spec,
                               const std::function<bool()>& ready)
{
    auto leaveIdle = [&] {
        queue.idle = false;
        queue.wakeAt = kNever;
    };
    struct IdleGuard {
        std::unique_lock<std::mutex>& lock;
        const decltype(leaveIdle)& leave;
        ~IdleGuard()
        {
            if (lock.owns_lock())
                leave();
        }
    } guard{lock, leaveIdle};
    auto stall = [&](const std::string& what) {
        leaveIdle();
        lock.unlock();
        ReportStall(what);
    };

    const auto realStart = std::chrono::steady_clock::now();
    for (;;) {
        if (ready())
            return;
        Clock& clock = CurrentClock();
        const std::uint64_t now = clock.MonotonicMs();
        if (spec.deadline != kNever && now >= spec.deadline)
            return;
        std::uint64_t wakeAt = spec.deadline;
        if (spec.timers) {
            std::uint64_t due = EarliestTimerLocked(queue, spec.timerFilter);
            if (due != kNever && due <= now)
                return;
            wakeAt = std::min(wakeAt, due);
        }
        queue.idle = true;
        queue.wakeAt = wakeAt;

        auto* virtualClock = dynamic_cast<VirtualClock*>(&clock);
        if (!virtualClock) {
            if (HostEventSource* source = spec.host ? HostFor(queue) : nullptr) {
                // The host waits instead of us; a Wake reaches it through Wake().
                const std::uint64_t timeout =
                    wakeAt == kNever ? kRealPoll.count() : std::min<std::uint64_t>(wakeAt - now, 60000);
                hostTurnMs = now;
                lock.unlock();
                try {
                    source->Wait(timeout);
                } catch (...) {
                    lock.lock();
                    throw;
                }
                lock.lock();
                return;
            }
            if (wakeAt == kNever) {
                queue.cv.wait_for(lock, kRealPoll);
            } else {
                queue.cv.wait_for(lock, std::chrono::milliseconds(std::min<std::uint64_t>(wakeAt - now, 60000)));
            }
            return;
        }

        if (AllIdleLocked()) {
            std::uint64_t earliest = kNever;
            for (const auto& [id, other] : threads)
                if (other->started)
                    earliest = std::min(earliest, other->wakeAt);
            if (earliest != kNever) {
                if (earliest > now)
                    virtualClock->Advance(earliest - now);
                WakeAll();
                continue;
            }
            if (spec.reportsStall) {
                stall(std::string(spec.what) + ": nothing can come (every thread waits, no timer is due)");
            }
            // Let the waits that report stalls notice it.
            for (const auto& [id, other] : threads)
                if (other.get() != &queue)
                    other->cv.notify_all();
        }
        const bool woken = queue.cv.wait_for(lock, kVirtualPoll, [&] { return !queue.idle; });
        if (woken)
            return;
        if (spec.reportsStall && std::chrono::steady_clock::now() - realStart > kVirtualGuard) {
            stall(std::string(spec.what) + ": no progress for 30 s of real time");
        }
    }
}

void ForgetWindow(HWND hwnd)
{
    MessageSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto it = system.windows.find(hwnd);
    if (it == system.windows.end())
        return;
    std::shared_ptr<ThreadQueue> owner = it->second.owner;
    system.windows.erase(it);
    system.ReleaseSendersLocked(*owner, hwnd);
    auto& posted = owner->posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                 posted.end());
    auto& timers = owner->timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const TimerEntry& t) { return t.hwnd == hwnd; }),
                 timers.end());
}

} // namespace win::detail

namespace win {

HostEventSource* InstallHostEventSource(HostEventSource* source)
{
    detail::MessageSystem& system = detail::System();
    std::shared_ptr<detail::ThreadQueue> queue = system.Current();
    return system.hosts.Install({source, source ? queue.get() : nullptr}).source;
}

StallHandler SetStallHandler(StallHandler handler)
{
    std::lock_guard<std::mutex> guard(detail::stallHandlerMutex);
    StallHandler previous = std::move(detail::stallHandler);
    detail::stallHandler = std::move(handler);
    return previous;
}

} // namespace win
