// The program's entry: the application object, a watch for the end
// requests of a session without a display (SIGINT, SIGTERM, end of input on
// a terminal), then the start-up logic.
#include "app/StopWatch.h"
#include "app/WinMain.h"
#include "platform/backends/Install.h"

#include <unistd.h>

int main()
{
    TStopWatch::CatchStopSignals();
    backends::InstallRealBackends();
    TApplication application;
    TStopWatch watch(isatty(STDIN_FILENO) == 1 ? STDIN_FILENO : -1);
    return WinMain(nullptr, nullptr, nullptr, 0);
}
