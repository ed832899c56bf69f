// The end request from outside: the end of the watched input, or a stop
// signal whichever thread it reaches, closes the program's windows on the
// user interface thread.
#include "app/StopWatch.h"

#include "platform/vcl/vcl.h"
#include "platform/win/win.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace {

TEST(StopWatchThread, EndOfInputClosesTheMainWindow)
{
    TApplication app;
    TForm* main = nullptr;
    Application->CreateForm(main);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    {
        TStopWatch watch(fds[0]);
        // On the real clock: a broken watch ends the loop here instead of hanging.
        bool timedOut = false;
        win::TMessageWindow guard([&](win::TMessage& m) {
            if (m.Msg == win::WM_TIMER) {
                timedOut = true;
                Application->Terminate();
            }
        });
        win::SetTimer(guard.Handle(), 1, 60000, nullptr);
        // Input alone ends nothing; its end does.
        ASSERT_EQ(::write(fds[1], "abc\n", 4), 4);
        ::close(fds[1]);
        Application->Run();
        EXPECT_FALSE(timedOut);
        EXPECT_TRUE(Application->Terminated());
        win::KillTimer(guard.Handle(), 1);
    }
    ::close(fds[0]);
    Application->DestroyComponents();
}

// A thread a library started with the stop signals unblocked receives one:
// it must become the stop request, not end the process.
TEST(StopWatchThread, AStopSignalOnAThreadThatDoesNotBlockItClosesTheMainWindow)
{
    TStopWatch::CatchStopSignals();
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        TApplication app;
        TForm* main = nullptr;
        Application->CreateForm(main);
        {
            TStopWatch watch(-1);
            bool timedOut = false;
            win::TMessageWindow guard([&](win::TMessage& m) {
                if (m.Msg == win::WM_TIMER) {
                    timedOut = true;
                    Application->Terminate();
                }
            });
            win::SetTimer(guard.Handle(), 1, 60000, nullptr);
            std::thread library([signal] {
                sigset_t set;
                sigemptyset(&set);
                sigaddset(&set, signal);
                pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
                pthread_kill(pthread_self(), signal);
            });
            library.join();
            Application->Run();
            EXPECT_FALSE(timedOut);
            EXPECT_TRUE(Application->Terminated());
            win::KillTimer(guard.Handle(), 1);
        }
        Application->DestroyComponents();
    }
}

} // namespace
