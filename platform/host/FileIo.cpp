#include "platform/host/FileIo.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool Sync(int fd)
{
    while (::fsync(fd) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

// Decimal digits of text[at, end) as a number; false for none, another
// character or more than 9 digits.
bool Digits(const std::string& text, std::size_t at, std::size_t end, long& out)
{
    if (at >= end || end - at > 9)
        return false;
    out = 0;
    for (std::size_t i = at; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

std::atomic<unsigned> gTempCounter{0};

} // namespace

long ReadFileAt(int fd, off_t at, void* buffer, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, bytes + got, size - got, at + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

int OpenRegularFile(const std::string& hostPath, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(hostPath.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A FIFO without a reader, opened for writing, or a device without its driver.
        if (errno == ENXIO || errno == ENODEV)
            errno = EACCES;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISREG(st.st_mode) ? errno : EACCES;
        ::close(fd);
        errno = error;
        return -1;
    }
    if ((flags & O_NONBLOCK) == 0) {
        const int now = ::fcntl(fd, F_GETFL);
        if (now == -1 || ::fcntl(fd, F_SETFL, now & ~O_NONBLOCK) != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
    }
    return fd;
}

std::FILE* OpenRegularCFile(const std::string& hostPath, const char* mode)
{
    if (mode == nullptr || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) {
        errno = EINVAL;
        return nullptr;
    }
    const bool update = std::strchr(mode, '+') != nullptr;
    int flags = update ? O_RDWR : mode[0] == 'r' ? O_RDONLY : O_WRONLY;
    if (mode[0] == 'w')
        flags |= O_CREAT | O_TRUNC;
    if (mode[0] == 'a')
        flags |= O_CREAT | O_APPEND;
    const int fd = OpenRegularFile(hostPath, flags, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* f = ::fdopen(fd, mode);
    if (f == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return f;
}

bool IsReadableRegularFile(const std::string& hostPath)
{
    const int fd = OpenRegularFile(hostPath, O_RDONLY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool ReplaceFileDurably(const std::string& path, const std::string& bytes, mode_t createMode, int keepMode)
{
    const std::string temp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(gTempCounter++);
    const int fd = OpenRegularFile(temp, O_WRONLY | O_CREAT | O_EXCL, createMode);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && (keepMode < 0 || ::fchmod(fd, static_cast<mode_t>(keepMode)) == 0) && Sync(fd);
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        Sync(dir);
        ::close(dir);
    }
    return true;
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const std::string prefix = name + ".tmp.";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string file = entry->d_name;
        if (file.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::size_t dot = file.find('.', prefix.size());
        long pid = 0, n = 0;
        if (dot == std::string::npos || !Digits(file, prefix.size(), dot, pid) ||
            !Digits(file, dot + 1, file.size(), n) || pid <= 0)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink((folder + "/" + file).c_str());
    }
    ::closedir(dir);
}

} // namespace host
