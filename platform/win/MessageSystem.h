// Internals of the message layer: the thread queues, the window registry and
// the one wait every blocking call of the layer goes through.
//
// One mutex guards the whole state; each queue has its own condition
// variable on that mutex. Window procedures, timer callbacks and the stall
// handler are always called with the mutex released.
//
// The virtual clock's rule: a thread waiting in the layer with nothing to do
// marks itself idle; whoever gives it work (a post, a send, a reply, the end
// of a thread it waits for) clears the mark. When every live thread is idle,
// the waiting thread that notices moves the clock to the earliest moment one
// of them asked to wake at (a due timer or a loop deadline); if nobody asked,
// nothing can ever come, and the waits that report stalls do so.
#pragma once

#include "platform/host/Seam.h"
#include "platform/win/HostEvents.h"
#include "platform/win/Messages.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace win::detail {

struct ThreadQueue;

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<ThreadQueue> sender;
};

struct TimerEntry {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    std::uint64_t interval = 0;
    std::uint64_t due = 0;
    TIMERPROC callback = nullptr;
    std::uint64_t order = 0; // creation order, for timers due at the same moment
};

inline constexpr std::uint64_t kNever = UINT64_MAX;

struct ThreadQueue : std::enable_shared_from_this<ThreadQueue> {
    DWORD id = 0;
    bool fromTThread = false;
    bool started = false; // an OS thread runs it
    bool ended = false;
    std::condition_variable cv;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
    std::vector<TimerEntry> timers;
    // Wait state (see the file comment).
    bool idle = false;
    std::uint64_t wakeAt = kNever;
};

struct WindowEntry {
    WindowProcedure* procedure = nullptr;
    std::shared_ptr<ThreadQueue> owner;
    bool destroying = false;
};

struct MessageFilter {
    HWND window = nullptr;
    UINT min = 0;
    UINT max = 0;
    bool Accepts(const MSG& msg) const;
    bool AcceptsNumber(UINT message) const;
};

class MessageSystem {
public:
    std::mutex mutex;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> threads; // live queues
    std::unordered_map<HWND, WindowEntry> windows;
    std::uintptr_t nextWindow = 0x10000;
    DWORD nextThreadId = 1000;
    std::uint64_t nextTimerOrder = 0;
    UINT_PTR nextThreadTimerId = 0x7F00;
    // The host event source and the queue of the thread that installed it.
    struct HostBinding {
        HostEventSource* source = nullptr;
        ThreadQueue* queue = nullptr;
        explicit operator bool() const { return source != nullptr; }
    };
    static HostBinding NoHost() { return {}; }
    host::Seam<HostBinding, host::SeamReaders::AnyThread> hosts{&NoHost};
    // When the host last had its turn (layer clock, ms).
    std::uint64_t hostTurnMs = 0;
    bool coalesceTimers = false; // see CoalesceTimers (Timers.h)
    // When a timer set (first) or ticking at `now` is next due.
    std::uint64_t NextDue(std::uint64_t now, std::uint64_t interval, bool first) const;

    // The calling thread's queue, registered on first use.
    std::shared_ptr<ThreadQueue> Current();
    // A queue for a TThread, not yet bound to an OS thread.
    std::shared_ptr<ThreadQueue> NewTThreadQueue();
    // Makes `queue` the calling thread's queue (the TThread's own thread).
    void BindCurrent(const std::shared_ptr<ThreadQueue>& queue);
    // A TThread's thread started running.
    void MarkStarted(const std::shared_ptr<ThreadQueue>& queue);
    // The thread of `queue` has ended: its windows go, senders waiting on it
    // are released with 0, posts to it fail from now on.
    void EndThread(const std::shared_ptr<ThreadQueue>& queue);

    // --- called with the mutex held (lock) ---
    void Wake(ThreadQueue& queue);
    void WakeAll();
    // The host source when `queue` is its thread's and the real clock runs.
    HostEventSource* HostFor(const ThreadQueue& queue) const;
    // Handles every message sent to `queue` (drops and retakes the lock).
    int HandleSentLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue);
    // The next message for `queue` after the sent ones: posted, quit, due timer.
    bool TakeLocked(ThreadQueue& queue, const MessageFilter& filter, bool remove, MSG* out);
    bool HasWorkLocked(ThreadQueue& queue, const MessageFilter& filter, bool timers);
    std::uint64_t EarliestTimerLocked(const ThreadQueue& queue, const MessageFilter& filter) const;
    void ReleaseSendersLocked(ThreadQueue& queue, HWND onlyWindow);

    struct WaitSpec {
        bool timers = false; // the wait ends when a timer is due...
        MessageFilter timerFilter; // ... one that this filter takes
        std::uint64_t deadline = kNever; // on the layer's clock
        bool reportsStall = true;
        const char* what = "";
        bool host = false; // a wait that may hand the host its turn
    };
    // Blocks until ready() or what the spec names; returns when something may
    // have changed (the caller checks again). May call the stall handler.
    void WaitLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, const WaitSpec& spec,
                    const std::function<bool()>& ready);

private:
    bool AllIdleLocked() const;
};

MessageSystem& System();

// Calls the window procedure of `hwnd` if the calling thread (queue) owns it.
LRESULT CallWindow(ThreadQueue& queue, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The layer's clock in milliseconds.
std::uint64_t NowMs();

// Removes a window whose procedure is going away on a thread that is not its
// owner (no WM_DESTROY); senders are released with 0.
void ForgetWindow(HWND hwnd);

} // namespace win::detail
