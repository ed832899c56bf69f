// The contents of one registry hive: a tree of keys, each with its values, as
// the registry stores keep it. Names compare without regard to letter case and
// keep their first spelling; keys and values keep the order of creation.
//
// Values hold their data as the registry does: REG_SZ as UTF-16LE bytes with
// a terminating NUL, REG_DWORD as 4 little-endian bytes, anything else as
// given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/Types.h"

namespace win {

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

struct RegistryValue {
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;

    static RegistryValue String(std::u16string_view name, std::u16string_view text);
    static RegistryValue Dword(std::u16string_view name, std::uint32_t number);
    static RegistryValue Binary(std::u16string_view name, const void* bytes, std::size_t count);

    // REG_SZ / REG_EXPAND_SZ data as text, up to the first NUL (an odd last byte is ignored).
    std::u16string Text() const;
    // REG_DWORD data as a number; false when the data is not 4 bytes.
    bool Number(std::uint32_t& out) const;

    bool operator==(const RegistryValue&) const = default;
};

// Limits of Windows that the stores enforce.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::size_t kMaxKeyDepth = 512;

using RegistryPath = std::vector<std::u16string>;

struct RegistryKey {
    std::u16string name;
    std::vector<RegistryValue> values;
    std::vector<RegistryKey> subkeys;

    RegistryKey* FindSubkey(std::u16string_view name);
    const RegistryKey* FindSubkey(std::u16string_view name) const;
    RegistryValue* FindValue(std::u16string_view name);
    const RegistryValue* FindValue(std::u16string_view name) const;
    // The key at `path` below this one, or null.
    RegistryKey* Find(const RegistryPath& path);
    const RegistryKey* Find(const RegistryPath& path) const;

    bool operator==(const RegistryKey&) const = default;
};

// The key with its values and its subkeys' names only.
RegistryKey ShallowCopy(const RegistryKey& key);

// Registry name comparison: without regard to letter case (ASCII, Latin-1,
// Greek, Cyrillic and the full-width Latin letters).
bool RegistryNamesEqual(std::u16string_view a, std::u16string_view b);

// Splits a key path at backslashes. A single leading backslash is dropped
// (the caller decides what it means). False for an empty component, a name
// longer than 255 characters or a path deeper than 512 keys. An empty text
// gives an empty path.
bool SplitRegistryPath(std::u16string_view text, RegistryPath& out);
// "\SOFTWARE\GNU": a leading backslash, components joined by backslashes.
std::u16string JoinRegistryPath(const RegistryPath& path);

// One change of a hive, as TRegistry asks a store to make it.
struct RegistryEdit {
    enum class Kind { CreateKey, SetValue, DeleteValue, DeleteKey };
    Kind kind = Kind::CreateKey;
    RegistryPath path; // the key, from the hive's root
    RegistryValue value; // SetValue: the value; DeleteValue: its name
};

enum class EditResult {
    Done, // made (CreateKey also when the key existed)
    NotFound, // the key (or the value to delete) does not exist
    Refused, // not allowed (the root itself, a limit)
};

// Applies an edit to a tree: the shared work of every store.
EditResult ApplyRegistryEdit(RegistryKey& root, const RegistryEdit& edit);

} // namespace win
