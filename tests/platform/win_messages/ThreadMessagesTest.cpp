// The message layer across threads, and TThread. Every suite here runs under
// ThreadSanitizer (its name holds "Thread").
#include "MessageRecorder.h"

#include "platform/win/MessageSystem.h"
#include "tests/support/BoundedWait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace winmsg_test {
namespace {

using Events = std::vector<Event>;

// A thread whose body is a function (the tests' own TThread subclasses).
class TLambdaThread : public TThread {
public:
    TLambdaThread(bool createSuspended, std::function<void(TLambdaThread&)> body)
        : TThread(createSuspended), body_(std::move(body))
    {
    }
    ~TLambdaThread() override
    {
        // Execute uses body_: end the thread before the member goes.
        Terminate();
        WaitFor();
    }
    using TThread::ReturnValue;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(TLambdaThread&)> body_;
};

// Blocks until `thread` has a message sent to it waiting to be handled
// (so a test can fix the order of sends and posts it then handles).
void WaitForPendingSend(DWORD thread)
{
    detail::MessageSystem& system = detail::System();
    test_support::WaitUntil(
        [&] {
            std::lock_guard<std::mutex> guard(system.mutex);
            auto it = system.threads.find(thread);
            return it != system.threads.end() && !it->second->sent.empty();
        },
        "a message sent to the thread");
}

class WinMessagesThread : public VirtualClockTest {};

TEST_F(WinMessagesThread, SendAcrossThreadsIsHandledInsideTheReceiversModalLoop)
{
    EventLog log;
    bool answered = false;
    std::atomic<LRESULT> result{0};
    TLambdaThread* worker = nullptr;
    HWND target = nullptr;
    RecordingWindow window(log, "W", [&](TMessage& m) {
        if (m.Msg == WM_APP + 1) {
            log.Step("modal begin");
            // The worker starts only now, so its send meets the modal loop.
            worker = NewThread<TLambdaThread>(false,
                                              [&](TLambdaThread&) { result = SendMessage(target, WM_APP + 2, 7, 8); });
            PumpUntil([&] { return answered; });
            log.Step("modal end");
        } else if (m.Msg == WM_APP + 2) {
            answered = true;
            m.Result = 42;
        }
    });
    target = window.Handle();
    PostMessage(target, WM_APP + 1, 0, 0);
    PumpPendingMessages();
    delete worker;
    EXPECT_EQ(result.load(), 42);
    EXPECT_EQ(log.Events(),
              (Events{{"W", WM_APP + 1, 0, 0}, Step("modal begin"), {"W", WM_APP + 2, 7, 8}, Step("modal end")}));
}

TEST_F(WinMessagesThread, LoopOfPumpOnceAndWaitMessageSeesAConditionSetByASentMessage)
{
    // The framework's modal loop shape: one step, and the idle wait when
    // nothing was there.
    EventLog log;
    bool answered = false;
    RecordingWindow window(log, "W", [&](TMessage& m) { answered = m.Msg == WM_APP + 2; });
    HWND target = window.Handle();
    TLambdaThread* worker =
        NewThread<TLambdaThread>(false, [&](TLambdaThread&) { SendMessage(target, WM_APP + 2, 0, 0); });
    int steps = 0;
    while (!answered) {
        if (PumpOnce() == PumpResult::Idle)
            WaitMessage();
        ASSERT_LT(++steps, 1000);
    }
    delete worker;
    EXPECT_EQ(log.Events(), (Events{{"W", WM_APP + 2, 0, 0}}));
}

TEST_F(WinMessagesThread, SentMessagesGoBeforePostedOnes)
{
    EventLog log;
    RecordingWindow window(log, "W");
    HWND target = window.Handle();
    const DWORD mainThread = GetCurrentThreadId();
    TLambdaThread* worker = NewThread<TLambdaThread>(false, [&](TLambdaThread&) {
        PostMessage(target, WM_APP + 1, 0, 0);
        PostMessage(target, WM_APP + 2, 0, 0);
        SendMessage(target, WM_APP + 3, 0, 0);
        PostMessage(target, WM_APP + 4, 0, 0);
    });
    WaitForPendingSend(mainThread);
    EXPECT_TRUE(PumpUntil([&] { return log.Size() == 4; }));
    delete worker;
    EXPECT_EQ(
        log.Events(),
        (Events{{"W", WM_APP + 3, 0, 0}, {"W", WM_APP + 1, 0, 0}, {"W", WM_APP + 2, 0, 0}, {"W", WM_APP + 4, 0, 0}}));
}

TEST_F(WinMessagesThread, DestroyingTheWindowReleasesAWaitingSenderWithZero)
{
    EventLog log;
    auto window = std::make_unique<RecordingWindow>(log, "W", [](TMessage& m) { m.Result = 5; });
    HWND target = window->Handle();
    std::atomic<LRESULT> result{-1};
    TLambdaThread* worker =
        NewThread<TLambdaThread>(false, [&](TLambdaThread&) { result = SendMessage(target, WM_APP + 1, 0, 0); });
    WaitForPendingSend(GetCurrentThreadId());
    window.reset(); // without handling the send
    worker->WaitFor();
    delete worker;
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(log.Events(), (Events{{"W", WM_DESTROY, 0, 0}}));
}

TEST_F(WinMessagesThread, SendToAWindowWhoseThreadEndsReturnsZero)
{
    // A window left behind by its thread: the thread's end removes it.
    struct Answer : WindowProcedure {
        LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 5; }
    } answer;
    std::atomic<HWND> target{nullptr};
    TLambdaThread* owner = NewThread<TLambdaThread>(false, [&](TLambdaThread&) {
        target = CreateWindowHandle(&answer);
        // End, without handling it, once main's send waits in this queue.
        WaitForPendingSend(GetCurrentThreadId());
    });
    test_support::WaitUntil([&] { return target.load() != nullptr; }, "the owner's window");
    EXPECT_EQ(SendMessage(target, WM_APP, 0, 0), 0);
    delete owner;
    EXPECT_FALSE(IsWindow(target));
}

