// The framework's string list: TStrings kept in memory, optionally sorted.
#pragma once

#include "platform/rtl/Strings.h"

#include <vector>

namespace rtl {

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(items_.size()); }
    UnicodeString Strings(int index) const override;
    // On a sorted list raises EListError ("Operation not allowed on sorted
    // list"), as do Insert and Exchange.
    void SetStrings(int index, const UnicodeString& text) override;
    void Insert(int index, const UnicodeString& text) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const UnicodeString& text) override;
    int IndexOf(const UnicodeString& text) const override;

    // Sorted: ordinal order, ASCII case ignored unless CaseSensitive; setting
    // it sorts the list. Duplicates applies to Add on a sorted list.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }
    void SetCaseSensitive(bool value) override;
    void Sort();
    // Binary search of a sorted list: true and the index when found, else
    // false and the insertion index.
    bool Find(const UnicodeString& text, int& index) const;

private:
    std::vector<UnicodeString> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

} // namespace rtl
