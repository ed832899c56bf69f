// regsvr32 [/s] [/u] <module>: registers (or with /u unregisters) the filters
// that the media layer implements for a module file, in the classes root of
// the registry store that the program uses (VELMORASTINE_REGISTRY), and
// answers with the real tool's exit codes:
//   0 done, 1 bad arguments, 3 the module cannot be loaded (missing file),
//   4 the module has no registration entry point (no filters we know),
//   5 the registration failed.
// Without /s it reports what it did on standard output (there is no box).
//
// For tests, the environment can slow it down and make it fail:
//   VELMORASTINE_REGSVR32_DELAY_MS  milliseconds to wait before acting
//   VELMORASTINE_REGSVR32_FAIL      "register", "unregister" or "all": fail
//                                   that action with exit code 5, writing nothing
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/media/FilterRegistration.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/win/Files.h"
#include "platform/win/RegistryStore.h"

namespace {

bool IsSwitch(const char* arg, char letter)
{
    return (arg[0] == '/' || arg[0] == '-') && (arg[1] == letter || arg[1] == (letter - 'a' + 'A')) && arg[2] == '\0';
}

unsigned long DelayMs()
{
    const char* text = std::getenv("VELMORASTINE_REGSVR32_DELAY_MS");
    if (text == nullptr || *text == '\0')
        return 0;
    char* end = nullptr;
    unsigned long ms = std::strtoul(text, &end, 10);
    return (*end == '\0' && ms <= 600000) ? ms : 0;
}

bool FailureAsked(bool unregister)
{
    const char* text = std::getenv("VELMORASTINE_REGSVR32_FAIL");
    if (text == nullptr)
        return false;
    return std::strcmp(text, "all") == 0 || std::strcmp(text, unregister ? "unregister" : "register") == 0;
}

int Report(bool silent, int code, const std::string& text)
{
    if (!silent)
        std::printf("%s\n", text.c_str());
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    bool silent = false, unregister = false;
    const char* module = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (IsSwitch(argv[i], 's'))
            silent = true;
        else if (IsSwitch(argv[i], 'u'))
            unregister = true;
        else if (argv[i][0] == '/' || argv[i][0] == '-')
            return Report(silent, 1, std::string("Unrecognized flag: ") + argv[i]);
        else if (module == nullptr)
            module = argv[i];
        else
            return Report(silent, 1, "Only one module name may be given.");
    }
    if (module == nullptr)
        return Report(silent, 1, "Usage: regsvr32 [/s] [/u] module");

    unsigned long delay = DelayMs();
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));

    rtl::UnicodeString path(rtl::Utf8ToUtf16(module));
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    if (!win::FileExists(path))
        return Report(silent, 3, std::string("LoadLibrary(\"") + module + "\") failed.");
    if (FailureAsked(unregister))
        return Report(silent, 5, std::string(entry) + " in " + module + " failed.");
    try {
        // The module's keys land together, in one write.
        win::TRegistryBatch batch;
        bool known = unregister ? media::UnregisterModuleFilters(path) : media::RegisterModuleFilters(path);
        if (!known)
            return Report(silent, 4,
                          std::string(module) + " was loaded, but the " + entry + " entry point was not found.");
    } catch (rtl::Exception& e) {
        return Report(silent, 5, std::string(entry) + " in " + module + " failed: " + e.what());
    }
    return Report(silent, 0, std::string(entry) + " in " + module + " succeeded.");
}