TEST_F(WinMessagesThread, MessagePostedBeforeTheThreadRunsIsKept)
{
    EventLog log;
    TLambdaThread* worker = NewThread<TLambdaThread>(true, [&](TLambdaThread&) {
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0))
            log.Add(Event{"worker", msg.message, msg.wParam, msg.lParam});
        log.Step("quit");
    });
    EXPECT_TRUE(worker->Suspended());
    EXPECT_NE(worker->ThreadID(), 0u);
    EXPECT_NE(worker->ThreadID(), GetCurrentThreadId());
    ASSERT_TRUE(PostThreadMessage(worker->ThreadID(), WM_APP + 7, 1, 2));
    ASSERT_TRUE(PostThreadMessage(worker->ThreadID(), WM_QUIT, 0, 0));
    worker->Start();
    worker->WaitFor();
    EXPECT_TRUE(worker->Finished());
    delete worker;
    EXPECT_EQ(log.Events(), (Events{{"worker", WM_APP + 7, 1, 2}, Step("quit")}));
}

TEST_F(WinMessagesThread, PostToAnEndedThreadFails)
{
    TLambdaThread* worker = NewThread<TLambdaThread>(false, [](TLambdaThread&) {});
    const DWORD id = worker->ThreadID();
    worker->WaitFor();
    SetLastError(0);
    EXPECT_EQ(PostThreadMessage(id, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    delete worker;
}

TEST_F(WinMessagesThread, WaitForHandlesWhatTheWorkerSendsButNotPostedMessages)
{
    EventLog log;
    RecordingWindow window(log, "W", [](TMessage& m) { m.Result = static_cast<LRESULT>(m.WParam) + 1; });
    HWND target = window.Handle();
    PostMessage(target, WM_APP + 1, 0, 0);
    std::vector<LRESULT> answers;
    TLambdaThread* worker = NewThread<TLambdaThread>(false, [&](TLambdaThread& self) {
        answers.push_back(SendMessage(target, WM_APP + 8, 10, 0));
        answers.push_back(SendMessage(target, WM_APP + 9, 20, 0));
        self.ReturnValue = 77;
    });
    EXPECT_EQ(worker->WaitFor(), 77);
    EXPECT_EQ(answers, (std::vector<LRESULT>{11, 21}));
    EXPECT_EQ(log.Events(), (Events{{"W", WM_APP + 8, 10, 0}, {"W", WM_APP + 9, 20, 0}}));
    EXPECT_EQ(worker->WaitFor(), 77); // again: at once
    delete worker;
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 3u);
}

// The loader's shape: a worker loop on GetMessage that answers with a send;
// the owner terminates, posts WM_QUIT and destroys it while a load runs.
class TLoaderLikeThread : public TThread {
public:
    TLoaderLikeThread(EventLog& log, HWND answerTo) : TThread(false), log_(log), answerTo_(answerTo) {}
    ~TLoaderLikeThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        MSG msg;
        while (!Terminated()) {
            if (!GetMessage(&msg, nullptr, 0, 0))
                break;
            if (msg.message == WM_APP + 7) {
                log_.Step("load", msg.wParam);
                SendMessage(answerTo_, WM_APP + 9, msg.wParam, 0);
                log_.Step("answered", msg.wParam);
            }
        }
        log_.Step("worker end");
    }

private:
    EventLog& log_;
    HWND answerTo_;
};

