// The framework's 16-bit string: UTF-16 code units (char16_t), value
// semantics, 1-based character positions as in the framework.
//
// Properties of the framework become methods of the same name here
// (`Length()`, `IsEmpty()`); an index outside 1..Length() raises
// ERangeError instead of reading out of bounds.
#pragma once

#include "platform/rtl/FormatArg.h"

#include <compare>
#include <concepts>
#include <iosfwd>
#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

class AnsiString;

class UnicodeString {
public:
    UnicodeString() = default;
    UnicodeString(const char16_t* text); // null gives the empty string
    UnicodeString(const char16_t* text, int length);
    UnicodeString(std::u16string text) : s_(std::move(text)) {}
    UnicodeString(std::u16string_view text) : s_(text) {}
    explicit UnicodeString(char16_t c) : s_(1, c) {}
    // Widens code page 932 bytes (as the framework does for an AnsiString).
    UnicodeString(const AnsiString& text);
    // Decimal text of a number, as IntToStr / FloatToStr.
    explicit UnicodeString(int value);
    explicit UnicodeString(unsigned value);
    explicit UnicodeString(long value);
    explicit UnicodeString(long long value);
    explicit UnicodeString(unsigned long value);
    explicit UnicodeString(unsigned long long value);
    explicit UnicodeString(double value);

    int Length() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    // Never null; NUL-terminated.
    const char16_t* c_str() const { return s_.c_str(); }
    // The framework's other spellings of c_str().
    const char16_t* w_str() const { return s_.c_str(); }
    const char16_t* t_str() const { return s_.c_str(); }
    const std::u16string& str() const { return s_; }
    std::u16string_view view() const { return s_; }

    // 1-based; raises ERangeError outside 1..Length().
    char16_t operator[](int index) const;
    char16_t& operator[](int index);

    // 1-based start; clamped like the framework's (start < 1 counts from 1,
    // count past the end stops there, count <= 0 gives the empty string).
    UnicodeString SubString(int start, int count) const;
    // 1-based position of the first occurrence, 0 when absent (or sub empty).
    int Pos(const UnicodeString& sub) const;
    // Last occurrence of any character of delimiters, 1-based; 0 when none.
    int LastDelimiter(const UnicodeString& delimiters) const;
    // Framework-style in-place edits (1-based); out-of-range parts are ignored.
    UnicodeString& Delete(int index, int count);
    UnicodeString& Insert(const UnicodeString& text, int index);
    UnicodeString& SetLength(int length);

    // Only ASCII letters change (ordinal, locale-independent).
    UnicodeString UpperCase() const;
    UnicodeString LowerCase() const;
    // Removes characters <= U+0020 from both ends (or one end).
    UnicodeString Trim() const;
    UnicodeString TrimLeft() const;
    UnicodeString TrimRight() const;

    // StrToInt / StrToIntDef / StrToFloat of this text.
    int ToInt() const;
    int ToIntDef(int defaultValue) const;
    double ToDouble() const;

    // printf-style formatting (see Format.h for the subset); sprintf replaces
    // the contents, cat_sprintf appends. Both return *this.
    template <class... Args>
    UnicodeString& sprintf(const char16_t* format, const Args&... args)
    {
        const FormatArg list[] = {FormatArg(args)..., FormatArg()};
        return vprintf(format, list, sizeof...(Args));
    }
    template <class... Args>
    UnicodeString& cat_sprintf(const char16_t* format, const Args&... args)
    {
        const FormatArg list[] = {FormatArg(args)..., FormatArg()};
        return cat_vprintf(format, list, sizeof...(Args));
    }
    UnicodeString& vprintf(const char16_t* format, const FormatArg* args, int count);
    UnicodeString& cat_vprintf(const char16_t* format, const FormatArg* args, int count);

    UnicodeString& operator+=(const UnicodeString& other)
    {
        s_ += other.s_;
        return *this;
    }
    UnicodeString& operator+=(const char16_t* other);
    // Only a char16_t appends a character (an int does not convert).
    template <class C>
    requires std::same_as<C, char16_t> UnicodeString& operator+=(C c)
    {
        s_ += c;
        return *this;
    }
    UnicodeString operator+(const UnicodeString& other) const { return UnicodeString(s_ + other.s_); }
    UnicodeString operator+(const char16_t* other) const;
    template <class C>
    requires std::same_as<C, char16_t> UnicodeString operator+(C c) const { return UnicodeString(s_ + c); }
    friend UnicodeString operator+(const char16_t* left, const UnicodeString& right);
    template <class C>
    requires std::same_as<C, char16_t>
    friend UnicodeString operator+(C left, const UnicodeString& right)
    {
        return UnicodeString(std::u16string(1, left) + right.s_);
    }

    // Ordinal comparison of the code units.
    bool operator==(const UnicodeString& other) const { return s_ == other.s_; }
    bool operator==(const char16_t* other) const;
    // An AnsiString compares after widening (either side).
    bool operator==(const AnsiString& other) const;
    std::strong_ordering operator<=>(const UnicodeString& other) const { return s_ <=> other.s_; }
    std::strong_ordering operator<=>(const char16_t* other) const;
    std::strong_ordering operator<=>(const AnsiString& other) const;
    // The framework's Compare: < 0, 0 or > 0 (ordinal).
    int Compare(const UnicodeString& other) const;
    // Comparison without regard to ASCII letter case.
    int CompareIC(const UnicodeString& other) const;

private:
    std::u16string s_;
};

// The framework's generic string type.
using String = UnicodeString;

// Writes the text as UTF-8 (test output, host diagnostics).
std::ostream& operator<<(std::ostream& out, const UnicodeString& text);

} // namespace rtl

template <>
struct std::hash<rtl::UnicodeString> {
    std::size_t operator()(const rtl::UnicodeString& s) const noexcept { return std::hash<std::u16string>()(s.str()); }
};
