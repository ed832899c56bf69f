// The registry store of the program: one text file per hive ("machine.hive",
// "user.hive", the format of RegistryText.h) in one folder. Each change takes
// an exclusive lock on "<hive>.lock" (flock), reads the file afresh, applies
// the change, writes a temporary file and renames it over the old one, so the
// program and the registration tool can share the hives and a reader always
// sees a whole file. A file that cannot be parsed is never overwritten: the
// hive is then unreadable and refuses changes.
//
// A hive is writable while its file (or, before the first write, the folder)
// has the owner-write permission bit: clearing it is how to take away
// "administrator rights" (tests run as root, where access() would always say yes).
#pragma once

#include <mutex>
#include <string>

#include "platform/win/RegistryStore.h"

namespace win {

class FileRegistryStore final : public RegistryStore {
public:
    // `folder`: a host path (UTF-8); created on the first write when missing.
    explicit FileRegistryStore(std::string folder);

    bool Read(RegistryHive hive, RegistryKey& out) override;
    bool ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists) override;
    EditResult Apply(RegistryHive hive, const RegistryEdit& edit) override;
    bool CanWrite(RegistryHive hive) override;

    const std::string& Folder() const { return folder_; }
    std::string HivePath(RegistryHive hive) const;

    // The folder of VELMORASTINE_REGISTRY, else the default below the user's data folder.
    static std::string DefaultFolder();

private:
    struct Cache {
        bool valid = false;
        std::string bytes;
        RegistryKey root;
    };
    // Brings the hive's cache up to date with its file; false when it cannot be read.
    bool Refresh(RegistryHive hive);
    Cache& CacheOf(RegistryHive hive) { return caches_[hive == RegistryHive::Machine ? 0 : 1]; }

    std::string folder_;
    std::mutex mutex_;
    Cache caches_[2];
};

} // namespace win
