// The registry store of the program: one text file per hive ("machine.hive",
// "user.hive", the format of RegistryText.h) in one folder. Changes are made
// in memory at once (every reader of this store sees them) and written when
// the key is closed or flushed (Flush; in a batch, when the batch ends): under an exclusive lock on
// "<hive>.lock" (flock) the file is read afresh, the changes not yet written
// are made again on what another process may have written meanwhile, and the
// result goes to a temporary file, flushed to disk and renamed over the old
// one. So the program and the registration tool can share the hives, a reader
// always sees a whole file, and a kill or a power loss keeps the old file or
// the new one. A file that cannot be parsed is never overwritten: the hive is
// then unreadable and refuses changes. Temporary files left by processes
// killed mid-write are removed at the next write.
//
// A hive is writable while its file (or, before the first write, the folder)
// has the owner-write permission bit: clearing it is how to take away
// "administrator rights" (tests run as root, where access() would always say yes).
#pragma once

#include <sys/stat.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/win/RegistryStore.h"

namespace win {

class FileRegistryStore final : public RegistryStore {
public:
    // `folder`: a host path (UTF-8); created on the first write when missing.
    explicit FileRegistryStore(std::string folder);
    // Writes what is not written yet.
    ~FileRegistryStore() override;

    bool Read(RegistryHive hive, RegistryKey& out) override;
    bool ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists) override;
    EditResult Apply(RegistryHive hive, const RegistryEdit& edit) override;
    bool CanWrite(RegistryHive hive) override;
    bool Flush(RegistryHive hive) override;
    void BeginBatch() override;
    void EndBatch() override;

    const std::string& Folder() const { return folder_; }
    std::string HivePath(RegistryHive hive) const;

    // The folder of VELMORASTINE_REGISTRY, else the default below the user's data folder.
    static std::string DefaultFolder();

private:
    struct Cache {
        bool valid = false;
        std::string bytes; // the file as last read or written
        RegistryKey root; // the file's contents with the pending edits made
        std::vector<RegistryEdit> pending; // made here, not yet written
        bool swept = false; // stale temporary files looked for
        int held = -1; // the file `bytes` was read from, kept open
        int batchWritable = -1; // in a batch: CanWrite as first asked (1, 0), -1 not yet
        struct stat heldStat {};
        void Release();
    };
    // Brings the hive's cache up to date with its file; false when it cannot be read.
    bool Refresh(RegistryHive hive);
    bool FlushLocked(RegistryHive hive);
    Cache& CacheOf(RegistryHive hive) { return caches_[hive == RegistryHive::Machine ? 0 : 1]; }

    std::string folder_;
    std::mutex mutex_;
    Cache caches_[2];
    int batches_ = 0; // open batches: Flush waits for the last to end
};

} // namespace win
