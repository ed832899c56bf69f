#include "platform/win/Files.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/win/FileFaults.h"
#include "platform/win/HostFileIo.h"
#include "platform/win/LastError.h"
#include "platform/win/OpenFileHold.h"
#include "platform/win/PathResolver.h"

namespace win {

namespace {

constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;

DWORD FromErrno(int e, DWORD notFound = ERROR_FILE_NOT_FOUND)
{
    switch (e) {
    case ENOENT:
        return notFound;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_WRITE_FAULT;
    }
}

BOOL Fail(DWORD code)
{
    SetLastError(code);
    return 0;
}

bool IsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

DWORD MissingError(const ResolvedPath& r) { return r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND; }

// Resolves and stats; false with the last error set when the path is bad.
bool ResolveExisting(const char16_t* path, ResolvedPath& r, struct stat& st, bool followLink = true)
{
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    r = ResolvePath(path);
    if (!r.ok()) {
        SetLastError(r.error);
        return false;
    }
    const int rc = followLink ? stat(r.host.c_str(), &st) : lstat(r.host.c_str(), &st);
    if (rc != 0) {
        SetLastError(errno == ENOENT ? MissingError(r) : FromErrno(errno));
        return false;
    }
    return true;
}

bool ResolveForChange(const char16_t* path, ResolvedPath& r)
{
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    r = ResolvePath(path);
    if (!r.ok()) {
        SetLastError(r.error);
        return false;
    }
    if (r.writeProtected) {
        SetLastError(ERROR_WRITE_PROTECT);
        return false;
    }
    return true;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::u16string Wide(const char* ansi) { return AnsiPathToWide(ansi); }

} // namespace

namespace detail {
DWORD AttributesOf(unsigned mode)
{
    DWORD a = S_ISDIR(mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((mode & S_IWUSR) == 0)
        a |= FILE_ATTRIBUTE_READONLY;
    return a;
}
} // namespace detail

DWORD GetFileAttributesW(const char16_t* path)
{
    ResolvedPath r;
    struct stat st {};
    if (!ResolveExisting(path, r, st))
        return INVALID_FILE_ATTRIBUTES;
    return detail::AttributesOf(st.st_mode);
}

BOOL SetFileAttributesW(const char16_t* path, DWORD attributes)
{
    ResolvedPath r;
    struct stat st {};
    if (!ResolveExisting(path, r, st))
        return 0;
    if (r.writeProtected)
        return Fail(ERROR_WRITE_PROTECT);
    mode_t mode = st.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    if (chmod(r.host.c_str(), mode) != 0)
        return Fail(FromErrno(errno));
    return 1;
}

BOOL CreateDirectoryW(const char16_t* path, void*)
{
    ResolvedPath r;
    if (!ResolveForChange(path, r))
        return 0;
    if (r.isRoot)
        return Fail(ERROR_ACCESS_DENIED);
    struct stat st {};
    if (stat(r.host.c_str(), &st) == 0)
        return Fail(ERROR_ALREADY_EXISTS);
    if (!r.parentExists)
        return Fail(ERROR_PATH_NOT_FOUND);
    if (mkdir(r.host.c_str(), 0777) != 0)
        return Fail(FromErrno(errno, ERROR_PATH_NOT_FOUND));
    return 1;
}

BOOL RemoveDirectoryW(const char16_t* path)
{
    ResolvedPath r;
    struct stat st {};
    if (!ResolveExisting(path, r, st))
        return 0;
    if (r.writeProtected)
        return Fail(ERROR_WRITE_PROTECT);
    if (!S_ISDIR(st.st_mode))
        return Fail(ERROR_DIRECTORY);
    if (r.isRoot || IsReadOnly(st))
        return Fail(ERROR_ACCESS_DENIED);
    if (rmdir(r.host.c_str()) != 0)
        return Fail(FromErrno(errno));
    return 1;
}

BOOL DeleteFileW(const char16_t* path)
{
    ResolvedPath r;
    struct stat st {};
    if (!ResolveExisting(path, r, st))
        return 0;
    if (r.writeProtected)
        return Fail(ERROR_WRITE_PROTECT);
    if (S_ISDIR(st.st_mode) || IsReadOnly(st))
        return Fail(ERROR_ACCESS_DENIED);
    if (OpenFileHold::IsHeld(st.st_dev, st.st_ino))
        return Fail(ERROR_SHARING_VIOLATION);
    if (unlink(r.host.c_str()) != 0)
        return Fail(FromErrno(errno));
    return 1;
}

BOOL CopyFileW(const char16_t* source, const char16_t* target, BOOL failIfExists)
{
    ResolvedPath src;
    struct stat sst {};
    if (!ResolveExisting(source, src, sst))
        return 0;
    if (S_ISDIR(sst.st_mode))
        return Fail(ERROR_ACCESS_DENIED);
    ResolvedPath dst;
    if (!ResolveForChange(target, dst))
        return 0;
    if (dst.isRoot)
        return Fail(ERROR_ACCESS_DENIED);
    struct stat dstSt {};
    const bool exists = stat(dst.host.c_str(), &dstSt) == 0;
    if (exists) {
        if (failIfExists)
            return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(dstSt.st_mode) || IsReadOnly(dstSt))
            return Fail(ERROR_ACCESS_DENIED);
        if ((dstSt.st_dev == sst.st_dev && dstSt.st_ino == sst.st_ino) ||
            OpenFileHold::IsHeld(dstSt.st_dev, dstSt.st_ino))
            return Fail(ERROR_SHARING_VIOLATION);
    } else if (!dst.parentExists) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }

