// The program entry: single instance, program folder and drive, write test,
// stored password, the log, every window in its fixed order, the message
// loop, and the end.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"
#include "platform/win/win.h"

// The single-instance mutex.
inline constexpr char16_t kInstanceMutexName[] = u"MUX_Velmorastine";

// Runs the whole program on the application object in `Application` and
// returns 0 on every path. The arguments are not read.
int WinMain(win::HINSTANCE instance, win::HINSTANCE previous, char* commandLine, int showCommand);

// True when the folder "Icon" below ProgramFolder can be written: an
// existing ".rd" is deleted, else one is created and deleted.
bool CanWriteIconFolder();

// The password the prompt expects for a stored form read from "view": the
// default password for either marker, else the stored form descrambled.
AnsiString StartupPassword(const AnsiString& storedForm);

// Closes the program as its user would: the main window, and the
// application's main form when that is another window (the password
// prompt). Before any window exists it ends the message loop instead.
void CloseProgramWindows();

// The stop request from outside (a stop signal, the end of input): closes
// the program as after its user confirmed the close, so a running long
// operation stops and nothing waits for an answer. Before any window exists
// it ends the message loop instead.
void StopProgram();

// Watches the start-up for tests: told after each object the entry creates
// (the log module and every window, in order). May ask the application to
// terminate or raise, as a failing constructor would.
class TStartupObserver {
public:
    virtual ~TStartupObserver() = default;
    virtual void Created(TComponent* component) = 0;
};

// Installs the observer (null: none); returns the previous one.
TStartupObserver* SetStartupObserver(TStartupObserver* observer);
