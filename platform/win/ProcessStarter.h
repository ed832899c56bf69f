// Who starts the programs that ShellExecuteA asks for: the seam between the
// shell call and the host. The host starter is the default; tests install a
// RecordingProcessStarter (or their own) to see the requests and choose the
// results without starting anything.
#pragma once

#include <string>
#include <vector>

#include "platform/host/Seam.h"

namespace win {

struct ProcessStartRequest {
    std::u16string file; // as given ("regsvr32", "Velmorastine II.exe", a path)
    std::u16string parameters; // as given, widened from code page 932
    std::vector<std::u16string> arguments; // the parameters split by the Windows rules
    std::u16string directory; // empty: the current directory
    int showCommand = 0;

    bool operator==(const ProcessStartRequest&) const = default;
};

class ProcessStarter {
public:
    virtual ~ProcessStarter();
    // Starts the program and returns at once; the ShellExecute code (> 32 started).
    virtual int Start(const ProcessStartRequest& request) = 0;
};

// Resolves the program (see ShellExecute.h) and starts it detached: its own
// session, no wait for it, the environment inherited. The registration tool
// is "regsvr32" in the folder of VELMORASTINE_TOOLS when that is set (and
// only there), else beside the program's executable or one folder above it.
class HostProcessStarter final : public ProcessStarter {
public:
    int Start(const ProcessStartRequest& request) override;

    // The host path of the program a request names, or empty with the
    // ShellExecute error code in `error`.
    static std::string ResolveProgram(const std::u16string& file, int& error);
};

// Read by ShellExecute on any thread that starts a program: an atomic seam
// (platform/host/Seam.h).
ProcessStarter& CurrentProcessStarter();
// Installs a starter process-wide (null: the host starter); returns the
// previous one (null for the host starter). The caller keeps ownership.
ProcessStarter* InstallProcessStarter(ProcessStarter* starter);
using ScopedProcessStarter = host::ScopedInstall<ProcessStarter*, &InstallProcessStarter>;

} // namespace win
