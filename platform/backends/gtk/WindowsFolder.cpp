#include "platform/backends/gtk/WindowsFolder.h"

#include <sys/stat.h>
#include <vector>

#include "platform/win/DriveTable.h"
#include "platform/win/PathResolver.h"

namespace backends::gtk {

namespace {

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The part of folder below root ("" for root itself), or false when root
// does not hold it.
bool Below(const std::string& root, const std::string& folder, std::string& rest)
{
    if (root == "/") {
        if (folder.empty() || folder[0] != '/')
            return false;
        rest = folder.substr(1);
        return true;
    }
    if (folder.compare(0, root.size(), root) != 0 || (folder.size() > root.size() && folder[root.size()] != '/'))
        return false;
    rest = folder.size() > root.size() ? folder.substr(root.size() + 1) : std::string();
    return true;
}

} // namespace

std::u16string WindowsFolderOf(const std::string& hostFolder)
{
    const std::string folder = WithoutTrailingSlashes(hostFolder);
    const win::DriveEntry* best = nullptr;
    std::size_t bestLength = 0;
    std::string bestRest;
    const std::vector<win::DriveEntry> drives = win::DriveTable::Instance().Entries();
    for (const win::DriveEntry& d : drives) {
        const std::string root = WithoutTrailingSlashes(d.root);
        std::string rest;
        if (d.present && !root.empty() && Below(root, folder, rest) && (!best || root.size() > bestLength)) {
            best = &d;
            bestLength = root.size();
            bestRest = rest;
        }
    }
    if (!best)
        return {};
    std::u16string out{best->letter, u':', u'\\'};
    std::u16string tail;
    if (!win::Utf8ToUtf16(bestRest, tail))
        return {};
    // Each name must be one Windows could hold, else the folder is invisible.
    std::size_t start = 0;
    while (start < tail.size()) {
        std::size_t end = tail.find(u'/', start);
        if (end == std::u16string::npos)
            end = tail.size();
        const std::u16string_view name(tail.data() + start, end - start);
        if (!win::IsWindowsName(name))
            return {};
        if (out.size() > 3)
            out += u'\\';
        out += name;
        start = end + 1;
    }
    return out;
}

std::u16string UsableWindowsFolderOf(const std::string& hostFolder)
{
    std::u16string folder = WindowsFolderOf(hostFolder);
    if (folder.empty() && win::DriveTable::Instance().AddDriveFor(hostFolder))
        folder = WindowsFolderOf(hostFolder);
    return folder;
}

HostFileVerdict WindowsFileOf(const std::string& hostFile, std::u16string& windowsFile)
{
    const std::size_t slash = hostFile.rfind('/');
    if (slash == std::string::npos)
        return HostFileVerdict::unusableFolder;
    std::u16string name;
    if (!win::Utf8ToUtf16(std::string_view(hostFile).substr(slash + 1), name) || !win::IsWindowsName(name))
        return HostFileVerdict::badName;
    const std::string hostFolder = slash == 0 ? std::string("/") : hostFile.substr(0, slash);
    struct stat st {};
    if (stat(hostFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return HostFileVerdict::missingFolder;
    std::u16string folder = UsableWindowsFolderOf(hostFolder);
    if (folder.empty())
        return HostFileVerdict::unusableFolder;
    if (folder.back() != u'\\')
        folder += u'\\';
    windowsFile = folder + name;
    return HostFileVerdict::ok;
}

} // namespace backends::gtk
