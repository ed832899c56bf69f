#include "platform/vcl/Resources.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace vcl {

win::HINSTANCE HInstance = nullptr;

namespace {

struct Table {
    const TResourceEntry* entries;
    std::size_t count;
};

std::mutex& TablesMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<Table>& Tables()
{
    static std::vector<Table> tables;
    return tables;
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Resource names are ASCII in our tables; anything else never matches.
bool SameName(const char* stored, const rtl::UnicodeString& wanted)
{
    if (!stored)
        return false;
    const std::u16string_view w = wanted.view();
    std::size_t i = 0;
    for (; stored[i] != '\0'; ++i) {
        if (i >= w.size())
            return false;
        const auto s = static_cast<unsigned char>(stored[i]);
        if (s >= 0x80 || Upper(static_cast<char16_t>(s)) != Upper(w[i]))
            return false;
    }
    return i == w.size();
}

} // namespace

void RegisterResources(const TResourceEntry* entries, std::size_t count)
{
    if (!entries)
        return;
    std::lock_guard<std::mutex> lock(TablesMutex());
    auto& tables = Tables();
    if (std::none_of(tables.begin(), tables.end(), [&](const Table& t) { return t.entries == entries; }))
        tables.push_back({entries, count});
}

const TResourceEntry* FindResourceEntry(const rtl::UnicodeString& name, const rtl::UnicodeString& type)
{
    std::lock_guard<std::mutex> lock(TablesMutex());
    const auto& tables = Tables();
    for (auto t = tables.rbegin(); t != tables.rend(); ++t)
        for (std::size_t i = 0; i < t->count; ++i)
            if (SameName(t->entries[i].Name, name) && SameName(t->entries[i].Type, type))
                return &t->entries[i];
    return nullptr;
}

namespace detail {

void UnregisterResources(const TResourceEntry* entries)
{
    std::lock_guard<std::mutex> lock(TablesMutex());
    auto& tables = Tables();
    tables.erase(std::remove_if(tables.begin(), tables.end(), [&](const Table& t) { return t.entries == entries; }),
                 tables.end());
}

} // namespace detail

} // namespace vcl
