// The framework's thread class.
//
// Two-phase start: the thread body (Execute) runs only after the most-derived
// constructor has finished. C++ has no hook after construction, so a thread
// is started by AfterConstruction() (which starts it unless it was created
// suspended) or by Start(); NewThread<T>(...) builds and starts in one step:
//     FLoadThread = win::NewThread<TGInfoLoadThread>(false);
// The thread's message queue and ThreadID exist from the constructor on.
//
// Destruction: the destructor terminates the thread and waits for it (as
// WaitFor). It runs after the derived class's part is gone, so a class whose
// Execute uses its own members (or calls its own virtual functions) makes its
// owner, or its own destructor, call Terminate() and WaitFor() first;
// otherwise Execute may use only the TThread part while it is being waited
// for. A thread that was never started is
// not run at destruction. A destructor whose wait can never end (under the
// virtual clock: every thread waits and nothing can come) aborts the process
// with a message rather than hang.
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/win/Types.h"

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace win {

namespace detail {
struct ThreadQueue;
}

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Misuse of a thread: waiting for itself, starting twice.
class EThread : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

class TThread {
public:
    explicit TThread(bool CreateSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts the thread unless it was created suspended. Call once, after the
    // most-derived constructor (NewThread does).
    void AfterConstruction();
    // Starts a thread created suspended (or not yet started). Raises EThread
    // when it runs already.
    void Start();
    void Resume() { Start(); }

    // Sets the terminated flag; Execute tests it.
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

    // Waits until Execute has returned and gives ReturnValue. While it waits it
    // handles messages that other threads send to the calling thread's windows
    // (so a worker blocked in SendMessage to the waiter can finish); it does
    // not dispatch posted messages or timers. A thread that was never started
    // is started first, with its terminated flag set. Raises EThread when
    // called by the thread itself.
    int WaitFor();

    DWORD ThreadID() const { return threadId_; }
    bool Finished() const { return finished_.load(); }
    bool Suspended() const { return !started_.load(); }
    // The exception that escaped Execute, if any (Execute's caller catches it).
    std::exception_ptr FatalException() const;

    // Settable at any time; read by the thread when Execute returns.
    std::atomic<bool> FreeOnTerminate{false};
    // Recorded only: the host scheduler is left alone.
    std::atomic<TThreadPriority> Priority{tpNormal};

protected:
    virtual void Execute() = 0;
    // Execute's result, as WaitFor returns it.
    int ReturnValue = 0;

private:
    void Run();

    std::shared_ptr<detail::ThreadQueue> queue_;
    DWORD threadId_ = 0;
    bool createSuspended_ = false;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> finished_{false};
    std::exception_ptr fatal_;
    void (*execute_)(TThread*) = nullptr;
    std::mutex threadMutex_; // guards thread_ (start, join, detach)
    std::thread thread_;
};

// Builds a T and starts it (unless T's constructor asked for a suspended
// start): the framework's `new T(...)` with its after-construction step.
template <class T, class... Args>
T* NewThread(Args&&... args)
{
    T* thread = new T(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
}

} // namespace win
