#include "platform/win/MemoryRegistryStore.h"

namespace win {

namespace {

bool StartsWith(const RegistryPath& path, const RegistryPath& prefix)
{
    if (prefix.size() > path.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!RegistryNamesEqual(path[i], prefix[i]))
            return false;
    return true;
}

} // namespace

void MemoryRegistryStore::CallHook()
{
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        hook = hook_;
    }
    if (hook)
        hook();
}

bool MemoryRegistryStore::Read(RegistryHive hive, RegistryKey& out)
{
    CallHook();
    std::lock_guard<std::mutex> guard(mutex_);
    Hive& h = Get(hive);
    if (h.unreadable) {
        out = RegistryKey{};
        return false;
    }
    out = h.root;
    return true;
}

bool MemoryRegistryStore::ReadKey(RegistryHive hive, const RegistryPath& path, RegistryKey& out, bool& exists)
{
    CallHook();
    std::lock_guard<std::mutex> guard(mutex_);
    Hive& h = Get(hive);
    exists = false;
    out = RegistryKey{};
    if (h.unreadable)
        return false;
    if (const RegistryKey* key = h.root.Find(path)) {
        exists = true;
        out = ShallowCopy(*key);
    }
    return true;
}

bool MemoryRegistryStore::MayOpen(RegistryHive hive, const RegistryPath& path)
{
    std::lock_guard<std::mutex> guard(mutex_);
    for (const RegistryPath& refused : Get(hive).refusedKeys)
        if (StartsWith(path, refused))
            return false;
    return true;
}

EditResult MemoryRegistryStore::Apply(RegistryHive hive, const RegistryEdit& edit)
{
    CallHook();
    std::lock_guard<std::mutex> guard(mutex_);
    Hive& h = Get(hive);
    if (h.readOnly || h.unreadable || editsLeft_ == 0)
        return EditResult::Refused;
    for (const RegistryPath& refused : h.refusedKeys)
        if (StartsWith(edit.path, refused))
            return EditResult::Refused;
    if (edit.kind == RegistryEdit::Kind::SetValue)
        for (const std::u16string& name : h.refusedValues)
            if (RegistryNamesEqual(name, edit.value.name))
                return EditResult::Refused;
    EditResult result = ApplyRegistryEdit(h.root, edit);
    if (result == EditResult::Done) {
        ++edits_;
        if (editsLeft_ > 0)
            --editsLeft_;
    }
    return result;
}

bool MemoryRegistryStore::CanWrite(RegistryHive hive)
{
    std::lock_guard<std::mutex> guard(mutex_);
    Hive& h = Get(hive);
    return !h.readOnly && !h.unreadable;
}

RegistryKey MemoryRegistryStore::Contents(RegistryHive hive)
{
    std::lock_guard<std::mutex> guard(mutex_);
    return Get(hive).root;
}

void MemoryRegistryStore::SetContents(RegistryHive hive, RegistryKey root)
{
    std::lock_guard<std::mutex> guard(mutex_);
    Get(hive).root = std::move(root);
}

void MemoryRegistryStore::SetReadOnly(RegistryHive hive, bool readOnly)
{
    std::lock_guard<std::mutex> guard(mutex_);
    Get(hive).readOnly = readOnly;
}

void MemoryRegistryStore::SetUnreadable(RegistryHive hive, bool unreadable)
{
    std::lock_guard<std::mutex> guard(mutex_);
    Get(hive).unreadable = unreadable;
}

void MemoryRegistryStore::RefuseValue(RegistryHive hive, std::u16string name)
{
    std::lock_guard<std::mutex> guard(mutex_);
    Get(hive).refusedValues.push_back(std::move(name));
}

void MemoryRegistryStore::RefuseKey(RegistryHive hive, std::u16string path)
{
    RegistryPath parts;
    SplitRegistryPath(path, parts);
    std::lock_guard<std::mutex> guard(mutex_);
    Get(hive).refusedKeys.push_back(std::move(parts));
}

void MemoryRegistryStore::RefuseEditsAfter(long count)
{
    std::lock_guard<std::mutex> guard(mutex_);
    editsLeft_ = count < 0 ? -1 : count;
}

void MemoryRegistryStore::SetAccessHook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> guard(mutex_);
    hook_ = std::move(hook);
}

long MemoryRegistryStore::EditCount()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return edits_;
}

} // namespace win
