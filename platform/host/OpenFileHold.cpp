#include "platform/host/OpenFileHold.h"

#include <map>
#include <mutex>
#include <sys/stat.h>
#include <utility>

#include "platform/host/PathResolver.h"

namespace host {

namespace {

std::mutex& HoldMutex()
{
    static std::mutex m;
    return m;
}
std::map<std::pair<std::uint64_t, std::uint64_t>, int>& Holds() // guarded by HoldMutex
{
    static std::map<std::pair<std::uint64_t, std::uint64_t>, int> holds;
    return holds;
}

} // namespace

OpenFileHold::OpenFileHold(std::u16string_view windowsPath)
{
    const ResolvedPath r = ResolvePath(windowsPath);
    struct stat st {};
    if (r.ok() && stat(r.host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        Take(st.st_dev, st.st_ino);
}

OpenFileHold OpenFileHold::ForDescriptor(int fd)
{
    OpenFileHold hold;
    struct stat st {};
    if (fd >= 0 && fstat(fd, &st) == 0)
        hold.Take(st.st_dev, st.st_ino);
    return hold;
}

void OpenFileHold::Take(std::uint64_t device, std::uint64_t inode)
{
    std::lock_guard lock(HoldMutex());
    ++Holds()[{device, inode}];
    device_ = device;
    inode_ = inode;
    held_ = true;
}

void OpenFileHold::Release()
{
    if (!held_)
        return;
    std::lock_guard lock(HoldMutex());
    auto it = Holds().find({device_, inode_});
    if (it != Holds().end() && --it->second <= 0)
        Holds().erase(it);
    held_ = false;
}

OpenFileHold::~OpenFileHold() { Release(); }

OpenFileHold::OpenFileHold(OpenFileHold&& other) noexcept
    : device_(other.device_), inode_(other.inode_), held_(std::exchange(other.held_, false))
{
}

OpenFileHold& OpenFileHold::operator=(OpenFileHold&& other) noexcept
{
    if (this != &other) {
        Release();
        device_ = other.device_;
        inode_ = other.inode_;
        held_ = std::exchange(other.held_, false);
    }
    return *this;
}

bool OpenFileHold::IsHeld(std::uint64_t device, std::uint64_t inode)
{
    std::lock_guard lock(HoldMutex());
    return Holds().count({device, inode}) != 0;
}

} // namespace host
