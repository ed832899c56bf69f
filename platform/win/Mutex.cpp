#include "platform/win/Mutex.h"

#include "platform/rtl/CodePage.h"
#include "platform/win/Handle.h"
#include "platform/win/LastError.h"
#include "platform/win/Messages.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace win {

namespace {

// One per name in this process, while any handle to it is open; it holds
// the process's shared lock on the name's lock file.
struct NamedMutex {
    std::string name;
    int fd = -1;
    int handles = 0;
    DWORD ownerThread = 0;
    int ownedCount = 0;
};

struct MutexTable {
    std::mutex mutex;
    pid_t pid = 0; // the process the table belongs to (a forked child starts afresh)
    std::map<std::string, std::shared_ptr<NamedMutex>> named;
    std::string folder; // set by tests
};

MutexTable& Table()
{
    static MutexTable* table = new MutexTable;
    return *table;
}

class MutexObject : public detail::KernelObject {
public:
    explicit MutexObject(std::shared_ptr<NamedMutex> mutex) : mutex_(std::move(mutex)) {}
    ~MutexObject() override;
    NamedMutex& Mutex() { return *mutex_; }

private:
    std::shared_ptr<NamedMutex> mutex_;
};

void ResetAfterForkLocked(MutexTable& table)
{
    const pid_t pid = ::getpid();
    if (table.pid == pid)
        return;
    // The record locks stayed with the parent; the descriptors are copies.
    for (auto& [name, entry] : table.named) {
        if (entry->fd >= 0)
            ::close(entry->fd);
        entry->fd = -1;
    }
    table.named.clear();
    table.pid = pid;
}

MutexObject::~MutexObject()
{
    MutexTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    if (mutex_->name.empty())
        return;
    if (--mutex_->handles > 0)
        return;
    if (mutex_->fd >= 0)
        ::close(mutex_->fd); // releases the record lock
    mutex_->fd = -1;
    auto it = table.named.find(mutex_->name);
    if (it != table.named.end() && it->second == mutex_)
        table.named.erase(it);
}

// Lock file name: the name's UTF-8 bytes, all but [A-Za-z0-9._-] as %XX.
std::string LockFileName(const std::string& name)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "vm-mutex-";
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
            c == '-') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string FolderLocked(const MutexTable& table)
{
    if (!table.folder.empty())
        return table.folder;
    if (const char* dir = std::getenv("VELMORASTINE_MUTEX_DIR"); dir && *dir)
        return dir;
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir)
        return dir;
    return "/tmp";
}

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

bool SetRecordLock(int fd, short type, bool wait)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    for (;;) {
        if (::fcntl(fd, wait ? F_SETLKW : F_SETLK, &lock) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// Takes this process's shared lock; `existed` tells whether another process
// held the name already.
bool LockName(const std::string& path, int& fdOut, bool& existed, DWORD& error)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = ErrorFromErrno(errno);
        return false;
    }
    if (SetRecordLock(fd, F_WRLCK, false)) {
        // Nobody else holds it: the first. Converting to a shared lock is atomic
        // for record locks, so no other process can slip in as "first" too.
        existed = false;
        SetRecordLock(fd, F_RDLCK, false);
    } else if (errno == EACCES || errno == EAGAIN) {
        existed = true;
        // Another first opener holds the exclusive lock only for an instant.
        if (!SetRecordLock(fd, F_RDLCK, true)) {
            error = ErrorFromErrno(errno);
            ::close(fd);
            return false;
        }
    } else {
        error = ErrorFromErrno(errno);
        ::close(fd);
        return false;
    }
    fdOut = fd;
    return true;
}

HANDLE CreateNamed(BOOL initialOwner, const std::string& name)
{
    if (name.empty()) {
        auto mutex = std::make_shared<NamedMutex>();
        if (initialOwner) {
            mutex->ownerThread = GetCurrentThreadId();
            mutex->ownedCount = 1;
        }
        SetLastError(ERROR_SUCCESS);
        return detail::InsertHandle(std::make_shared<MutexObject>(mutex));
    }
    const DWORD thread = GetCurrentThreadId();
    MutexTable& table = Table();
    std::shared_ptr<NamedMutex> mutex;
    bool existed = false;
    {
        std::lock_guard<std::mutex> guard(table.mutex);
        ResetAfterForkLocked(table);
        auto it = table.named.find(name);
        if (it != table.named.end()) {
            mutex = it->second;
            existed = true;
        } else {
            int fd = -1;
            DWORD error = 0;
            if (!LockName(FolderLocked(table) + "/" + LockFileName(name), fd, existed, error)) {
                SetLastError(error);
                return nullptr;
            }
            mutex = std::make_shared<NamedMutex>();
            mutex->name = name;
            mutex->fd = fd;
            table.named[name] = mutex;
            if (!existed && initialOwner) {
                mutex->ownerThread = thread;
                mutex->ownedCount = 1;
            }
        }
        ++mutex->handles;
    }
    HANDLE handle = detail::InsertHandle(std::make_shared<MutexObject>(mutex));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

} // namespace

HANDLE CreateMutexW(SECURITY_ATTRIBUTES*, BOOL initialOwner, const char16_t* name)
{
    return CreateNamed(initialOwner, name ? rtl::Utf16ToUtf8(name) : std::string());
}

HANDLE CreateMutexA(SECURITY_ATTRIBUTES*, BOOL initialOwner, const char* name)
{
    return CreateNamed(initialOwner, name ? rtl::Utf16ToUtf8(rtl::Cp932ToUtf16(name)) : std::string());
}

HANDLE CreateMutex(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, const char16_t* name)
{
    return CreateMutexW(attributes, initialOwner, name);
}

BOOL ReleaseMutex(HANDLE handle)
{
    auto object = std::dynamic_pointer_cast<MutexObject>(detail::FindHandle(handle));
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const DWORD thread = GetCurrentThreadId();
    MutexTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    NamedMutex& mutex = object->Mutex();
    if (mutex.ownedCount == 0 || mutex.ownerThread != thread) {
        SetLastError(ERROR_NOT_OWNER);
        return 0;
    }
    if (--mutex.ownedCount == 0)
        mutex.ownerThread = 0;
    return 1;
}

namespace detail {

void SetMutexFolder(const std::string& hostFolder)
{
    MutexTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    table.folder = hostFolder;
}

std::string MutexFolder()
{
    MutexTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    return FolderLocked(table);
}

} // namespace detail

} // namespace win
