#include "platform/host/DriveTable.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/host/CurrentDirectory.h"
#include "platform/host/PathResolver.h"

namespace host {

namespace {

std::mutex& TableMutex()
{
    static std::mutex m;
    return m;
}

// Guarded by TableMutex.
std::vector<DriveEntry>& Table()
{
    static std::vector<DriveEntry> t;
    return t;
}
bool& Loaded()
{
    static bool loaded = false;
    return loaded;
}

char16_t UpperLetter(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - u'a' + u'A');
    return (c >= u'A' && c <= u'Z') ? c : 0;
}

std::string HostCwd()
{
    char buf[PATH_MAX];
    if (getcwd(buf, sizeof buf) == nullptr)
        return "/";
    return buf;
}

std::string Absolute(std::string path)
{
    if (path.empty() || path[0] != '/')
        path = HostCwd() + "/" + path;
    // Drop trailing slashes (but keep "/").
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return "/";
}

std::string RealOr(const std::string& path)
{
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf) != nullptr)
        return buf;
    return path;
}

bool IsBelow(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return true;
    return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
        (path.size() == folder.size() || path[folder.size()] == '/');
}

// Walks up while the parent is on the same device.
std::string MountPointOf(const std::string& path)
{
    std::string cur = path;
    struct stat st {};
    if (stat(cur.c_str(), &st) != 0)
        return "/";
    while (cur != "/") {
        std::string parent = cur.substr(0, cur.rfind('/'));
        if (parent.empty())
            parent = "/";
        struct stat pst {};
        if (stat(parent.c_str(), &pst) != 0 || pst.st_dev != st.st_dev)
            break;
        cur = parent;
    }
    return cur;
}

bool ReadFlagFile(const std::string& file)
{
    std::ifstream in(file);
    int value = 0;
    return in >> value && value != 0;
}

bool KernelSaysRemovable(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return false;
    const std::string dev =
        "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    // A partition has no flag of its own; its disk, one level up, has.
    return ReadFlagFile(dev + "/removable") || ReadFlagFile(dev + "/../removable");
}