    const int in = OpenRegularFile(src.host, O_RDONLY);
    if (in < 0)
        return Fail(FromErrno(errno));
    const int out = OpenRegularFile(dst.host, O_WRONLY | O_CREAT | (exists ? O_TRUNC : O_EXCL), 0666);
    if (out < 0) {
        const int e = errno;
        close(in);
        return Fail(e == EEXIST ? ERROR_FILE_EXISTS : FromErrno(e, ERROR_PATH_NOT_FOUND));
    }

    DWORD error = 0;
    std::uint64_t done = 0;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = ERROR_READ_FAULT;
            break;
        }
        if (n == 0)
            break;
        // A full disk or a pulled card, when a test switched it on.
        std::uint32_t fault = 0;
        const std::uint64_t allowed =
            FileFaults::Allow(src.drive, dst.drive, done, static_cast<std::uint64_t>(n), fault);
        if (!WriteAll(out, buffer.data(), static_cast<size_t>(allowed))) {
            error = FromErrno(errno);
            break;
        }
        done += allowed;
        if (allowed < static_cast<std::uint64_t>(n)) {
            error = fault;
            break;
        }
    }
    if (error == 0) {
        const timespec times[2] = {sst.st_atim, sst.st_mtim};
        futimens(out, times);
        if (IsReadOnly(sst))
            fchmod(out, 0444);
    }
    if (close(out) != 0 && error == 0)
        error = FromErrno(errno);
    close(in);
    if (error != 0) {
        // No partial copy stays behind.
        unlink(dst.host.c_str());
        return Fail(error);
    }
    return 1;
}

BOOL MoveFileExW(const char16_t* source, const char16_t* target, DWORD flags)
{
    ResolvedPath src;
    struct stat sst {};
    if (!ResolveExisting(source, src, sst, false))
        return 0;
    if (src.writeProtected)
        return Fail(ERROR_WRITE_PROTECT);
    if (src.isRoot)
        return Fail(ERROR_ACCESS_DENIED);
    ResolvedPath dst;
    if (!ResolveForChange(target, dst))
        return 0;
    if (dst.isRoot)
        return Fail(ERROR_ACCESS_DENIED);
    if (!S_ISDIR(sst.st_mode) && OpenFileHold::IsHeld(sst.st_dev, sst.st_ino))
        return Fail(ERROR_SHARING_VIOLATION);
    struct stat dstSt {};
    if (lstat(dst.host.c_str(), &dstSt) == 0) {
        const bool sameEntry = dstSt.st_dev == sst.st_dev && dstSt.st_ino == sst.st_ino;
        if (!sameEntry) {
            if ((flags & MOVEFILE_REPLACE_EXISTING) == 0)
                return Fail(ERROR_ALREADY_EXISTS);
            if (S_ISDIR(dstSt.st_mode) || S_ISDIR(sst.st_mode) || IsReadOnly(dstSt))
                return Fail(ERROR_ACCESS_DENIED);
            if (OpenFileHold::IsHeld(dstSt.st_dev, dstSt.st_ino))
                return Fail(ERROR_SHARING_VIOLATION);
        }
    } else if (!dst.parentExists) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    if (rename(src.host.c_str(), dst.host.c_str()) != 0)
        return Fail(FromErrno(errno, ERROR_PATH_NOT_FOUND));
    return 1;
}