TEST_F(WinMessagesThread, DestroyingAWorkerBlockedInASendToTheDestroyerDoesNotDeadlock)
{
    EventLog log;
    RecordingWindow window(log, "W");
    auto* worker = NewThread<TLoaderLikeThread>(log, window.Handle());
    ASSERT_TRUE(PostThreadMessage(worker->ThreadID(), WM_APP + 7, 1, 0));
    WaitForPendingSend(GetCurrentThreadId()); // the load's answer waits for us
    worker->Terminate();
    worker->Priority = tpHigher;
    PostThreadMessage(worker->ThreadID(), WM_QUIT, 0, 0);
    delete worker;
    EXPECT_EQ(log.Events(),
              (Events{Step("load", 1), {"W", WM_APP + 9, 1, 0}, Step("answered", 1), Step("worker end")}));
}

std::atomic<int> busyRounds{0};

// Uses only the TThread part of itself: the base destructor waits for it
// after the derived part is gone.
void SpinUntilTerminated(TThread& thread)
{
    while (!thread.Terminated()) {
        ++busyRounds;
        std::this_thread::yield();
    }
}

class TBusyThread : public TThread {
public:
    TBusyThread() : TThread(false) {}

protected:
    void Execute() override { SpinUntilTerminated(*this); }
};

TEST_F(WinMessagesThread, DestructorDuringWorkTerminatesAndWaits)
{
    busyRounds = 0;
    auto* busy = NewThread<TBusyThread>();
    test_support::WaitUntil([] { return busyRounds.load() >= 3; }, "three busy rounds");
    delete busy;
    const int seen = busyRounds.load();
    std::this_thread::yield();
    EXPECT_EQ(busyRounds.load(), seen);
}

class TNeverRunThread : public TThread {
public:
    explicit TNeverRunThread(std::atomic<bool>& ran) : TThread(true), ran_(ran) {}

protected:
    void Execute() override { ran_ = true; }

private:
    std::atomic<bool>& ran_;
};

TEST_F(WinMessagesThread, SuspendedThreadDestroyedUnstartedNeverRuns)
{
    std::atomic<bool> ran{false};
    auto* idle = NewThread<TNeverRunThread>(ran);
    const DWORD id = idle->ThreadID();
    EXPECT_TRUE(PostThreadMessage(id, WM_APP, 0, 0));
    delete idle;
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(PostThreadMessage(id, WM_APP, 0, 0), 0);
}

TEST_F(WinMessagesThread, WaitForStartsANeverStartedThreadTerminated)
{
    std::atomic<int> sawTerminated{-1};
    auto* idle =
        NewThread<TLambdaThread>(true, [&](TLambdaThread& self) { sawTerminated = self.Terminated() ? 1 : 0; });
    idle->WaitFor();
    EXPECT_EQ(sawTerminated.load(), 1);
    delete idle;
}

TEST_F(WinMessagesThread, ExecutesFailureIsKeptAndWaitForOnItselfRaises)
{
    std::atomic<bool> selfWaitRaised{false};
    auto* worker = NewThread<TLambdaThread>(false, [&](TLambdaThread& self) {
        try {
            self.WaitFor();
        } catch (const EThread&) {
            selfWaitRaised = true;
        }
        throw rtl::Exception(u"load failed");
    });
    worker->WaitFor();
    EXPECT_TRUE(selfWaitRaised.load());
    ASSERT_TRUE(worker->FatalException());
    try {
        std::rethrow_exception(worker->FatalException());
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message, u"load failed");
    }
    EXPECT_THROW(worker->Start(), EThread);
    delete worker;
}

