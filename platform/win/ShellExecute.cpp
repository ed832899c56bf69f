#include "platform/win/ShellExecute.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
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

// Forks twice so that the program is nobody's child here: the middle process
// starts a new session, forks the program and ends at once. The program's
// exec failure comes back through a close-on-exec pipe. Only
// async-signal-safe calls run after the fork.
int SpawnDetached(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // The program gets the stop signals whatever this process blocks.
    sigset_t noSignals;
    sigemptyset(&noSignals);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    pid_t middle = fork();
    if (middle < 0) {
        int error = errno;
        close(pipeFds[0]);
        close(pipeFds[1]);
        return error;
    }
    if (middle == 0) {
        close(pipeFds[0]);
        setsid();
        pid_t child = fork();
        if (child == 0) {
            int error = 0;
            if (!folder.empty() && chdir(folder.c_str()) != 0)
                error = errno;
            if (error == 0) {
                sigprocmask(SIG_SETMASK, &noSignals, nullptr);
                execve(program.c_str(), argv.data(), environ);
                error = errno;
            }
            ssize_t ignored = write(pipeFds[1], &error, sizeof error);
            (void)ignored;
            _exit(127);
        }
        if (child < 0) {
            int error = errno;
            ssize_t ignored = write(pipeFds[1], &error, sizeof error);
            (void)ignored;
        }
        _exit(0);
    }
    close(pipeFds[1]);
    int error = 0;
    ssize_t got;
    do {
        got = read(pipeFds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(pipeFds[0]);
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {}
    return got == static_cast<ssize_t>(sizeof error) ? (error == 0 ? EIO : error) : 0;
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
