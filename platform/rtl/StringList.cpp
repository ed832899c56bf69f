#include "platform/rtl/StringList.h"

#include "platform/rtl/Exception.h"

#include <algorithm>

namespace rtl {
namespace {
[[noreturn]] void SortedError() { throw EListError(u"Operation not allowed on sorted list"); }
} // namespace

TStringList::~TStringList() = default;

UnicodeString TStringList::Strings(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

void TStringList::SetStrings(int index, const UnicodeString& text)
{
    if (sorted_)
        SortedError();
    if (index < 0 || index >= Count())
        IndexError(index);
    items_[static_cast<std::size_t>(index)] = text;
}

void TStringList::Insert(int index, const UnicodeString& text)
{
    if (sorted_)
        SortedError();
    if (index < 0 || index > Count())
        IndexError(index);
    items_.insert(items_.begin() + index, text);
}

void TStringList::Delete(int index)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    items_.erase(items_.begin() + index);
}

void TStringList::Clear() { items_.clear(); }

int TStringList::Add(const UnicodeString& text)
{
    if (!sorted_) {
        items_.push_back(text);
        return Count() - 1;
    }
    int index = 0;
    if (Find(text, index)) {
        if (duplicates_ == dupIgnore)
            return index;
        if (duplicates_ == dupError)
            throw EListError(u"String list does not allow duplicates");
    }
    items_.insert(items_.begin() + index, text);
    return index;
}

int TStringList::IndexOf(const UnicodeString& text) const
{
    if (!sorted_)
        return TStrings::IndexOf(text);
    int index = 0;
    return Find(text, index) ? index : -1;
}

bool TStringList::Find(const UnicodeString& text, int& index) const
{
    // First position not less than text; found when it compares equal.
    int lo = 0, hi = Count();
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (CompareStrings(items_[static_cast<std::size_t>(mid)], text) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(items_[static_cast<std::size_t>(lo)], text) == 0;
}

void TStringList::Sort()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const UnicodeString& a, const UnicodeString& b) { return CompareStrings(a, b) < 0; });
}

void TStringList::SetSorted(bool value)
{
    if (value && !sorted_)
        Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    TStrings::SetCaseSensitive(value);
    if (sorted_)
        Sort();
}

} // namespace rtl
