#include "platform/win/RegistryStore.h"

#include <mutex>

#include "platform/win/FileRegistryStore.h"

namespace win {

RegistryStore::~RegistryStore() = default;

bool RegistryStore::MayOpen(RegistryHive, const RegistryPath&) { return true; }

bool RegistryStore::Flush(RegistryHive) { return true; }

bool RegistryStore::ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists) {
    RegistryKey root;
    exists = false;
    out = RegistryKey{};
    if (!Read(hive, root)) return false;
    if (const RegistryKey* key = root.Find(path)) {
        exists = true;
        out = ShallowCopy(*key);
    }
    return true;
}

namespace {

std::mutex& StoreLock() {
    static std::mutex lock;
    return lock;
}

std::shared_ptr<RegistryStore>& Installed() {
    static std::shared_ptr<RegistryStore> store;
    return store;
}

std::shared_ptr<RegistryStore>& DefaultStore() {
    static std::shared_ptr<RegistryStore> store;
    return store;
}

} // namespace

std::shared_ptr<RegistryStore> CurrentRegistryStore() {
    std::lock_guard<std::mutex> guard(StoreLock());
    if (Installed()) return Installed();
    if (!DefaultStore()) DefaultStore() = std::make_shared<FileRegistryStore>(FileRegistryStore::DefaultFolder());
    return DefaultStore();
}

std::shared_ptr<RegistryStore> InstallRegistryStore(std::shared_ptr<RegistryStore> store) {
    std::lock_guard<std::mutex> guard(StoreLock());
    std::shared_ptr<RegistryStore> previous = std::move(Installed());
    Installed() = std::move(store);
    return previous;
}

BOOL IsUserAnAdmin() { return CurrentRegistryStore()->CanWrite(RegistryHive::Machine) ? 1 : 0; }

} // namespace win
