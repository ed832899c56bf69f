#include "platform/win/Handle.h"

#include "platform/win/LastError.h"

#include <mutex>
#include <unordered_map>

namespace win {

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<detail::KernelObject>> objects;
    std::uintptr_t next = 0x1000;
};

HandleTable& Table()
{
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

namespace detail {

HANDLE InsertHandle(std::shared_ptr<KernelObject> object)
{
    if (!object)
        return nullptr;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    const std::uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle)
{
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

} // namespace detail

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<detail::KernelObject> object;
    {
        HandleTable& table = Table();
        std::lock_guard<std::mutex> guard(table.mutex);
        auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == table.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        object = std::move(it->second);
        table.objects.erase(it);
    }
    // The object's own clean-up runs outside the table's lock.
    object.reset();
    return 1;
}

} // namespace win
