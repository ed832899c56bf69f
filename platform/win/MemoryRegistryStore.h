// A registry store in memory, for tests, with switches for the failures the
// program must survive. Every switch is off at construction.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/RegistryStore.h"

namespace win {

class MemoryRegistryStore final : public RegistryStore {
public:
    bool Read(RegistryHive hive, RegistryKey& out) override;
    bool ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists) override;
    EditResult Apply(RegistryHive hive, const RegistryEdit& edit) override;
    bool MayOpen(RegistryHive hive, const RegistryPath& path) override;
    bool CanWrite(RegistryHive hive) override;

    // The hive's contents now, for inspection (no hooks, no faults).
    RegistryKey Contents(RegistryHive hive);
    // Replaces the hive's contents (no hooks, no faults).
    void SetContents(RegistryHive hive, RegistryKey root);

    // ---- fault switches ----
    // Every edit of the hive is refused (no administrator rights for the machine hive).
    void SetReadOnly(RegistryHive hive, bool readOnly);
    // The hive cannot be read (a corrupt file); edits are refused too.
    void SetUnreadable(RegistryHive hive, bool unreadable);
    // Writes of a value of this name (any key of the hive) are refused.
    void RefuseValue(RegistryHive hive, std::u16string name);
    // The key cannot be opened or created (path with a leading backslash).
    void RefuseKey(RegistryHive hive, std::u16string path);
    // Refuses every edit after `count` more successful edits (negative: never).
    void RefuseEditsAfter(long count);

    // Called before every Read and Apply, outside the store's lock, so that a
    // test can let a simulated other process change the store meanwhile.
    void SetAccessHook(std::function<void()> hook);

    // Edits made so far (successful ones).
    long EditCount();

private:
    struct Hive {
        RegistryKey root;
        bool readOnly = false;
        bool unreadable = false;
        std::vector<std::u16string> refusedValues;
        std::vector<RegistryPath> refusedKeys;
    };
    Hive& Get(RegistryHive hive) { return hive == RegistryHive::Machine ? machine_ : user_; }
    void CallHook();

    std::mutex mutex_;
    Hive machine_, user_;
    long editsLeft_ = -1;
    long edits_ = 0;
    std::function<void()> hook_;
};

} // namespace win
