#include "platform/win/ShellExecute.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <system_error>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/detail/StringOps.h"
#include "platform/win/PathResolver.h"
#include "platform/win/ProcessStarter.h"

extern char** environ;

namespace win {

namespace {

using rtl::detail::SameAsciiNoCase;

HINSTANCE AsResult(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code)); }

int CodeOfErrno(int error)
{
    switch (error) {
    case ENOENT:
        return SE_ERR_FNF;
    case ENOTDIR:
        return SE_ERR_PNF;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOMEM:
    case E2BIG:
        return SE_ERR_NOMEMORY;
    case ENOEXEC:
        return SE_ERR_BADFORMAT;
    default:
        return SE_ERR_OOM;
    }
}

bool IsExecutableFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR) != 0;
}

std::string OwnExecutable()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string FolderOf(const std::string& path)
{
    std::size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut == 0 ? 1 : cut);
}

std::string FindTool(const char* name)
{
    const char* env = std::getenv("VELMORASTINE_TOOLS");
    if (env != nullptr && *env != '\0') {
        // A folder named explicitly is the only place looked at.
        std::string candidate = std::string(env) + "/" + name;
        return IsExecutableFile(candidate) ? candidate : std::string();
    }
    std::string self = OwnExecutable();
    if (self.empty())
        return {};
    std::string folder = FolderOf(self);
    for (const std::string& candidate : {folder + "/" + name, FolderOf(folder) + "/" + name})
        if (IsExecutableFile(candidate))
            return candidate;
    return {};
}

// Starts the program in a session of its own, with no signal blocked. The
// spawn shares this process's memory until the exec (no copy of a large
// address space), and tells the exec's failure itself. The program is
// waited for on a thread of its own, so it never lingers as a zombie.
int SpawnDetached(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (const int error = posix_spawnattr_init(&attributes); error != 0)
        return error;
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return error;
    try {
        std::thread([child] {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the program runs all the same.
    }
    return 0;
}

ProcessStarter* TheHostStarter()
{
    static HostProcessStarter host;
    return &host;
}

constinit host::Seam<ProcessStarter*, host::SeamReaders::AnyThread> gStarters(&TheHostStarter);

} // namespace

ProcessStarter::~ProcessStarter() = default;

std::string HostProcessStarter::ResolveProgram(const std::u16string& file, int& error)
{
    error = 0;
    bool bare = file.find_first_of(u"\\/:") == std::u16string::npos;
    if (bare && (SameAsciiNoCase(file, u"regsvr32") || SameAsciiNoCase(file, u"regsvr32.exe"))) {
        std::string tool = FindTool("regsvr32");
        if (tool.empty())
            error = SE_ERR_FNF;
        return tool;
    }
    if (bare && SameAsciiNoCase(file, u"Velmorastine II.exe")) {
        std::string self = OwnExecutable();
        if (self.empty())
            error = SE_ERR_FNF;
        return self;
    }
    ResolvedPath resolved = ResolvePath(file);
    if (!resolved.ok()) {
        error = resolved.error == 2 || resolved.error == 123 ? SE_ERR_FNF : SE_ERR_PNF;
        return {};
    }
    struct stat st;
    if (stat(resolved.host.c_str(), &st) != 0) {
        error = resolved.parentExists ? SE_ERR_FNF : SE_ERR_PNF;
        return {};
    }
    if (!S_ISREG(st.st_mode) || (st.st_mode & S_IXUSR) == 0) {
        error = SE_ERR_NOASSOC; // no program for a document here
        return {};
    }
    return resolved.host;
}

int HostProcessStarter::Start(const ProcessStartRequest& request)
{
    int error = 0;
    std::string program = ResolveProgram(request.file, error);
    if (program.empty())
        return error == 0 ? SE_ERR_FNF : error;
    std::string folder;
    if (!request.directory.empty()) {
        ResolvedPath dir = ResolvePath(request.directory);
        struct stat st;
        if (!dir.ok() || stat(dir.host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return SE_ERR_PNF;
        folder = dir.host;
    }
    std::vector<std::string> arguments;
    for (const std::u16string& a : request.arguments)
        arguments.push_back(rtl::Utf16ToUtf8(a));
    int spawnError = SpawnDetached(program, arguments, folder);
    return spawnError == 0 ? SE_RESULT_STARTED : CodeOfErrno(spawnError);
}

ProcessStarter& CurrentProcessStarter() { return *gStarters.Current(); }

ProcessStarter* InstallProcessStarter(ProcessStarter* starter) { return gStarters.Install(starter); }

std::vector<std::u16string> SplitCommandLine(std::u16string_view line)
{
    std::vector<std::u16string> out;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && (line[i] == u' ' || line[i] == u'\t'))
            ++i;
        if (i >= n)
            return out;
        std::u16string arg;
        bool quoted = false;
        while (i < n) {
            char16_t c = line[i];
            if (!quoted && (c == u' ' || c == u'\t'))
                break;
            if (c == u'\\') {
                std::size_t slashes = 0;
                while (i < n && line[i] == u'\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == u'"') {
                    arg.append(slashes / 2, u'\\');
                    if (slashes % 2 == 1) {
                        arg += u'"';
                        ++i;
                    }
                    // an even count leaves the quote for the next round
                } else {
                    arg.append(slashes, u'\\');
                }
                continue;
            }
            if (c == u'"') {
                if (quoted && i + 1 < n && line[i + 1] == u'"') {
                    arg += u'"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg += c;
            ++i;
        }
        out.push_back(std::move(arg));
    }
}

HINSTANCE ShellExecuteA(HWND, const char* operation, const char* file, const char* parameters, const char* directory,
                        int showCommand)
{
    if (operation != nullptr && *operation != '\0') {
        std::u16string op = rtl::Cp932ToUtf16(operation);
        if (!SameAsciiNoCase(op, u"open"))
            return AsResult(SE_ERR_NOASSOC);
    }
    if (file == nullptr || *file == '\0')
        return AsResult(SE_ERR_FNF);
    ProcessStartRequest request;
    request.file = rtl::Cp932ToUtf16(file);
    if (parameters != nullptr)
        request.parameters = rtl::Cp932ToUtf16(parameters);
    if (directory != nullptr)
        request.directory = rtl::Cp932ToUtf16(directory);
    request.arguments = SplitCommandLine(request.parameters);
    request.showCommand = showCommand;
    return AsResult(CurrentProcessStarter().Start(request));
}

} // namespace win
