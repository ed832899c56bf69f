#include "platform/host/CurrentDirectory.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/host/DriveTable.h"
#include "platform/host/ErrorCodes.h"
#include "platform/host/PathResolver.h"

namespace host {

namespace {

std::mutex& CwdMutex()
{
    static std::mutex m;
    return m;
}
std::u16string& Cwd() // guarded by CwdMutex; empty = take it from the host
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
            (host.size() > root.size() && host.compare(0, root.size(), root) == 0 && host[root.size()] == '/');
        if (below &&
            (best == nullptr || root.size() > bestRoot.size() ||
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
            break; // a folder Windows could not name: stop above it
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

std::uint32_t ChangeCurrentDirectory(std::u16string_view path)
{
    const ResolvedPath r = ResolvePath(path);
    if (!r.ok())
        return r.error;
    struct stat st {};
    if (stat(r.host.c_str(), &st) != 0)
        return r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    if (!S_ISDIR(st.st_mode))
        return ERROR_DIRECTORY;
    // Windows keeps the spelling it was given.
    std::u16string abs = AbsoluteWindowsPath(path);
    std::lock_guard lock(CwdMutex());
    Cwd() = std::move(abs);
    return ERROR_SUCCESS;
}

void ForgetCurrentDirectory()
{
    std::lock_guard lock(CwdMutex());
    Cwd().clear();
}

} // namespace host
