#include "platform/win/RegistryStore.h"

#include <mutex>

#include "platform/win/FileRegistryStore.h"

namespace win {

RegistryStore::~RegistryStore() = default;

bool RegistryStore::MayOpen(RegistryHive, const RegistryPath&) { return true; }

bool RegistryStore::Flush(RegistryHive) { return true; }

void RegistryStore::BeginBatch() {}

void RegistryStore::EndBatch() {}

bool RegistryStore::ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists)
{
    RegistryKey root;
    exists = false;
    out = RegistryKey{};
    if (!Read(hive, root))
        return false;
    if (const RegistryKey* key = root.Find(path)) {
        exists = true;
        out = ShallowCopy(*key);
    }
    return true;
}

namespace {

// Made at its first use.
std::shared_ptr<RegistryStore> DefaultStore()
{
    static const std::shared_ptr<RegistryStore> store =
        std::make_shared<FileRegistryStore>(FileRegistryStore::DefaultFolder());
    return store;
}

using StoreSeam = host::Seam<std::shared_ptr<RegistryStore>, host::SeamReaders::AnyThread>;

StoreSeam& Stores()
{
    static StoreSeam stores(&DefaultStore);
    return stores;
}

} // namespace

std::shared_ptr<RegistryStore> CurrentRegistryStore() { return Stores().Current(); }

std::shared_ptr<RegistryStore> InstallRegistryStore(std::shared_ptr<RegistryStore> store)
{
    return Stores().Install(std::move(store));
}

BOOL IsUserAnAdmin() { return CurrentRegistryStore()->CanWrite(RegistryHive::Machine) ? 1 : 0; }

} // namespace win
