// The COM-style base of the media layer: GUIDs, the generic result codes,
// IUnknown with real reference counts, a reference-counted object base and a
// smart pointer. Every filter, pin and enumerator of the layer builds on this.
//
// Reference counting: an object made with `new` starts with one reference,
// owned by its creator; Release() of the last reference deletes it.
// LiveObjectCount() counts the objects alive in the process, so a test can
// prove that a graph went with its last reference.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "platform/win/Types.h"

namespace media {

using win::BOOL;
using win::BYTE;
using win::DWORD;
using win::FAILED;
using win::HRESULT;
using win::LONG;
using win::LONGLONG;
using win::SUCCEEDED;
using win::UINT;
using win::ULONG;
using win::ULONGLONG;
using win::WORD;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

constexpr bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};

// Registry form with braces and upper-case hex:
// "{083863F1-70DE-11D0-BD40-00A0C911CE86}".
std::u16string GuidToString(const GUID& guid);
// Parses the registry form (hex digits in either case); false, leaving `out`
// alone, on anything else.
bool StringToGuid(std::u16string_view text, GUID& out);

// Generic COM result codes. The media graph's own codes (VFW_...) live with the graph.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND): a registered module file that is gone.
inline constexpr HRESULT HRESULT_MOD_NOT_FOUND = static_cast<HRESULT>(0x8007007Eu);

inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Each interface names its IID as the static member `iid`, which TComObject
// uses to answer QueryInterface.
struct IUnknown {
    static constexpr IID iid = IID_IUnknown;
    // E_POINTER for a null `object`; E_NOINTERFACE (and *object null) when the
    // interface is not offered; S_OK with one new reference otherwise.
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    // Both return the new count (for information only, as in COM).
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default; // objects go by Release only
};

// Objects derived from TComObject that are alive now.
long LiveObjectCount();

namespace detail {
void CountLiveObject(long delta);
} // namespace detail

// Reference counting and QueryInterface for an object offering `Interfaces`
// (each derived from IUnknown, each with its `iid`). An interface that itself
// derives from another interface (IBaseFilter from IMediaFilter, say) answers
// only its own iid here: override FindInterface to add the bases.
// Thread-safe counts; the object itself is not made thread-safe by this.
template <class... Interfaces>
class TComObject : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a COM object offers at least one interface");
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    TComObject() { detail::CountLiveObject(+1); }
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        void* found = FindInterface(riid);
        if (found == nullptr)
            return E_NOINTERFACE;
        AddRef();
        *object = found;
        return S_OK;
    }
    ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override
    {
        ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete this;
        return left;
    }

    // The object's identity: its IUnknown, as QueryInterface(IID_IUnknown) gives it.
    IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

protected:
    virtual ~TComObject() { detail::CountLiveObject(-1); }

    // The interface pointer for `riid` without a new reference, or null.
    virtual void* FindInterface(REFIID riid)
    {
        void* found = nullptr;
        ((found == nullptr && riid == Interfaces::iid ? (found = static_cast<Interfaces*>(this), 0) : 0), ...);
        if (found == nullptr && riid == IID_IUnknown)
            found = Identity();
        return found;
    }

private:
    std::atomic<ULONG> refs_{1};
};

// A holder of one reference, released when it goes. Attach() takes over a
// reference (what `new` or an out-argument gave); Copy() adds one.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(const ComPtr& other) : p_(other.p_)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    static ComPtr Attach(T* p)
    {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    static ComPtr Copy(T* p)
    {
        if (p)
            p->AddRef();
        return Attach(p);
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    // For out-arguments: releases the current reference first.
    T** Put()
    {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

private:
    T* p_ = nullptr;
};

} // namespace media
