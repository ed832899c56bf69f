#include "platform/win/FileRegistryStore.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/HostFileIo.h"
#include "platform/win/RegistryText.h"

namespace win {

namespace {

constexpr off_t kMaxHiveBytes = 64 * 1024 * 1024;

const char* HiveName(RegistryHive hive) { return hive == RegistryHive::Machine ? "machine" : "user"; }

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string part;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = folder.find('/', at + 1);
        part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && SameTime(a.st_mtim, b.st_mtim) &&
        SameTime(a.st_ctim, b.st_ctim);
}

// Holds an exclusive flock on the hive's lock file while it lives.
class HiveLock {
public:
    explicit HiveLock(const std::string& path)
    {
        fd_ = OpenRegularFile(path, O_RDWR | O_CREAT, 0644);
        if (fd_ < 0)
            return;
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~HiveLock()
    {
        if (fd_ >= 0)
            close(fd_); // closing releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace

FileRegistryStore::FileRegistryStore(std::string folder) : folder_(std::move(folder))
{
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

FileRegistryStore::~FileRegistryStore()
{
    std::lock_guard<std::mutex> guard(mutex_);
    FlushLocked(RegistryHive::Machine);
    FlushLocked(RegistryHive::User);
    for (Cache& cache : caches_)
        cache.Release();
}

void FileRegistryStore::Cache::Release()
{
    if (held >= 0)
        close(held);
    held = -1;
}

std::string FileRegistryStore::HivePath(RegistryHive hive) const { return folder_ + "/" + HiveName(hive) + ".hive"; }

std::string FileRegistryStore::DefaultFolder()
{
    const char* env = std::getenv("VELMORASTINE_REGISTRY");
    if (env != nullptr && *env != '\0')
        return env;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/')
        return std::string(data) + "/velmorastine/registry";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/')
        return std::string(home) + "/.local/share/velmorastine/registry";
    return "/tmp/velmorastine-registry";
}

bool FileRegistryStore::Refresh(RegistryHive hive)
{
    Cache& cache = CacheOf(hive);
    const std::string path = HivePath(hive);
    // The file read last is held open, so its inode cannot be reused: while
    // the path still names it, unchanged in size and times, it holds what
    // was read (a writer always renames a new file over it).
    struct stat now;
    if (cache.valid && cache.held >= 0 && stat(path.c_str(), &now) == 0 && SameFile(now, cache.heldStat))
        return true;
    std::string bytes;
    int fd = OpenRegularFile(path, O_RDONLY);
    const bool missing = fd < 0 && errno == ENOENT; // a hive never written is empty
    cache.Release();
    if (fd < 0) {
        if (!missing) {
            cache.valid = false;
            return false;
        }
    } else {
        struct stat st;
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxHiveBytes) {
            close(fd);
            cache.valid = false;
            return false;
        }
        bytes.assign(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
        if (done == static_cast<std::size_t>(st.st_size)) {
            cache.held = fd;
            cache.heldStat = st;
        } else {
            close(fd); // it changed while read: read again next time
        }
    }
    // Identical bytes need no parse. (A file not held open cannot tell by
    // its identity and times: inodes are reused and times are coarse.)
    if (cache.valid && cache.bytes == bytes)
        return true;
    RegistryKey root;
    if (!missing && !ParseRegistryHive(bytes, root)) {
        cache.valid = false;
        return false;
    }
    // Another process changed the file: our changes not yet written are made
    // again on its contents. One that no longer applies (its key was
    // deleted there) is dropped, as a write to a deleted key fails.
    std::vector<RegistryEdit> kept;
    for (RegistryEdit& edit : cache.pending)
        if (ApplyRegistryEdit(root, edit) == EditResult::Done)
            kept.push_back(std::move(edit));
    cache.pending = std::move(kept);
    cache.valid = true;
    cache.bytes = std::move(bytes);
    cache.root = std::move(root);
    return true;
}

bool FileRegistryStore::Read(RegistryHive hive, RegistryKey& out)
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (!Refresh(hive)) {
        out = RegistryKey{};
        return false;
    }
    out = CacheOf(hive).root;
    return true;
}

bool FileRegistryStore::ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists)
{
    std::lock_guard<std::mutex> guard(mutex_);
    exists = false;
    out = RegistryKey{};
    if (!Refresh(hive))
        return false;
    if (const RegistryKey* key = CacheOf(hive).root.Find(path)) {
        exists = true;
        out = ShallowCopy(*key);
    }
    return true;
}

bool FileRegistryStore::CanWrite(RegistryHive hive)
{
    struct stat st;
    if (stat(HivePath(hive).c_str(), &st) == 0)
        return S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0;
    if (stat(folder_.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) != 0;
    return true; // the folder is made at the first write
}

EditResult FileRegistryStore::Apply(RegistryHive hive, const RegistryEdit& edit)
{
    std::lock_guard<std::mutex> guard(mutex_);
    Cache& cache = CacheOf(hive);
    // In a batch the hive is asked once whether it can be written, and the
    // edits go on what was read: the write at the batch's end reads the
    // file afresh under its lock and makes them again on it.
    if (batches_ == 0) {
        if (!CanWrite(hive))
            return EditResult::Refused;
    } else {
        if (cache.batchWritable < 0)
            cache.batchWritable = CanWrite(hive) ? 1 : 0;
        if (cache.batchWritable == 0)
            return EditResult::Refused;
    }
    if ((batches_ == 0 || !cache.valid) && !Refresh(hive))
        return EditResult::Refused; // never overwrite what we cannot read
    EditResult result = ApplyRegistryEdit(cache.root, edit);
    if (result == EditResult::Done)
        cache.pending.push_back(edit);
    return result;
}

bool FileRegistryStore::Flush(RegistryHive hive)
{
    std::lock_guard<std::mutex> guard(mutex_);
    return batches_ > 0 || FlushLocked(hive);
}

void FileRegistryStore::BeginBatch()
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (batches_++ == 0)
        for (Cache& cache : caches_)
            cache.batchWritable = -1;
}

void FileRegistryStore::EndBatch()
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (batches_ == 0 || --batches_ > 0)
        return;
    FlushLocked(RegistryHive::Machine);
    FlushLocked(RegistryHive::User);
}

bool FileRegistryStore::FlushLocked(RegistryHive hive)
{
    Cache& cache = CacheOf(hive);
    if (cache.pending.empty())
        return true;
    // Whatever happens below, these changes are written now or never.
    auto giveUp = [&cache] {
        cache.pending.clear();
        cache.valid = false;
        return false;
    };
    if (!CanWrite(hive) || !MakeFolders(folder_))
        return giveUp();
    HiveLock lock(folder_ + "/" + HiveName(hive) + ".lock");
    if (!lock.Held())
        return giveUp();
    if (!Refresh(hive))
        return giveUp(); // never overwrite what we cannot read
    const std::string path = HivePath(hive);
    if (!cache.swept) {
        RemoveStaleTemporaries(folder_, std::string(HiveName(hive)) + ".hive");
        cache.swept = true;
    }
    if (cache.pending.empty())
        return true; // nothing of ours still applies
    std::string bytes = FormatRegistryHive(cache.root);
    if (cache.held >= 0 && bytes == cache.bytes) {
        // Edits that leave the file as it stands (the same values set again
        // at each start) write nothing.
        cache.pending.clear();
        return true;
    }
    if (!ReplaceFileDurably(path, bytes, 0644))
        return giveUp();
    cache.bytes = std::move(bytes);
    cache.pending.clear();
    return true;
}

} // namespace win
