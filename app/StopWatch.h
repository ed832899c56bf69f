// Ends the program from outside while no display can close its windows:
// SIGINT, SIGTERM, or the end of an input (standard input on a terminal).
// A watcher thread waits for them and posts the request to a message window
// of the user interface thread, which stops the program there (StopProgram):
// a running long operation stops and the ordinary close and end run.
#pragma once

#include "platform/win/win.h"

#include <memory>
#include <thread>

class TStopWatch {
public:
    // Catches the stop signals for the whole process: whichever thread the
    // system hands one to (also a thread a library started with them
    // unblocked), the handler only notes it for the watcher. Blocks them in
    // the calling thread and every thread it starts afterwards, so that our
    // own waits are not interrupted; the watcher takes them. Call first.
    static void CatchStopSignals();

    // Made on the user interface thread. `inputFd` is watched for its end
    // (-1: no input is watched).
    explicit TStopWatch(int inputFd);
    ~TStopWatch();
    TStopWatch(const TStopWatch&) = delete;
    TStopWatch& operator=(const TStopWatch&) = delete;

private:
    void Watch();

    std::unique_ptr<win::TMessageWindow> FWindow;
    int FInput = -1;
    int FWake = -1;
    std::thread FThread;
};
