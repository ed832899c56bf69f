#include "platform/media/DeviceEnumerator.h"

#include <vector>

#include "platform/media/ClassFactory.h"
#include "platform/win/Files.h"
#include "platform/win/RegistryStore.h"

namespace media {

namespace {

using win::RegistryKey;
using win::RegistryPath;

// The classes root's category instances below the machine hive's root.
RegistryPath InstancesPath()
{
    return {u"SOFTWARE", u"Classes", u"CLSID", GuidToString(CLSID_LegacyAmFilterCategory), u"Instance"};
}

RegistryPath ClassPath(std::u16string_view clsid) { return {u"SOFTWARE", u"Classes", u"CLSID", std::u16string(clsid)}; }

// Reads one key of the machine hive afresh (values and subkey names); false
// when the hive or key is not there.
bool ReadKey(const RegistryPath& path, RegistryKey& out)
{
    auto store = win::CurrentRegistryStore();
    bool exists = false;
    return store->MayOpen(win::RegistryHive::Machine, path) &&
        store->ReadKey(win::RegistryHive::Machine, path, out, exists) && exists;
}

bool ReadString(const RegistryKey& key, std::u16string_view name, std::u16string& out)
{
    const win::RegistryValue* v = key.FindValue(name);
    if (v == nullptr || (v->type != win::REG_SZ && v->type != win::REG_EXPAND_SZ))
        return false;
    out = v->Text();
    return true;
}

class TInstanceBag final : public TComObject<IPropertyBag> {
public:
    explicit TInstanceBag(std::u16string instance) : instance_(std::move(instance)) {}

    HRESULT Read(const char16_t* name, VARIANT* value, IErrorLog*) override
    {
        if (name == nullptr || value == nullptr)
            return E_POINTER;
        if (value->vt != VT_EMPTY && value->vt != VT_BSTR)
            return E_FAIL;
        RegistryPath path = InstancesPath();
        path.push_back(instance_);
        RegistryKey key;
        std::u16string text;
        if (!ReadKey(path, key) || !ReadString(key, name, text))
            return E_FAIL;
        BSTR b = SysAllocStringLen(text.data(), static_cast<unsigned>(text.size()));
        if (b == nullptr)
            return E_OUTOFMEMORY;
        VariantClear(value);
        value->vt = VT_BSTR;
        value->bstrVal = b;
        return S_OK;
    }
    HRESULT Write(const char16_t*, VARIANT*) override { return E_FAIL; } // the bag is read-only here

private:
    std::u16string instance_;
};

class TFilterMoniker final : public TComObject<IMoniker> {
public:
    explicit TFilterMoniker(std::u16string instance) : instance_(std::move(instance)) {}

    HRESULT BindToObject(IBindCtx*, IMoniker*, REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        RegistryPath path = InstancesPath();
        path.push_back(instance_);
        RegistryKey entry, server;
        std::u16string clsidText, module;
        CLSID clsid{};
        if (!ReadKey(path, entry) || !ReadString(entry, u"CLSID", clsidText) || !StringToGuid(clsidText, clsid))
            return REGDB_E_CLASSNOTREG;
        RegistryPath serverPath = ClassPath(clsidText);
        serverPath.push_back(u"InprocServer32");
        if (!ReadKey(serverPath, server) || !ReadString(server, u"", module))
            return REGDB_E_CLASSNOTREG;
        // Binding loads the module: a registration whose file is gone fails here.
        win::DWORD attributes = win::GetFileAttributesW(module.c_str());
        if (attributes == win::INVALID_FILE_ATTRIBUTES || (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0)
            return HRESULT_MOD_NOT_FOUND;
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, object);
    }

    HRESULT BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (!(riid == IID_IPropertyBag))
            return E_NOINTERFACE;
        auto* bag = new TInstanceBag(instance_);
        HRESULT hr = bag->QueryInterface(riid, object);
        bag->Release();
        return hr;
    }

private:
    std::u16string instance_;
};

class TMonikerEnum final : public TComObject<IEnumMoniker> {
public:
    TMonikerEnum(std::vector<std::u16string> instances, std::size_t next)
        : instances_(std::move(instances)), next_(next)
    {
    }

    HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) override
    {
        if (monikers == nullptr || (count > 1 && fetched == nullptr))
            return E_POINTER;
        ULONG given = 0;
        while (given < count && next_ < instances_.size()) {
            auto* m = new TFilterMoniker(instances_[next_++]);
            monikers[given++] = m; // the creator's reference goes to the caller
        }
        if (fetched != nullptr)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        std::size_t left = instances_.size() - next_;
        if (count > left) {
            next_ = instances_.size();
            return S_FALSE;
        }
        next_ += count;
        return S_OK;
    }
    HRESULT Reset() override
    {
        next_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumMoniker** copy) override
    {
        if (copy == nullptr)
            return E_POINTER;
        *copy = new TMonikerEnum(instances_, next_);
        return S_OK;
    }

private:
    std::vector<std::u16string> instances_;
    std::size_t next_;
};

} // namespace

HRESULT TDeviceEnumerator::Create(REFIID riid, void** object)
{
    auto* e = new TDeviceEnumerator;
    HRESULT hr = e->QueryInterface(riid, object);
    e->Release();
    return hr;
}

HRESULT TDeviceEnumerator::CreateClassEnumerator(REFCLSID category, IEnumMoniker** enumerator, DWORD)
{
    if (enumerator == nullptr)
        return E_POINTER;
    *enumerator = nullptr;
    if (!(category == CLSID_LegacyAmFilterCategory))
        return S_FALSE;
    RegistryKey instances;
    if (!ReadKey(InstancesPath(), instances))
        return S_FALSE;
    std::vector<std::u16string> names;
    for (const RegistryKey& k : instances.subkeys)
        names.push_back(k.name);
    if (names.empty())
        return S_FALSE;
    *enumerator = new TMonikerEnum(std::move(names), 0);
    return S_OK;
}

} // namespace media
