#include "platform/rtl/detail/HostPath.h"

#include "platform/host/PathResolver.h"

#include <sys/stat.h>

namespace rtl::detail {

HostFile HostPath(const UnicodeString& windowsPath)
{
    HostFile f;
    host::ResolvedPath r = host::ResolvePath(windowsPath.view());
    if (!r.ok()) {
        f.error = r.error;
        return f;
    }
    f.ok = true;
    f.path = std::move(r.host);
    f.writeProtected = r.writeProtected;
    f.parentExists = r.parentExists;
    return f;
}

bool HostFileWritable(const std::string& hostPath)
{
    struct stat st {};
    if (stat(hostPath.c_str(), &st) != 0)
        return true;
    return (st.st_mode & S_IWUSR) != 0;
}

} // namespace rtl::detail
