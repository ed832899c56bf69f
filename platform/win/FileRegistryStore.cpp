#include "platform/win/FileRegistryStore.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/RegistryText.h"

namespace win {

namespace {

constexpr off_t kMaxHiveBytes = 64 * 1024 * 1024;

const char* HiveName(RegistryHive hive) { return hive == RegistryHive::Machine ? "machine" : "user"; }

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    std::string part;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = folder.find('/', at + 1);
        part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Holds an exclusive flock on the hive's lock file while it lives.
class HiveLock {
public:
    explicit HiveLock(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return;
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~HiveLock() {
        if (fd_ >= 0) close(fd_); // closing releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

std::atomic<unsigned> tempCounter{0};

} // namespace

FileRegistryStore::FileRegistryStore(std::string folder) : folder_(std::move(folder)) {
    while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

std::string FileRegistryStore::HivePath(RegistryHive hive) const {
    return folder_ + "/" + HiveName(hive) + ".hive";
}

std::string FileRegistryStore::DefaultFolder() {
    const char* env = std::getenv("VELMORASTINE_REGISTRY");
    if (env != nullptr && *env != '\0') return env;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/') return std::string(data) + "/velmorastine/registry";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') return std::string(home) + "/.local/share/velmorastine/registry";
    return "/tmp/velmorastine-registry";
}

bool FileRegistryStore::Refresh(RegistryHive hive) {
    Cache& cache = CacheOf(hive);
    int fd = open(HivePath(hive).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        cache.valid = errno == ENOENT; // a hive never written is empty
        cache.bytes.clear();
        cache.root = RegistryKey{};
        return cache.valid;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxHiveBytes) {
        close(fd);
        cache.valid = false;
        return false;
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    bytes.resize(done);
    // Identical bytes need no parse. (The file's identity and time cannot
    // tell: inodes are reused and times are coarse.)
    if (cache.valid && cache.bytes == bytes) return true;
    RegistryKey root;
    if (!ParseRegistryHive(bytes, root)) {
        cache.valid = false;
        return false;
    }
    cache.valid = true;
    cache.bytes = std::move(bytes);
    cache.root = std::move(root);
    return true;
}

bool FileRegistryStore::Read(RegistryHive hive, RegistryKey& out) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!Refresh(hive)) {
        out = RegistryKey{};
        return false;
    }
    out = CacheOf(hive).root;
    return true;
}

bool FileRegistryStore::ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists) {
    std::lock_guard<std::mutex> guard(mutex_);
    exists = false;
    out = RegistryKey{};
    if (!Refresh(hive)) return false;
    if (const RegistryKey* key = CacheOf(hive).root.Find(path)) {
        exists = true;
        out = ShallowCopy(*key);
    }
    return true;
}

bool FileRegistryStore::CanWrite(RegistryHive hive) {
    struct stat st;
    if (stat(HivePath(hive).c_str(), &st) == 0) return S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0;
    if (stat(folder_.c_str(), &st) == 0) return S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) != 0;
    return true; // the folder is made at the first write
}

EditResult FileRegistryStore::Apply(RegistryHive hive, const RegistryEdit& edit) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!CanWrite(hive) || !MakeFolders(folder_)) return EditResult::Refused;
    HiveLock lock(folder_ + "/" + HiveName(hive) + ".lock");
    if (!lock.Held()) return EditResult::Refused;
    if (!Refresh(hive)) return EditResult::Refused; // never overwrite what we cannot read
    // Applied to the cache itself; anything but a stored result makes the
    // next access read the file again.
    Cache& cache = CacheOf(hive);
    EditResult result = ApplyRegistryEdit(cache.root, edit);
    if (result != EditResult::Done) {
        cache.valid = false;
        return result;
    }
    cache.valid = false;

    std::string path = HivePath(hive);
    std::string temp = path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(tempCounter++);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return EditResult::Refused;
    std::string bytes = FormatRegistryHive(cache.root);
    bool ok = WriteAll(fd, bytes);
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return EditResult::Refused;
    }
    cache.bytes = std::move(bytes);
    cache.valid = true;
    return EditResult::Done;
}

} // namespace win
