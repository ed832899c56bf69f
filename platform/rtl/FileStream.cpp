#include "platform/rtl/FileStream.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/detail/HostPath.h"
#include "platform/host/FileIo.h"
#include "platform/host/OpenFileHold.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <unordered_map>

namespace rtl {
namespace {

// Win32 codes the failures map to (see SysErrorMessage).
std::uint32_t ErrorOf(int error, bool parentExists)
{
    switch (error) {
    case ENOENT:
        return parentExists ? 2 : 3;
    case ENOTDIR:
        return 3;
    case EACCES:
    case EPERM:
    case EISDIR:
        return 5;
    case EROFS:
        return 19;
    case ENOSPC:
    case EDQUOT:
        return 112;
    case ENAMETOOLONG:
        return 206;
    case EMFILE:
    case ENFILE:
        return 4;
    default:
        return 5;
    }
}

[[noreturn]] void Fail(bool create, const UnicodeString& name, std::uint32_t code)
{
    UnicodeString text =
        (create ? u"Cannot create file \"" : u"Cannot open file \"") + name + u"\". " + SysErrorMessage(code);
    if (create)
        throw EFCreateError(text);
    throw EFOpenError(text);
}

// Holds on the files streams have open, so the layer's DeleteFile refuses
// them as Windows does.
std::mutex gHoldsMutex;
std::unordered_map<int, std::unique_ptr<host::OpenFileHold>>& Holds()
{
    static std::unordered_map<int, std::unique_ptr<host::OpenFileHold>> holds;
    return holds;
}

} // namespace

TFileStream::TFileStream(const UnicodeString& fileName, std::uint16_t mode) : fileName_(fileName)
{
    const bool create = (mode & 0xFF00) == fmCreate;
    const int access = mode & 0x0003;
    const bool writing = create || access == fmOpenWrite || access == fmOpenReadWrite;
    detail::HostFile host = detail::HostPath(fileName);
    if (!host.ok)
        Fail(create, fileName, host.error);
    struct stat st {};
    const bool exists = stat(host.path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        Fail(create, fileName, 5);
    if (!exists && !create)
        Fail(false, fileName, host.parentExists ? 2 : 3);
    if (writing && host.writeProtected)
        Fail(create, fileName, 19);
    if (writing && exists && (st.st_mode & S_IWUSR) == 0)
        Fail(create, fileName, 5);
    int flags = 0;
    if (create)
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    else
        flags |= access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    // A FIFO or a device in the file's place is refused as a folder is.
    const int fd = host::OpenRegularFile(host.path, flags, 0666);
    if (fd < 0)
        Fail(create, fileName, ErrorOf(errno, host.parentExists));
    fd_ = fd;
    try {
        auto hold = std::make_unique<host::OpenFileHold>(host::OpenFileHold::ForDescriptor(fd));
        std::lock_guard<std::mutex> guard(gHoldsMutex);
        Holds()[fd] = std::move(hold);
    } catch (...) {
        // Without a hold the file merely stays deletable.
    }
}

TFileStream::~TFileStream()
{
    if (fd_ < 0)
        return;
    std::unique_ptr<host::OpenFileHold> hold;
    {
        std::lock_guard<std::mutex> guard(gHoldsMutex);
        auto it = Holds().find(fd_);
        if (it != Holds().end()) {
            hold = std::move(it->second);
            Holds().erase(it);
        }
    }
    hold.reset();
    ::close(fd_);
}

std::int32_t TFileStream::Read(void* buffer, std::int32_t count)
{
    if (count <= 0 || !buffer)
        return 0;
    auto* p = static_cast<unsigned char*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::int32_t>(n);
    }
    return done;
}

bool TFileStream::FlushToDisk()
{
    while (::fsync(fd_) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

std::int32_t TFileStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0 || !buffer)
        return 0;
    const auto* p = static_cast<const unsigned char*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::int32_t>(n);
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

std::int64_t TFileStream::Size()
{
    struct stat st {};
    if (fstat(fd_, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

void TFileStream::SetSize(std::int64_t size)
{
    if (size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EWriteError(u"Stream write error");
    if (Position() > size)
        Seek(size, soBeginning);
}

} // namespace rtl
