#include "platform/media/ClassFactory.h"

#include <mutex>
#include <vector>

#include "platform/media/DeviceEnumerator.h"

namespace media {

namespace {

struct Entry {
    CLSID clsid;
    ClassCreator creator;
};

std::mutex& TableLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<Entry>& Table()
{
    static std::vector<Entry> table;
    return table;
}

ClassCreator FindCreator(REFCLSID clsid)
{
    if (clsid == CLSID_SystemDeviceEnum)
        return &TDeviceEnumerator::Create;
    std::lock_guard<std::mutex> guard(TableLock());
    for (const Entry& e : Table())
        if (e.clsid == clsid)
            return e.creator;
    return nullptr;
}

} // namespace

ClassCreator RegisterClassCreator(REFCLSID clsid, ClassCreator creator)
{
    std::lock_guard<std::mutex> guard(TableLock());
    for (Entry& e : Table())
        if (e.clsid == clsid) {
            ClassCreator previous = e.creator;
            e.creator = creator;
            return previous;
        }
    Table().push_back({clsid, creator});
    return nullptr;
}

void UnregisterClassCreator(REFCLSID clsid)
{
    std::lock_guard<std::mutex> guard(TableLock());
    auto& t = Table();
    for (auto it = t.begin(); it != t.end(); ++it)
        if (it->clsid == clsid) {
            t.erase(it);
            return;
        }
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    ClassCreator creator = FindCreator(clsid);
    if (creator == nullptr)
        return REGDB_E_CLASSNOTREG;
    HRESULT hr = creator(riid, object);
    if (hr < 0)
        *object = nullptr;
    return hr;
}

} // namespace media
