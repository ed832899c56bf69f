// The decoder installation: check, install and configure the ffdshow decoder
// before the filter graph is built, keep a decoder the computer already has,
// remove or restore at exit, and restart the program after a failed graph
// start. Free functions on the user interface thread; nothing is locked.
#pragma once

#include "platform/rtl/UnicodeString.h"
#include "platform/win/Registry.h"

// True when this run wrote the program's own decoder settings (remove them at
// exit); false when the computer's decoder was kept or nothing was installed.
extern bool OwnFfdshowRegistered;

// Makes sure a usable "ffdshow Video Decoder" is registered: keeps a complete
// installation of another revision, or installs the copy in the program's
// folder "ffdshow" and waits up to 70 x 100 ms for its filter. Never raises.
bool FFDShowRegister(bool skipCheck);
// At exit (and on the failure paths of the graph build): removes the own
// installation or restores the computer's, once per process; every call ends
// COM for the thread. Never raises.
void FFDShowUnRegister();

// Keeping an installed decoder. Each sets its own root key on the registry
// object it is handed; each catches and logs the framework's exceptions.
int GetFfdshowRevision(win::TRegistry* registry);
void UpdateFfdshowRegistry(win::TRegistry* registry);
void ChangePcFfdshowSet(win::TRegistry* registry);
void RecoverPcFfdshowSet(win::TRegistry* registry);
// The 30 audio defaults in "\Software\GNU\ffdshow_audio\default".
void CustomFfdshow(win::TRegistry* registry);

// Start the registration tool for "<folder>\ffdshow.ax" ("/s" or "/s /u") and
// return the start result: above 32 started, 0 when the folder's drive does
// not answer, 2 when the folder holds a quote or a control character.
int RegisterFfdshowAx(rtl::UnicodeString folder);
int UnregisterFfdshowAx(rtl::UnicodeString folder);

// The count of automatic restarts in a row ("restart_cnt" under
// "\Software\Velmorastine" in the user hive; missing, "0", empty or negative: 0).
int GetRestartCount();
void SetRestartCount(int count);
void ResetRestartCount();
// True when a new instance was started and the application told to end;
// false when the restarts are used up, the count cannot be stored, or the
// start failed (logged).
bool RestartProgram();

namespace codec::detail {
// Puts the program-wide state back as at program start (tests).
void ResetInstallState();
} // namespace codec::detail
