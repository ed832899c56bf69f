#include "platform/win/Drives.h"

#include <limits>
#include <sys/statvfs.h>

#include "platform/win/CurrentDirectory.h"
#include "platform/win/DriveTable.h"
#include "platform/win/PathResolver.h"

namespace win {

namespace {

bool IsSep(char16_t c) { return c == u'\\' || c == u'/'; }

std::int64_t Bytes(unsigned long long blocks, unsigned long long blockSize)
{
    unsigned long long out = 0;
    if (__builtin_mul_overflow(blocks, blockSize, &out) ||
        out > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()))
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(out);
}

std::int64_t Query(BYTE drive, bool total)
{
    if (drive < 1 || drive > 26)
        return -1;
    const auto entry = DriveTable::Instance().Find(static_cast<char16_t>(u'A' + drive - 1));
    if (!entry || !entry->present)
        return -1;
    struct statvfs vfs {};
    if (statvfs(entry->root.c_str(), &vfs) != 0)
        return -1;
    return Bytes(total ? vfs.f_blocks : vfs.f_bavail, vfs.f_frsize);
}

} // namespace

UINT GetDriveTypeW(const char16_t* rootPath)
{
    std::u16string root;
    if (rootPath == nullptr) {
        root = CurrentDirectory().substr(0, 3);
    } else {
        root = rootPath;
    }
    if (root.size() != 3 || root[1] != u':' || !IsSep(root[2]))
        return DRIVE_NO_ROOT_DIR;
    const auto entry = DriveTable::Instance().Find(root[0]);
    if (!entry)
        return DRIVE_NO_ROOT_DIR;
    if (entry->removable)
        return DRIVE_REMOVABLE;
    return entry->present ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

UINT GetDriveTypeA(const char* rootPath)
{
    if (rootPath == nullptr)
        return GetDriveTypeW(nullptr);
    return GetDriveTypeW(AnsiPathToWide(rootPath).c_str());
}

std::int64_t DiskSize(BYTE drive) { return Query(drive, true); }
std::int64_t DiskFree(BYTE drive) { return Query(drive, false); }

} // namespace win
