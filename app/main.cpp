// The program's entry: the application object, a watch for the end
// requests of a session without a display (SIGINT, SIGTERM, end of input on
// a terminal), timers that tick together, then the start-up logic.
#include "app/StopWatch.h"
#include "app/WinMain.h"
#include "platform/backends/Install.h"
#include "platform/win/Timers.h"

#include <unistd.h>

int main()
{
    TStopWatch::CatchStopSignals();
    backends::InstallRealBackends();
    // The form's timers of one period tick in one turn, so that what they
    // move is painted and shown once a period rather than once a timer.
    win::CoalesceTimers(true);
    TApplication application;
    TStopWatch watch(isatty(STDIN_FILENO) == 1 ? STDIN_FILENO : -1);
    return WinMain(nullptr, nullptr, nullptr, 0);
}