// Whether every name of the relative path `rest` ("a/b") is one Windows could hold.
bool AllWindowsNames(const std::string& rest)
{
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find('/', start);
        if (end == std::string::npos)
            end = rest.size();
        std::u16string name;
        if (!Utf8ToUtf16(std::string_view(rest).substr(start, end - start), name) || !IsWindowsName(name))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

DriveTable& DriveTable::Instance()
{
    static DriveTable table;
    return table;
}

std::vector<DriveEntry> DriveTable::Parse(std::string_view spec)
{
    std::vector<DriveEntry> out;
    while (!spec.empty()) {
        const size_t semi = spec.find(';');
        std::string_view item = spec.substr(0, semi);
        spec = semi == std::string_view::npos ? std::string_view{} : spec.substr(semi + 1);

        const size_t eq = item.find('=');
        if (eq != 1)
            continue;
        DriveEntry e;
        e.letter = UpperLetter(static_cast<unsigned char>(item[0]));
        if (e.letter == 0)
            continue;
        std::string_view folder = item.substr(2);
        // Flags are the trailing ":word" parts that name a flag; a colon
        // inside the folder name stays part of it.
        for (;;) {
            const size_t colon = folder.rfind(':');
            if (colon == std::string_view::npos)
                break;
            const std::string_view flag = folder.substr(colon + 1);
            if (flag == "removable")
                e.removable = true;
            else if (flag == "readonly" || flag == "write-protected" || flag == "writeprotected")
                e.writeProtected = true;
            else
                break;
            folder = folder.substr(0, colon);
        }
        if (folder.empty())
            continue;
        e.root = Absolute(std::string(folder));
        std::erase_if(out, [&](const DriveEntry& o) { return o.letter == e.letter; });
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<DriveEntry> DriveTable::Defaults(const std::string& home, const std::string& cwd)
{
    std::vector<DriveEntry> out;
    out.push_back(DriveEntry{u'C', home, false, false, true});
    if (!IsBelow(cwd, home)) {
        DriveEntry d{u'D', MountPointOf(cwd), false, false, true};
        d.removable = KernelSaysRemovable(d.root);
        out.push_back(std::move(d));
    }
    return out;
}

void DriveTable::EnsureLoaded() const
{
    // Caller holds TableMutex.
    if (Loaded())
        return;
    Loaded() = true;
    if (const char* spec = std::getenv("VELMORASTINE_DRIVES"); spec != nullptr && spec[0] != '\0')
        Table() = Parse(spec);
    else
        Table() = Defaults(RealOr(HomeFolder()), RealOr(HostCwd()));
}

void DriveTable::Configure(std::string_view spec)
{
    {
        std::lock_guard lock(TableMutex());
        Loaded() = true;
        Table() = Parse(spec);
    }
    ForgetCurrentDirectory();
}

void DriveTable::Reset()
{
    {
        std::lock_guard lock(TableMutex());
        Loaded() = false;
        Table().clear();
    }
    ForgetCurrentDirectory();
}

void DriveTable::SetDrive(char16_t letter, std::string hostRoot, bool removable, bool writeProtected)
{
    letter = UpperLetter(letter);
    if (letter == 0 || hostRoot.empty())
        return;
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    auto& t = Table();
    std::erase_if(t, [&](const DriveEntry& o) { return o.letter == letter; });
    t.push_back(DriveEntry{letter, Absolute(std::move(hostRoot)), removable, writeProtected, true});
}

void DriveTable::Forget(char16_t letter)
{
    letter = UpperLetter(letter);
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    std::erase_if(Table(), [&](const DriveEntry& o) { return o.letter == letter; });
}

void DriveTable::SetPresent(char16_t letter, bool present)
{
    letter = UpperLetter(letter);
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    for (auto& e : Table())
        if (e.letter == letter)
            e.present = present;
}

void DriveTable::SetWriteProtected(char16_t letter, bool writeProtected)
{
    letter = UpperLetter(letter);
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    for (auto& e : Table())
        if (e.letter == letter)
            e.writeProtected = writeProtected;
}

std::optional<char16_t> DriveTable::AddDriveFor(const std::string& hostFolder)
{
    if (hostFolder.empty() || hostFolder[0] != '/')
        return std::nullopt;
    std::string folder = hostFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    std::string root = MountPointOf(folder);
    const std::string rest = root == "/" ? folder.substr(1) : folder.substr(std::min(folder.size(), root.size() + 1));
    if (!AllWindowsNames(rest))
        root = folder;
    const bool removable = KernelSaysRemovable(root);

    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    auto& t = Table();
    for (const auto& e : t)
        if (e.present && e.root == root)
            return e.letter;
    for (char16_t letter = u'Z'; letter >= u'D'; --letter) {
        if (std::any_of(t.begin(), t.end(), [&](const DriveEntry& e) { return e.letter == letter; }))
            continue;
        t.push_back(DriveEntry{letter, root, removable, false, true});
        return letter;
    }
    return std::nullopt;
}

std::optional<DriveEntry> DriveTable::Find(char16_t letter) const
{
    letter = UpperLetter(letter);
    if (letter == 0)
        return std::nullopt;
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    for (const auto& e : Table())
        if (e.letter == letter)
            return e;
    return std::nullopt;
}

bool DriveTable::IsPresent(char16_t letter) const
{
    letter = UpperLetter(letter);
    if (letter == 0)
        return false;
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    for (const auto& e : Table())
        if (e.letter == letter)
            return e.present;
    return false;
}

std::vector<DriveEntry> DriveTable::Entries() const
{
    std::lock_guard lock(TableMutex());
    EnsureLoaded();
    return Table();
}

} // namespace host
