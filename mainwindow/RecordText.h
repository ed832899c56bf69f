// A short text kept inside the record that holds it. A scan holds up to
// ten thousand records, each with a date and a length of a fixed few
// characters; as strings of their own they would cost a heap block each.
// A text longer than N units (none the scan makes) is kept on the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/rtl/UnicodeString.h"

template <std::size_t N>
class RecordText {
    static_assert(N >= sizeof(std::u16string*) / sizeof(char16_t) && N < 0xFF);

public:
    RecordText() = default;
    explicit RecordText(std::u16string_view text) { Set(text); }
    RecordText(const RecordText& other) { Set(other.view()); }
    RecordText& operator=(const RecordText& other)
    {
        if (this != &other)
            Set(other.view());
        return *this;
    }
    RecordText& operator=(const rtl::UnicodeString& text)
    {
        Set(text.view());
        return *this;
    }
    ~RecordText() { Release(); }

    std::u16string_view view() const
    {
        if (FLength == kOnHeap)
            return *Heap();
        return std::u16string_view(FUnits, FLength);
    }
    int Length() const { return static_cast<int>(view().size()); }
    operator rtl::UnicodeString() const { return rtl::UnicodeString(view()); }
    rtl::UnicodeString SubString(int index, int count) const
    {
        return rtl::UnicodeString(*this).SubString(index, count);
    }

    friend bool operator==(const RecordText& a, const char16_t* b) { return a.view() == b; }
    friend bool operator==(const RecordText& a, const rtl::UnicodeString& b) { return a.view() == b.view(); }
    friend bool operator==(const RecordText& a, const RecordText& b) { return a.view() == b.view(); }

private:
    static constexpr std::uint8_t kOnHeap = 0xFF;

    std::u16string* Heap() const
    {
        std::u16string* heap;
        std::memcpy(&heap, FUnits, sizeof heap);
        return heap;
    }
    void Release()
    {
        if (FLength == kOnHeap)
            delete Heap();
        FLength = 0;
    }
    void Set(std::u16string_view text)
    {
        // `text` is never this one's own (assignment from itself is skipped).
        Release();
        if (text.size() <= N) {
            std::copy(text.begin(), text.end(), FUnits);
            FLength = static_cast<std::uint8_t>(text.size());
        } else {
            auto* heap = new std::u16string(text);
            std::memcpy(FUnits, &heap, sizeof heap);
            FLength = kOnHeap;
        }
    }

    char16_t FUnits[N] = {};
    std::uint8_t FLength = 0;
};
