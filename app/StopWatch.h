// Ends the program from outside while no display can close its windows:
// SIGINT, SIGTERM, or the end of input when standard input is a terminal.
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

    // Made on the user interface thread.
    TStopWatch();
    ~TStopWatch();
    TStopWatch(const TStopWatch&) = delete;
    TStopWatch& operator=(const TStopWatch&) = delete;

private:
    void Watch();

    std::unique_ptr<win::TMessageWindow> FWindow;
    int FSignals = -1;
    int FWake = -1;
    std::thread FThread;
};