BOOL MoveFileW(const char16_t* source, const char16_t* target) { return MoveFileExW(source, target, 0); }

DWORD GetFileAttributesA(const char* path)
{
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    return GetFileAttributesW(Wide(path).c_str());
}

BOOL SetFileAttributesA(const char* path, DWORD attributes)
{
    return path == nullptr ? Fail(ERROR_INVALID_PARAMETER) : SetFileAttributesW(Wide(path).c_str(), attributes);
}

BOOL CreateDirectoryA(const char* path, void* sa)
{
    return path == nullptr ? Fail(ERROR_INVALID_PARAMETER) : CreateDirectoryW(Wide(path).c_str(), sa);
}

BOOL RemoveDirectoryA(const char* path)
{
    return path == nullptr ? Fail(ERROR_INVALID_PARAMETER) : RemoveDirectoryW(Wide(path).c_str());
}

BOOL DeleteFileA(const char* path)
{
    return path == nullptr ? Fail(ERROR_INVALID_PARAMETER) : DeleteFileW(Wide(path).c_str());
}

BOOL CopyFileA(const char* source, const char* target, BOOL failIfExists)
{
    if (source == nullptr || target == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    return CopyFileW(Wide(source).c_str(), Wide(target).c_str(), failIfExists);
}

BOOL MoveFileA(const char* source, const char* target)
{
    if (source == nullptr || target == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    return MoveFileW(Wide(source).c_str(), Wide(target).c_str());
}

bool FileExists(const rtl::UnicodeString& path, bool followLink)
{
    ResolvedPath r;
    struct stat st {};
    return ResolveExisting(path.c_str(), r, st, followLink) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const rtl::UnicodeString& path, bool followLink)
{
    ResolvedPath r;
    struct stat st {};
    return ResolveExisting(path.c_str(), r, st, followLink) && S_ISDIR(st.st_mode);
}

bool CreateDir(const rtl::UnicodeString& path) { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

bool ForceDirectories(const rtl::UnicodeString& path)
{
    const std::u16string abs = AbsoluteWindowsPath(path.view());
    if (abs.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    // "E:\a\b\c": create "E:\a", "E:\a\b" and "E:\a\b\c" as needed.
    for (size_t pos = 3; pos <= abs.size(); ++pos) {
        if (pos != abs.size() && abs[pos] != u'\\')
            continue;
        const std::u16string prefix = abs.substr(0, pos);
        if (DirectoryExists(rtl::UnicodeString(prefix)))
            continue;
        if (!CreateDirectoryW(prefix.c_str(), nullptr))
            return false;
    }
    return DirectoryExists(rtl::UnicodeString(abs));
}

bool RemoveDir(const rtl::UnicodeString& path) { return RemoveDirectoryW(path.c_str()) != 0; }

bool DeleteFile(const rtl::UnicodeString& path) { return DeleteFileW(path.c_str()) != 0; }

bool RenameFile(const rtl::UnicodeString& oldName, const rtl::UnicodeString& newName)
{
    return MoveFileW(oldName.c_str(), newName.c_str()) != 0;
}

int FileGetAttr(const rtl::UnicodeString& path, bool followLink)
{
    ResolvedPath r;
    struct stat st {};
    if (!ResolveExisting(path.c_str(), r, st, followLink))
        return -1;
    return static_cast<int>(detail::AttributesOf(st.st_mode));
}

int FileSetAttr(const rtl::UnicodeString& path, int attributes, bool)
{
    if (SetFileAttributesW(path.c_str(), static_cast<DWORD>(attributes)))
        return 0;
    return static_cast<int>(GetLastError());
}

} // namespace win
