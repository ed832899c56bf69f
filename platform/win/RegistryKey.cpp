#include "platform/win/RegistryKey.h"

#include <cstring>

namespace win {

namespace {

char16_t FoldCase(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 32); // Latin-1
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return static_cast<char16_t>(c - 32); // Greek
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<char16_t>(c - 32); // Cyrillic
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 80);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<char16_t>(c - 32); // full-width
    return c;
}

template <class Key>
Key* FindIn(std::vector<Key>& keys, std::u16string_view name)
{
    for (Key& k : keys)
        if (RegistryNamesEqual(k.name, name))
            return &k;
    return nullptr;
}

} // namespace

bool RegistryNamesEqual(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

RegistryValue RegistryValue::String(std::u16string_view name, std::u16string_view text)
{
    RegistryValue v;
    v.name = name;
    v.type = REG_SZ;
    v.data.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        v.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        v.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

RegistryValue RegistryValue::Dword(std::u16string_view name, std::uint32_t number)
{
    RegistryValue v;
    v.name = name;
    v.type = REG_DWORD;
    for (int i = 0; i < 4; ++i)
        v.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return v;
}

RegistryValue RegistryValue::Binary(std::u16string_view name, const void* bytes, std::size_t count)
{
    RegistryValue v;
    v.name = name;
    v.type = REG_BINARY;
    if (count > 0) {
        v.data.resize(count);
        std::memcpy(v.data.data(), bytes, count);
    }
    return v;
}

std::u16string RegistryValue::Text() const
{
    std::u16string out;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (c == u'\0')
            break;
        out.push_back(c);
    }
    return out;
}

bool RegistryValue::Number(std::uint32_t& out) const
{
    if (data.size() != 4)
        return false;
    out = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return true;
}

RegistryKey* RegistryKey::FindSubkey(std::u16string_view n) { return FindIn(subkeys, n); }
const RegistryKey* RegistryKey::FindSubkey(std::u16string_view n) const
{
    return const_cast<RegistryKey*>(this)->FindSubkey(n);
}
RegistryValue* RegistryKey::FindValue(std::u16string_view n) { return FindIn(values, n); }
const RegistryValue* RegistryKey::FindValue(std::u16string_view n) const
{
    return const_cast<RegistryKey*>(this)->FindValue(n);
}

RegistryKey* RegistryKey::Find(const RegistryPath& path)
{
    RegistryKey* k = this;
    for (const std::u16string& part : path) {
        k = k->FindSubkey(part);
        if (k == nullptr)
            return nullptr;
    }
    return k;
}
const RegistryKey* RegistryKey::Find(const RegistryPath& path) const
{
    return const_cast<RegistryKey*>(this)->Find(path);
}

RegistryKey ShallowCopy(const RegistryKey& key)
{
    RegistryKey out{key.name, key.values, {}};
    out.subkeys.reserve(key.subkeys.size());
    for (const RegistryKey& sub : key.subkeys)
        out.subkeys.push_back(RegistryKey{sub.name, {}, {}});
    return out;
}

bool SplitRegistryPath(std::u16string_view text, RegistryPath& out)
{
    out.clear();
    if (!text.empty() && text.front() == u'\\')
        text.remove_prefix(1);
    if (text.empty())
        return true;
    while (true) {
        std::size_t cut = text.find(u'\\');
        std::u16string_view part = text.substr(0, cut);
        if (part.empty() || part.size() > kMaxKeyNameLength || out.size() >= kMaxKeyDepth) {
            out.clear();
            return false;
        }
        out.emplace_back(part);
        if (cut == std::u16string_view::npos)
            return true;
        text.remove_prefix(cut + 1);
    }
}

std::u16string JoinRegistryPath(const RegistryPath& path)
{
    std::u16string out;
    for (const std::u16string& part : path) {
        out += u'\\';
        out += part;
    }
    return out.empty() ? std::u16string(u"\\") : out;
}

EditResult ApplyRegistryEdit(RegistryKey& root, const RegistryEdit& edit)
{
    if (edit.path.size() > kMaxKeyDepth)
        return EditResult::Refused;
    switch (edit.kind) {
    case RegistryEdit::Kind::CreateKey: {
        RegistryKey* k = &root;
        for (const std::u16string& part : edit.path) {
            if (part.empty() || part.size() > kMaxKeyNameLength)
                return EditResult::Refused;
            RegistryKey* next = k->FindSubkey(part);
            if (next == nullptr) {
                k->subkeys.push_back(RegistryKey{part, {}, {}});
                next = &k->subkeys.back();
            }
            k = next;
        }
        return EditResult::Done;
    }
    case RegistryEdit::Kind::SetValue: {
        if (edit.value.name.size() > kMaxValueNameLength)
            return EditResult::Refused;
        RegistryKey* k = root.Find(edit.path);
        if (k == nullptr)
            return EditResult::NotFound;
        if (RegistryValue* v = k->FindValue(edit.value.name)) {
            // A write replaces type and data; the first spelling of the name stays.
            v->type = edit.value.type;
            v->data = edit.value.data;
        } else {
            k->values.push_back(edit.value);
        }
        return EditResult::Done;
    }
    case RegistryEdit::Kind::DeleteValue: {
        RegistryKey* k = root.Find(edit.path);
        if (k == nullptr)
            return EditResult::NotFound;
        for (auto it = k->values.begin(); it != k->values.end(); ++it)
            if (RegistryNamesEqual(it->name, edit.value.name)) {
                k->values.erase(it);
                return EditResult::Done;
            }
        return EditResult::NotFound;
    }
    case RegistryEdit::Kind::DeleteKey: {
        if (edit.path.empty())
            return EditResult::Refused;
        RegistryPath parentPath(edit.path.begin(), edit.path.end() - 1);
        RegistryKey* parent = root.Find(parentPath);
        if (parent == nullptr)
            return EditResult::NotFound;
        for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it)
            if (RegistryNamesEqual(it->name, edit.path.back())) {
                parent->subkeys.erase(it);
                return EditResult::Done;
            }
        return EditResult::NotFound;
    }
    }
    return EditResult::Refused;
}

} // namespace win
