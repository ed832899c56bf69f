// The framework's registry class over the registry stores (RegistryStore.h).
//
// Root keys: HKEY_CURRENT_USER (the default) and HKEY_LOCAL_MACHINE are the
// user and machine hives; HKEY_CLASSES_ROOT is the machine hive's
// "\SOFTWARE\Classes". A key path with a leading backslash starts at the root,
// one without at the open key (or the root when none is open). An empty
// component ("\A\\B", "\A\") makes the path invalid. Names compare without
// regard to case; a key or value keeps the spelling it was created with.
//
// Never raise: OpenKey, KeyExists, ValueExists, DeleteKey (recursive),
// DeleteValue, GetDataSize, GetDataType (they answer false / -1 / rdUnknown).
// Raise ERegistryException naming the value: every write that is refused or
// has no open key, ReadInteger of a missing value or another type,
// ReadString / GetDataAsString(name, true) of a value that is not a string,
// ReadBinaryData of another type or into a buffer too small.
//
// Every call reads the store afresh; an object is used by one thread at a time.
// The changes made through an open key are written when it is closed (also
// by opening another key, changing RootKey or destroying the object): only
// then do other processes see them. CreateKey and DeleteKey write at once.
// A key cannot be opened for writing (full access) in a hive that refuses
// writes, even when it exists; OpenKeyReadOnly and KEY_READ objects can.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/rtl/UnicodeString.h"
#include "platform/win/RegistryKey.h"
#include "platform/win/RegistryStore.h"

namespace win {

struct HKEY__;
using HKEY = HKEY__*;
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000u});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001u});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002u});

inline constexpr unsigned KEY_READ = 0x20019;
inline constexpr unsigned KEY_WRITE = 0x20006;
inline constexpr unsigned KEY_ALL_ACCESS = 0xF003F;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
public:
    // Root HKEY_CURRENT_USER, no open key, full access.
    TRegistry();
    // KEY_READ: every write raises and OpenKey never creates.
    explicit TRegistry(unsigned access);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // The framework's RootKey property: `reg->RootKey = HKEY_LOCAL_MACHINE;`.
    // Setting it closes the open key, also when the root stays the same.
    // An unknown root makes every open fail.
    class RootKeyProperty {
    public:
        explicit RootKeyProperty(TRegistry& owner) : owner_(owner) {}
        RootKeyProperty& operator=(HKEY root);
        operator HKEY() const;

    private:
        TRegistry& owner_;
    };
    RootKeyProperty RootKey{*this};

    // The open key's path with a leading backslash; empty when none is open.
    rtl::UnicodeString CurrentPath() const;
    bool HasOpenKey() const { return open_; }

    bool OpenKey(const rtl::UnicodeString& key, bool canCreate);
    bool OpenKeyReadOnly(const rtl::UnicodeString& key);
    void CloseKey();
    bool CreateKey(const rtl::UnicodeString& key);
    bool KeyExists(const rtl::UnicodeString& key);
    bool DeleteKey(const rtl::UnicodeString& key);

    bool ValueExists(const rtl::UnicodeString& name);
    bool DeleteValue(const rtl::UnicodeString& name);
    // Bytes of the value's data, -1 when missing.
    int GetDataSize(const rtl::UnicodeString& name);
    TRegDataType GetDataType(const rtl::UnicodeString& name);

    void WriteInteger(const rtl::UnicodeString& name, int value); // REG_DWORD
    int ReadInteger(const rtl::UnicodeString& name);
    void WriteString(const rtl::UnicodeString& name, const rtl::UnicodeString& value); // REG_SZ
    // A missing value gives the empty text.
    rtl::UnicodeString ReadString(const rtl::UnicodeString& name);
    void WriteBinaryData(const rtl::UnicodeString& name, const void* buffer, int size); // REG_BINARY
    // Copies the data, returns its size.
    int ReadBinaryData(const rtl::UnicodeString& name, void* buffer, int size);
    // A string up to its first NUL; with checkDataType false also a REG_DWORD
    // as signed decimal and binary data as upper-case hex pairs. A missing
    // value gives the empty text.
    rtl::UnicodeString GetDataAsString(const rtl::UnicodeString& name, bool checkDataType = true);

private:
    bool OpenKeyWith(const rtl::UnicodeString& key, bool canCreate, unsigned access);
    bool Resolve(const rtl::UnicodeString& key, RegistryHive& hive, RegistryPath& path) const;
    bool ReadOpenValue(const rtl::UnicodeString& name, RegistryValue& out);
    void Write(const rtl::UnicodeString& name, RegistryValue value);

    std::shared_ptr<RegistryStore> store_;
    unsigned access_;
    HKEY root_ = HKEY_CURRENT_USER;
    bool open_ = false;
    bool openWritable_ = false; // opened with write access
    bool unflushed_ = false; // changes made through the open key, not yet written
    RegistryHive openHive_ = RegistryHive::User;
    RegistryPath openPath_; // from the hive's root (the classes root's prefix included)
    RegistryPath shownPath_; // from RootKey, for CurrentPath
};

} // namespace win
