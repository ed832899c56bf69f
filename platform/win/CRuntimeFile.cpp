#include "platform/win/CRuntimeFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "platform/win/HostFileIo.h"
#include "platform/win/LastError.h"
#include "platform/win/PathResolver.h"

namespace win {

std::FILE* OpenCFileW(const char16_t* path, const char* mode)
{
    if (path == nullptr || mode == nullptr || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) {
        errno = EINVAL;
        return nullptr;
    }
    const ResolvedPath r = ResolvePath(path);
    if (!r.ok()) {
        errno = r.error == ERROR_NOT_READY ? ENODEV : r.error == ERROR_INVALID_NAME ? EINVAL : ENOENT;
        return nullptr;
    }
    const bool writes = mode[0] != 'r' || std::strchr(mode, '+') != nullptr;
    struct stat st {};
    const bool exists = stat(r.host.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EACCES;
        return nullptr;
    }
    if (writes && r.writeProtected) {
        errno = EROFS;
        return nullptr;
    }
    if (writes && exists && (st.st_mode & S_IWUSR) == 0) {
        errno = EACCES;
        return nullptr;
    }
    return OpenRegularCFile(r.host, mode);
}

std::FILE* OpenCFile(const char* path, const char* mode)
{
    if (path == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    return OpenCFileW(AnsiPathToWide(path).c_str(), mode);
}

} // namespace win
