#include "platform/win/CurrentDirectory.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/DriveTable.h"
#include "platform/win/LastError.h"
#include "platform/win/PathResolver.h"

namespace win {

namespace {

std::mutex& CwdMutex()
{
    static std::mutex m;
    return m;
}
std::u16string& Cwd()  // guarded by CwdMutex; empty = take it from the host
{
    static std::u16string cwd;
    return cwd;
}

// The host's current directory seen through the drive table: the drive whose
// folder holds it most closely; the root of the first drive when none does.
std::u16string FromHost()
{
    char buf[PATH_MAX];
    std::string host = "/";
    if (getcwd(buf, sizeof buf) != nullptr)
        host = buf;
    if (char* real = realpath(host.c_str(), nullptr)) {
        host = real;
        free(real);
    }
    const std::vector<DriveEntry> drives = DriveTable::Instance().Entries();
    const DriveEntry* best = nullptr;
    std::string bestRoot;
    for (const auto& d : drives) {
        std::string root = d.root;
        if (char* real = realpath(root.c_str(), nullptr)) {
            root = real;
            free(real);
        }
        const bool below = root == "/" || host == root ||
                           (host.size() > root.size() && host.compare(0, root.size(), root) == 0 &&
                            host[root.size()] == '/');
        if (below && (best == nullptr || root.size() > bestRoot.size() ||
                      (root.size() == bestRoot.size() && d.letter < best->letter))) {
            best = &d;
            bestRoot = root;
        }
    }
    if (best == nullptr) {
        char16_t letter = u'C';
        if (!drives.empty()) {
            letter = drives.front().letter;
            for (const auto& d : drives)
                letter = std::min(letter, d.letter);
        }
        return std::u16string{letter, u':', u'\\'};
    }
    std::u16string out{best->letter, u':', u'\\'};
    std::string tail = host.substr(bestRoot == "/" ? 0 : bestRoot.size());
    std::u16string wide;
    bool first = true;
    size_t i = 0;
    while (i < tail.size()) {
        while (i < tail.size() && tail[i] == '/')
            ++i;
        size_t j = tail.find('/', i);
        if (j == std::string::npos)
            j = tail.size();
        if (j == i)
            break;
        if (!Utf8ToUtf16(std::string_view(tail).substr(i, j - i), wide) || !IsWindowsName(wide))
            break;  // a folder Windows could not name: stop above it
        if (!first)
            out.push_back(u'\\');
        out += wide;
        first = false;
        i = j;
    }
    return out;
}

} // namespace

std::u16string CurrentDirectory()
{
    {
        std::lock_guard lock(CwdMutex());
        if (!Cwd().empty())
            return Cwd();
    }
    std::u16string fresh = FromHost();
    std::lock_guard lock(CwdMutex());
    if (Cwd().empty())
        Cwd() = std::move(fresh);
    return Cwd();
}

bool SetCurrentDirectoryPath(std::u16string_view path)
{
    const ResolvedPath r = ResolvePath(path);
    if (!r.ok()) {
        SetLastError(r.error);
        return false;
    }
    struct stat st {};
    if (stat(r.host.c_str(), &st) != 0) {
        SetLastError(r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return false;
    }
    // Windows keeps the spelling it was given.
    std::u16string abs = AbsoluteWindowsPath(path);
    std::lock_guard lock(CwdMutex());
    Cwd() = std::move(abs);
    return true;
}

DWORD GetCurrentDirectoryW(DWORD bufferLength, char16_t* buffer)
{
    const std::u16string cwd = CurrentDirectory();
    const auto needed = static_cast<DWORD>(cwd.size() + 1);
    if (buffer == nullptr || bufferLength < needed)
        return needed;
    cwd.copy(buffer, cwd.size());
    buffer[cwd.size()] = u'\0';
    return needed - 1;
}

BOOL SetCurrentDirectoryW(const char16_t* path)
{
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return SetCurrentDirectoryPath(path) ? 1 : 0;
}

rtl::UnicodeString GetCurrentDir() { return rtl::UnicodeString(CurrentDirectory()); }

bool SetCurrentDir(const rtl::UnicodeString& dir) { return SetCurrentDirectoryPath(dir.view()); }

namespace detail {
void ForgetCurrentDirectory()
{
    std::lock_guard lock(CwdMutex());
    Cwd().clear();
}
} // namespace detail

} // namespace win
