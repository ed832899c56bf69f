// The system device enumerator's interfaces: a category of registered filters
// is listed as monikers; each moniker gives its property bag ("FriendlyName",
// "CLSID") without loading anything, and binds to the filter object, which
// loads the filter's module (a registered filter whose file is gone is listed
// but fails to bind).
//
// The enumerator reads the category from the registry (the classes root) at
// every CreateClassEnumerator, so a registration is visible as soon as it is
// written. Implementation: platform/media/DeviceEnumerator.h.
#pragma once

#include "platform/media/Unknown.h"

namespace media {

// Strings of the automation types: BSTR is a UTF-16 text allocated by
// SysAllocString (null stands for the empty text).
using BSTR = char16_t*;
BSTR SysAllocString(const char16_t* text);
BSTR SysAllocStringLen(const char16_t* text, unsigned length);
void SysFreeString(BSTR text);
unsigned SysStringLen(BSTR text);

using VARTYPE = std::uint16_t;
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_BSTR = 8;

// The subset of VARIANT that property bags use (not a union: one field per type).
struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    LONG lVal = 0;
    BSTR bstrVal = nullptr;
};
void VariantInit(VARIANT* v);
// Frees a BSTR it holds and empties it; S_OK, or E_POINTER for null.
HRESULT VariantClear(VARIANT* v);

struct IErrorLog; // never used: property bags are read with a null error log
struct IBindCtx; // never used: monikers bind with a null context

inline constexpr IID IID_IPropertyBag{0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
struct IPropertyBag : IUnknown {
    static constexpr IID iid = IID_IPropertyBag;
    // `value` must be VT_EMPTY or of the wanted type: S_OK and the value, E_FAIL
    // for a missing property, E_POINTER for null arguments.
    virtual HRESULT Read(const char16_t* name, VARIANT* value, IErrorLog* log) = 0;
    virtual HRESULT Write(const char16_t* name, VARIANT* value) = 0;
};

inline constexpr IID IID_IMoniker{0x0000000F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IMoniker : IUnknown {
    static constexpr IID iid = IID_IMoniker;
    // Creates the object (loads its module) and queries `riid` on it.
    virtual HRESULT BindToObject(IBindCtx* context, IMoniker* left, REFIID riid, void** object) = 0;
    // IID_IPropertyBag: the entry's values, read afresh from the registry.
    virtual HRESULT BindToStorage(IBindCtx* context, IMoniker* left, REFIID riid, void** object) = 0;
};

inline constexpr IID IID_IEnumMoniker{0x00000102, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IEnumMoniker : IUnknown {
    static constexpr IID iid = IID_IEnumMoniker;
    // S_OK when `count` monikers were given, S_FALSE when fewer (the end).
    virtual HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMoniker** copy) = 0;
};

inline constexpr IID IID_ICreateDevEnum{0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
struct ICreateDevEnum : IUnknown {
    static constexpr IID iid = IID_ICreateDevEnum;
    // S_OK with an enumerator; S_FALSE and a null enumerator for an empty or
    // unknown category; E_POINTER for a null out-argument.
    virtual HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** enumerator, DWORD flags) = 0;
};

inline constexpr CLSID CLSID_SystemDeviceEnum{
    0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr CLSID CLSID_LegacyAmFilterCategory{
    0x083863F1, 0x70DE, 0x11D0, {0xBD, 0x40, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

} // namespace media