TEST_F(WinMessagesThread, FreeOnTerminateDeletesTheThreadObject)
{
    static std::atomic<int> destroyed{0};
    destroyed = 0;
    class TSelfFreeing : public TThread {
    public:
        TSelfFreeing() : TThread(true) { FreeOnTerminate = true; }
        ~TSelfFreeing() override { ++destroyed; }

    protected:
        void Execute() override {}
    };
    auto* thread = NewThread<TSelfFreeing>();
    thread->Start();
    test_support::WaitUntil([&] { return destroyed.load() != 0; }, "the thread freeing itself");
    EXPECT_EQ(destroyed.load(), 1);
}

TEST_F(WinMessagesThread, TwoThreadsSendingToEachOtherBothGetAnswers)
{
    EventLog log;
    std::atomic<HWND> workerWindow{nullptr};
    RecordingWindow mainWindow(log, "main", [](TMessage& m) { m.Result = 100; });
    HWND mainHandle = mainWindow.Handle();
    auto* worker = NewThread<TLambdaThread>(false, [&](TLambdaThread&) {
        // The worker's procedure sends back to main while main waits for it.
        RecordingWindow own(log, "worker", [&](TMessage& m) {
            if (m.Msg == WM_APP + 1)
                m.Result = SendMessage(mainHandle, WM_APP + 2, 0, 0) + 1;
        });
        workerWindow = own.Handle();
        PumpUntil([&] { return log.Size() >= 2; });
        MSG msg;
        // Stay until the end: the window must live while main may send.
        while (GetMessage(&msg, nullptr, 0, 0))
            DispatchMessage(&msg);
    });
    test_support::WaitUntil([&] { return workerWindow.load() != nullptr; }, "the worker's window");
    EXPECT_EQ(SendMessage(workerWindow, WM_APP + 1, 0, 0), 101);
    PostThreadMessage(worker->ThreadID(), WM_QUIT, 0, 0);
    delete worker;
    EXPECT_EQ(log.Events(),
              (Events{{"worker", WM_APP + 1, 0, 0}, {"main", WM_APP + 2, 0, 0}, {"worker", WM_DESTROY, 0, 0}}));
}

TEST_F(WinMessagesThread, VirtualClockMovesToAnotherThreadsTimerWhenEveryThreadWaits)
{
    EventLog log;
    std::atomic<bool> ticked{false};
    RecordingWindow mainWindow(log, "main", [&](TMessage& m) { ticked = m.Msg == WM_APP + 5; });
    HWND mainHandle = mainWindow.Handle();
    auto* worker = NewThread<TLambdaThread>(false, [&](TLambdaThread&) {
        EventLog own;
        RecordingWindow window(own, "timer", [&](TMessage& m) {
            if (m.Msg == WM_TIMER)
                PostMessage(mainHandle, WM_APP + 5, 0, 0);
        });
        SetTimer(window.Handle(), 1, 2500, nullptr);
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0))
            DispatchMessage(&msg);
    });
    EXPECT_TRUE(PumpUntil([&] { return ticked.load(); }));
    EXPECT_EQ(ElapsedMs(), 2500u);
    PostThreadMessage(worker->ThreadID(), WM_QUIT, 0, 0);
    delete worker;
}

TEST_F(WinMessagesThread, WaitForAWorkerThatCannotEndFailsInsteadOfHanging)
{
    auto* worker = NewThread<TLambdaThread>(false, [](TLambdaThread&) {
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0)) {}
    });
    // Terminated is set, but the worker waits for a message that nobody posts.
    worker->Terminate();
    EXPECT_THROW(worker->WaitFor(), EMessageLoopStalled);
    PostThreadMessage(worker->ThreadID(), WM_QUIT, 0, 0);
    delete worker;
}

TEST_F(WinMessagesThread, EveryThreadHasItsOwnIdAndCom)
{
    EXPECT_EQ(CoInitialize(nullptr), 0);
    std::atomic<DWORD> otherId{0};
    std::atomic<HRESULT> otherFirst{-1};
    std::thread other([&] {
        otherId = GetCurrentThreadId();
        otherFirst = CoInitialize(nullptr);
        CoUninitialize();
    });
    other.join();
    EXPECT_NE(otherId.load(), GetCurrentThreadId());
    EXPECT_EQ(otherFirst.load(), 0);
    EXPECT_EQ(CoInitializeCount(), 1);
    CoUninitialize();
}

} // namespace
} // namespace winmsg_test
