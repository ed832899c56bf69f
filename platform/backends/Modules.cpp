#include "platform/backends/Modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/win/DebugOutput.h"

namespace backends {

namespace {

std::string ExecutableFolder()
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    const std::string path(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

void* LoadModuleEntry(const char* module, const char* entry, bool global)
{
    const std::string here = ExecutableFolder();
    const std::size_t slash = here.find_last_of('/');
    const std::string above = slash == std::string::npos || slash == 0 ? "/" : here.substr(0, slash);
    std::string why;
    for (const std::string& folder : {here, above}) {
        const std::string path = folder + "/" + module;
        if (access(path.c_str(), F_OK) != 0)
            continue;
        void* handle = dlopen(path.c_str(), RTLD_NOW | (global ? RTLD_GLOBAL : RTLD_LOCAL));
        if (handle == nullptr) {
            const char* error = dlerror();
            why = error ? error : "cannot load";
            break;
        }
        // Never unloaded: the back end's objects live to the end of the program.
        if (void* symbol = dlsym(handle, entry))
            return symbol;
        why = std::string("no entry ") + entry;
        break;
    }
    if (why.empty())
        why = "not found beside the program (" + here + ")";
    win::OutputDebugStringA(("Back end " + std::string(module) + " not loaded: " + why + "\n").c_str());
    return nullptr;
}

} // namespace backends
