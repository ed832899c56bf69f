// The message layer on one thread: posted order, sends to the own thread,
// destroyed windows, timers, quit in nested loops, stalls, bad arguments.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/wait.h>
#include <unistd.h>

namespace winmsg_test {
namespace {

using Events = std::vector<Event>;

const HWND kBogusWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));

class WinMessages : public VirtualClockTest {};

TEST_F(WinMessages, BadArgumentsFailWithTheirErrorCode)
{
    SetLastError(0);
    EXPECT_EQ(PostMessage(kBogusWindow, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_EQ(SendMessage(kBogusWindow, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_EQ(SendMessage(nullptr, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_EQ(PostThreadMessage(0, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    SetLastError(0);
    EXPECT_EQ(DestroyWindow(kBogusWindow), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_EQ(SetTimer(kBogusWindow, 1, 100, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(KillTimer(kBogusWindow, 1), 0);
    SetLastError(0);
    EXPECT_EQ(CreateWindowHandle(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetMessage(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(PeekMessage(nullptr, nullptr, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(IsWindow(nullptr), 0);
    EXPECT_EQ(IsWindow(kBogusWindow), 0);
    EXPECT_EQ(GetWindowThreadProcessId(kBogusWindow, nullptr), 0u);
    EXPECT_EQ(DispatchMessage(nullptr), 0);
}

TEST_F(WinMessages, PostedMessagesArriveInOrderAndThreadMessagesAreNotDispatched)
{
    EventLog log;
    RecordingWindow a(log, "A"), b(log, "B");
    EXPECT_NE(a.Handle(), b.Handle());
    EXPECT_EQ(GetWindowThreadProcessId(a.Handle(), nullptr), GetCurrentThreadId());

    ASSERT_TRUE(PostMessage(a.Handle(), WM_APP + 1, 1, 10));
    ASSERT_TRUE(PostMessage(b.Handle(), WM_APP + 2, 2, 20));
    ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_APP + 3, 3, 30));
    ASSERT_TRUE(PostMessage(nullptr, WM_APP + 4, 4, 40)); // a thread message too
    ASSERT_TRUE(PostMessage(a.Handle(), WM_APP + 5, 5, 50));

    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(msg);
        DispatchMessage(&msg);
    }
    ASSERT_EQ(taken.size(), 5u);
    EXPECT_EQ(taken[2].hwnd, nullptr);
    EXPECT_EQ(taken[2].message, WM_APP + 3u);
    EXPECT_EQ(taken[3].hwnd, nullptr);
    EXPECT_EQ(taken[3].message, WM_APP + 4u);
    EXPECT_EQ(log.Events(), (Events{{"A", WM_APP + 1, 1, 10}, {"B", WM_APP + 2, 2, 20}, {"A", WM_APP + 5, 5, 50}}));
}

TEST_F(WinMessages, PeekFiltersByWindowAndRangeAndNoRemoveLeavesTheMessage)
{
    EventLog log;
    RecordingWindow a(log, "A"), b(log, "B");
    PostMessage(a.Handle(), WM_APP + 1, 0, 0);
    PostMessage(b.Handle(), WM_APP + 2, 0, 0);
    PostMessage(nullptr, WM_USER, 0, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, b.Handle(), 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_APP + 2u);
    ASSERT_TRUE(PeekMessage(&msg, reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_APP + 3, WM_APP + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_APP + 2, WM_APP + 2, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b.Handle());
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a.Handle());
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinMessages, SendToOwnWindowCallsItsProcedureAtOnce)
{
    EventLog log;
    RecordingWindow a(log, "A", [](TMessage& m) { m.Result = static_cast<LRESULT>(m.WParam * 2); });
    PostMessage(a.Handle(), WM_APP + 1, 0, 0);
    EXPECT_EQ(SendMessage(a.Handle(), WM_APP + 2, 21, 0), 42);
    // The send did not wait for the queue.
    EXPECT_EQ(log.Events(), (Events{{"A", WM_APP + 2, 21, 0}}));
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 2u);
}

TEST_F(WinMessages, DestroyedWindowGetsNothingMoreAndItsHandleIsNotReused)
{
    EventLog log;
    HWND gone = nullptr;
    {
        RecordingWindow a(log, "A");
        gone = a.Handle();
        PostMessage(gone, WM_APP + 1, 0, 0);
        SetTimer(gone, 7, 10, nullptr);
    }
    EXPECT_FALSE(IsWindow(gone));
    clock.Advance(100);
    EXPECT_TRUE(PumpPendingMessages());
    EXPECT_EQ(SendMessage(gone, WM_APP + 2, 0, 0), 0);
    EXPECT_EQ(PostMessage(gone, WM_APP + 3, 0, 0), 0);
    EXPECT_EQ(log.Events(), (Events{{"A", WM_DESTROY, 0, 0}}));

    RecordingWindow b(log, "B");
    EXPECT_NE(b.Handle(), gone);
    // A stale message naming the old handle is dropped, never sent to another window.
    MSG stale{};
    stale.hwnd = gone;
    stale.message = WM_APP;
    EXPECT_EQ(DispatchMessage(&stale), 0);
    EXPECT_EQ(log.Size(), 1u);
}

TEST_F(WinMessages, HandlerMayDestroyItsOwnWindow)
{
    EventLog log;
    std::unique_ptr<RecordingWindow> a;
    a = std::make_unique<RecordingWindow>(log, "A", [&](TMessage& m) {
        if (m.Msg == WM_CLOSE)
            DefWindowProc(a->Handle(), m.Msg, m.WParam, m.LParam);
    });
    HWND handle = a->Handle();
    PostMessage(handle, WM_CLOSE, 0, 0);
    PostMessage(handle, WM_APP, 0, 0);
    PumpPendingMessages();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(log.Events(), (Events{{"A", WM_CLOSE, 0, 0}, {"A", WM_DESTROY, 0, 0}}));
    a.reset(); // destroying again is refused quietly
}

TEST_F(WinMessages, NestedLoopInAHandlerTakesTheLaterMessages)
{
    EventLog log;
    RecordingWindow a(log, "A", [&](TMessage& m) {
        if (m.Msg == WM_APP + 1) {
            log.Step("nested begin");
            PumpPendingMessages();
            log.Step("nested end");
        }
    });
    PostMessage(a.Handle(), WM_APP + 1, 0, 0);
    PostMessage(a.Handle(), WM_APP + 2, 0, 0);
    PostMessage(a.Handle(), WM_APP + 3, 0, 0);
    PumpPendingMessages();
    EXPECT_EQ(log.Events(),
              (Events{{"A", WM_APP + 1, 0, 0},
                      Step("nested begin"),
                      {"A", WM_APP + 2, 0, 0},
                      {"A", WM_APP + 3, 0, 0},
                      Step("nested end")}));
}

TEST_F(WinMessages, WindowsMayStillGoDuringStaticDestructionAtExit)
{
    // The program's global objects destroy their windows after the main
    // thread's thread-local objects are gone.
    const pid_t pid = ::fork();
    if (pid == 0) {
        static TMessageWindow late([](TMessage&) {});
        PostMessage(late.Handle(), WM_APP, 0, 0);
        std::exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// --- timers ------------------------------------------------------------------

TEST_F(WinMessages, TimerTicksOnlyWhilePumpingAndAtMostOnce)
{
    EventLog log;
    RecordingWindow a(log, "A");
    ASSERT_EQ(SetTimer(a.Handle(), 5, 100, nullptr), 5u);
    clock.Advance(1000); // ten periods, nobody pumping
    EXPECT_EQ(log.Size(), 0u);
    PumpPendingMessages();
    PumpPendingMessages();
    EXPECT_EQ(log.Events(), (Events{{"A", WM_TIMER, 5, 0}}));
    // The next tick is one period after the tick was taken.
    clock.Advance(99);
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 1u);
    clock.Advance(1);
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 2u);
}

TEST_F(WinMessages, TimerTicksComeAfterPostedMessages)
{
    EventLog log;
    RecordingWindow a(log, "A");
    SetTimer(a.Handle(), 1, 50, nullptr);
    clock.Advance(50);
    PostMessage(a.Handle(), WM_APP + 1, 0, 0);
    PostMessage(a.Handle(), WM_APP + 2, 0, 0);
    PumpPendingMessages();
    EXPECT_EQ(log.Events(), (Events{{"A", WM_APP + 1, 0, 0}, {"A", WM_APP + 2, 0, 0}, {"A", WM_TIMER, 1, 0}}));
}

TEST_F(WinMessages, PumpForTicksEachTimerAtItsExactTime)
{
    EventLog log;
    std::vector<std::uint64_t> at;
    RecordingWindow a(log, "A", [&](TMessage& m) {
        if (m.Msg == WM_TIMER)
            at.push_back(ElapsedMs() * 10 + m.WParam);
    });
    SetTimer(a.Handle(), 1, 200, nullptr);
    SetTimer(a.Handle(), 2, 300, nullptr);
    EXPECT_TRUE(PumpFor(1000));
    EXPECT_EQ(ElapsedMs(), 1000u);
    // ms * 10 + timer id; at 600 both are due and the earlier-made one goes first.
    EXPECT_EQ(at, (std::vector<std::uint64_t>{2001, 3002, 4001, 6001, 6002, 8001, 9002, 10001}));
}

TEST_F(WinMessages, SettingATimerAgainReArmsItAndKillDropsThePendingTick)
{
    EventLog log;
    RecordingWindow a(log, "A");
    SetTimer(a.Handle(), 1, 100, nullptr);
    clock.Advance(80);
    SetTimer(a.Handle(), 1, 100, nullptr); // due at 180 now
    clock.Advance(20);
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 0u);
    clock.Advance(80);
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 1u);

    clock.Advance(100);
    EXPECT_TRUE(KillTimer(a.Handle(), 1));
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 1u);
    EXPECT_FALSE(KillTimer(a.Handle(), 1));
}

TEST_F(WinMessages, CoalescedTimersTickTogetherOnMultiplesOfTheirPeriod)
{
    CoalesceTimers(true);
    struct Off {
        ~Off() { CoalesceTimers(false); }
    } off;
    EventLog log;
    std::uint64_t base = 0;
    std::vector<std::uint64_t> at; // ms after base * 10 + timer id
    RecordingWindow a(log, "A", [&](TMessage& m) {
        if (m.Msg == WM_TIMER)
            at.push_back((clock.MonotonicMs() - base) * 10 + m.WParam);
    });
    clock.Advance(1000 - clock.MonotonicMs() % 1000);
    base = clock.MonotonicMs();
    // Started at three moments, two periods that divide each other.
    clock.Advance(10);
    SetTimer(a.Handle(), 1, 100, nullptr);
    clock.Advance(30);
    SetTimer(a.Handle(), 2, 100, nullptr);
    clock.Advance(20);
    SetTimer(a.Handle(), 3, 50, nullptr);
    EXPECT_TRUE(PumpFor(240)); // to base + 300
    // None before its interval: 2 was set at 40 and ticks at 200, not 100.
    EXPECT_EQ(at, (std::vector<std::uint64_t>{1503, 2001, 2002, 2003, 2503, 3001, 3002, 3003}));

    // A tick taken late keeps its timer on the multiples.
    at.clear();
    KillTimer(a.Handle(), 2);
    KillTimer(a.Handle(), 3);
    clock.Advance(130);
    PumpPendingMessages();
    EXPECT_TRUE(PumpFor(170)); // to base + 600
    EXPECT_EQ(at, (std::vector<std::uint64_t>{4301, 5001, 6001}));
}

std::vector<UINT_PTR> callbackTicks;
void TimerCallback(HWND, UINT message, UINT_PTR id, DWORD)
{
    if (message == WM_TIMER)
        callbackTicks.push_back(id);
}

TEST_F(WinMessages, TimerWithCallbackAndThreadTimer)
{
    EventLog log;
    RecordingWindow a(log, "A");
    callbackTicks.clear();
    SetTimer(a.Handle(), 3, 10, TimerCallback);
    UINT_PTR threadTimer = SetTimer(nullptr, 0, 10, TimerCallback);
    EXPECT_NE(threadTimer, 0u);
    clock.Advance(10);
    PumpPendingMessages();
    EXPECT_EQ(callbackTicks, (std::vector<UINT_PTR>{3, threadTimer}));
    EXPECT_EQ(log.Size(), 0u); // the callback takes the tick, not the window
    EXPECT_TRUE(KillTimer(nullptr, threadTimer));
}

TEST_F(WinMessages, IntervalIsClampedToTheSystemMinimum)
{
    EventLog log;
    RecordingWindow a(log, "A");
    SetTimer(a.Handle(), 1, 0, nullptr);
    clock.Advance(USER_TIMER_MINIMUM - 1);
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 0u);
    clock.Advance(1);
    PumpPendingMessages();
    EXPECT_EQ(log.Size(), 1u);
}

// --- quit ----------------------------------------------------------------------

TEST_F(WinMessages, QuitEndsGetMessageAfterThePostedMessages)
{
    EventLog log;
    RecordingWindow a(log, "A");
    PostQuitMessage(3);
    PostMessage(a.Handle(), WM_APP, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP));
    ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinMessages, QuitInsideNestedLoopsEndsEachAndStaysForTheOuterLoop)
{
    EventLog log;
    std::unique_ptr<RecordingWindow> a;
    a = std::make_unique<RecordingWindow>(log, "A", [&](TMessage& m) {
        if (m.Msg == WM_APP + 1) {
            // A modal loop waiting for an answer that the quit pre-empts; inside
            // it a second, deeper one.
            log.Step("modal 1 ended", PumpUntil([] { return false; }) ? 1 : 0);
        } else if (m.Msg == WM_APP + 2) {
            log.Step("modal 2 ended", PumpUntil([] { return false; }) ? 1 : 0);
        } else if (m.Msg == WM_APP + 3) {
            PostQuitMessage(9);
            PostMessage(a->Handle(), WM_APP + 4, 0, 0); // behind the quit in time, ahead of it in the queue
        }
    });
    PostMessage(a->Handle(), WM_APP + 1, 0, 0);
    PostMessage(a->Handle(), WM_APP + 2, 0, 0);
    PostMessage(a->Handle(), WM_APP + 3, 0, 0);

    MSG msg;
    int outer = 0;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        DispatchMessage(&msg);
        ++outer;
    }
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_EQ(outer, 1); // every other message was handled inside the loops
    EXPECT_EQ(log.Events(),
              (Events{{"A", WM_APP + 1, 0, 0},
                      {"A", WM_APP + 2, 0, 0},
                      {"A", WM_APP + 3, 0, 0},
                      {"A", WM_APP + 4, 0, 0},
                      Step("modal 2 ended", 0),
                      Step("modal 1 ended", 0)}));
}

TEST_F(WinMessages, PostedQuitMessageAlsoStaysPendingAfterANestedLoop)
{
    EventLog log;
    PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 4, 0);
    EXPECT_FALSE(PumpPendingMessages());
    EXPECT_FALSE(PumpPendingMessages());
    MSG msg;
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_TRUE(PumpPendingMessages());
}

TEST_F(WinMessages, PumpOnceTakesOneStepAndWaitMessageReturnsWhenWorkIsThere)
{
    EventLog log;
    RecordingWindow a(log, "A");
    EXPECT_EQ(PumpOnce(), PumpResult::Idle);
    PostMessage(a.Handle(), WM_APP + 1, 0, 0);
    PostMessage(a.Handle(), WM_APP + 2, 0, 0);
    EXPECT_TRUE(WaitMessage());
    EXPECT_EQ(PumpOnce(), PumpResult::Dispatched);
    EXPECT_EQ(log.Size(), 1u);
    PostQuitMessage(0);
    EXPECT_EQ(PumpOnce(), PumpResult::Dispatched);
    EXPECT_EQ(PumpOnce(), PumpResult::Quit);
    EXPECT_EQ(PumpOnce(), PumpResult::Quit); // still pending
    MSG msg;
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
    SetTimer(a.Handle(), 1, 300, nullptr);
    EXPECT_TRUE(WaitMessage()); // moves the virtual clock to the tick
    EXPECT_EQ(ElapsedMs(), 300u);
    EXPECT_EQ(PumpOnce(), PumpResult::Dispatched);
    KillTimer(a.Handle(), 1);
    EXPECT_THROW(WaitMessage(), EMessageLoopStalled);
}

// --- loops that cannot end -------------------------------------------------

TEST_F(WinMessages, LoopWaitingForWhatCannotComeFailsInsteadOfHanging)
{
    std::vector<std::string> stalls;
    {
        // The handler goes on every way out: it holds the local list.
        struct Restore {
            StallHandler previous;
            ~Restore() { SetStallHandler(std::move(previous)); }
        } restore{SetStallHandler([&](const std::string& what) { stalls.push_back(what); })};
        EXPECT_THROW(PumpUntil([] { return false; }), EMessageLoopStalled);
        MSG msg;
        EXPECT_THROW(GetMessage(&msg, nullptr, 0, 0), EMessageLoopStalled);
    }
    ASSERT_EQ(stalls.size(), 2u);
    EXPECT_NE(stalls[0].find("PumpUntil"), std::string::npos) << stalls[0];
    EXPECT_NE(stalls[1].find("GetMessage"), std::string::npos) << stalls[1];
    EXPECT_EQ(ElapsedMs(), 0u);
}

TEST_F(WinMessages, FilteredGetMessageIsNotWokenByATimerItDoesNotTake)
{
    EventLog log;
    RecordingWindow a(log, "A");
    SetTimer(a.Handle(), 1, 10, nullptr);
    clock.Advance(10);
    PostMessage(a.Handle(), WM_APP + 1, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, nullptr, WM_APP, WM_APP + 1), 1);
    EXPECT_EQ(msg.message, WM_APP + 1u);
    // Only the due tick is left, and this wait does not take it.
    EXPECT_THROW(GetMessage(&msg, nullptr, WM_APP, WM_APP + 1), EMessageLoopStalled);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    KillTimer(a.Handle(), 1);
}

TEST_F(WinMessages, LoopWaitingForATimerMovesTheVirtualClockToIt)
{
    EventLog log;
    bool ticked = false;
    RecordingWindow a(log, "A", [&](TMessage& m) { ticked = m.Msg == WM_TIMER; });
    SetTimer(a.Handle(), 1, 8000, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ticked; }));
    EXPECT_EQ(ElapsedMs(), 8000u);
    KillTimer(a.Handle(), 1);
}

} // namespace
} // namespace winmsg_test
