// Ends the program from outside while no display can close its windows:
// SIGINT, SIGTERM, or the end of an input (standard input on a terminal).
// A watcher thread waits for them and posts the request to a message window
// of the user interface thread, which closes the program's windows there
// (CloseProgramWindows), so the ordinary close and end run.
#pragma once

#include "platform/win/win.h"

#include <memory>
#include <thread>

class TStopWatch {
public:
    // Blocks the stop signals in the calling thread and every thread it
    // starts afterwards, so that only the watcher receives them. Call first.
    static void BlockStopSignals();

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
    int FSignals = -1;
    int FWake = -1;
    std::thread FThread;
};
