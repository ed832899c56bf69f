// Where TRegistry keeps the hives: the seam between the registry class and
// its storage. The program uses the file store (FileRegistryStore.h), which
// two processes share; tests install a MemoryRegistryStore with fault
// switches. The classes root is a view into the machine hive
// ("\SOFTWARE\Classes"), so it needs no store of its own.
//
// Every operation is thread-safe and re-reads the hive, so a change that
// another process made is seen at the next call.
#pragma once

#include <memory>

#include "platform/host/Seam.h"
#include "platform/win/RegistryKey.h"

namespace win {

enum class RegistryHive { Machine, User };

class RegistryStore {
public:
    virtual ~RegistryStore();

    // The hive as it is now. False when it cannot be read (a corrupt or
    // unreadable file); a hive never written is empty, which is no failure.
    virtual bool Read(RegistryHive hive, RegistryKey& out) = 0;
    // One key as it is now: its values and its subkeys by name only (without
    // their contents). False when the hive cannot be read; `exists` tells
    // whether the key is there. The default reads the whole hive.
    virtual bool ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists);
    // Makes one change (the store applies it with ApplyRegistryEdit to the
    // hive's current contents and keeps the result). Refused when the hive
    // cannot be read or written.
    virtual EditResult Apply(RegistryHive hive, const RegistryEdit& edit) = 0;
    // Writes the hive's changes that are not written yet, so that other
    // processes see them (a closed key does this). False when they could not
    // be written; they are then given up. The default has nothing to write.
    virtual bool Flush(RegistryHive hive);
    // Between these, Flush writes nothing (and answers true); the end of
    // the outermost batch writes what is pending in each hive, one write a
    // hive. So the keys of one piece of work reach other processes together
    // and the disk once. The default has nothing to hold back.
    virtual void BeginBatch();
    virtual void EndBatch();
    // Whether a key may be opened at all (a key without access rights says no).
    virtual bool MayOpen(RegistryHive hive, const RegistryPath& path);
    // Whether the hive accepts writes. For the machine hive this is what
    // "administrator rights" means here.
    virtual bool CanWrite(RegistryHive hive) = 0;
};

// The store in force for the process: the one installed last, else a file
// store on the folder of VELMORASTINE_REGISTRY (default: the user's data
// folder, $XDG_DATA_HOME or ~/.local/share, then "velmorastine/registry").
// Read by every TRegistry, on any thread (the device enumerator inside a
// graph, the decoder registration): a seam under a lock
// (platform/host/Seam.h).
std::shared_ptr<RegistryStore> CurrentRegistryStore();
// Installs a store process-wide (null: back to the file store); returns the
// previous one (null when it was the default).
std::shared_ptr<RegistryStore> InstallRegistryStore(std::shared_ptr<RegistryStore> store);
// Installs a store for a scope and puts the previous one back.
using ScopedRegistryStore = host::ScopedInstall<std::shared_ptr<RegistryStore>, &InstallRegistryStore>;

// The registry writes of a scope as one batch of the current store.
class TRegistryBatch {
public:
    TRegistryBatch() : store_(CurrentRegistryStore()) { store_->BeginBatch(); }
    ~TRegistryBatch() { store_->EndBatch(); }
    TRegistryBatch(const TRegistryBatch&) = delete;
    TRegistryBatch& operator=(const TRegistryBatch&) = delete;

private:
    std::shared_ptr<RegistryStore> store_;
};

// "Administrator rights": the machine hive of the current store can be written.
BOOL IsUserAnAdmin();

} // namespace win
