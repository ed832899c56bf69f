// The framework's 8-bit string: bytes in the system code page (932), value
// semantics, 1-based byte positions as in the framework.
//
// A narrow literal is taken as bytes unchanged, so only ASCII literals mean
// the same in UTF-8 sources and in code page 932; write Japanese text as a
// u"..." literal and convert (`AnsiString(u"ログ")`).
#pragma once

#include "platform/rtl/FormatArg.h"

#include <compare>
#include <concepts>
#include <iosfwd>
#include <string>
#include <string_view>

namespace rtl {

class UnicodeString;

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* bytes); // null gives the empty string
    AnsiString(const char* bytes, int length);
    AnsiString(std::string bytes) : s_(std::move(bytes)) {}
    AnsiString(std::string_view bytes) : s_(bytes) {}
    explicit AnsiString(char c) : s_(1, c) {}
    // Narrows through code page 932: characters it cannot hold become "?".
    AnsiString(const UnicodeString& text);
    AnsiString(const char16_t* text);
    explicit AnsiString(int value);
    explicit AnsiString(unsigned value);
    explicit AnsiString(long value);
    explicit AnsiString(long long value);
    explicit AnsiString(unsigned long value);
    explicit AnsiString(unsigned long long value);
    explicit AnsiString(double value);

    int Length() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    const char* c_str() const { return s_.c_str(); }
    const std::string& str() const { return s_; }
    std::string_view view() const { return s_; }

    // 1-based byte access; raises ERangeError outside 1..Length().
    char operator[](int index) const;
    char& operator[](int index);

    // Byte positions, clamped as UnicodeString::SubString.
    AnsiString SubString(int start, int count) const;
    int Pos(const AnsiString& sub) const;
    // The last byte that is one of delimiters, 1-based, 0 when none. The
    // trail byte of a double-byte character never counts (the 0x5C of "表" is
    // no backslash).
    int LastDelimiter(const AnsiString& delimiters) const;
    AnsiString& Delete(int index, int count);
    AnsiString& Insert(const AnsiString& text, int index);
    AnsiString& SetLength(int length);

    // Only ASCII letters change.
    AnsiString UpperCase() const;
    AnsiString LowerCase() const;
    // Removes bytes <= 0x20 from both ends (or one end).
    AnsiString Trim() const;
    AnsiString TrimLeft() const;
    AnsiString TrimRight() const;

    int ToInt() const;
    int ToIntDef(int defaultValue) const;
    double ToDouble() const;

    template <class... Args>
    AnsiString& sprintf(const char* format, const Args&... args)
    {
        const FormatArg list[] = {FormatArg(args)..., FormatArg()};
        return vprintf(format, list, sizeof...(Args));
    }
    template <class... Args>
    AnsiString& cat_sprintf(const char* format, const Args&... args)
    {
        const FormatArg list[] = {FormatArg(args)..., FormatArg()};
        return cat_vprintf(format, list, sizeof...(Args));
    }
    AnsiString& vprintf(const char* format, const FormatArg* args, int count);
    AnsiString& cat_vprintf(const char* format, const FormatArg* args, int count);

    AnsiString& operator+=(const AnsiString& other)
    {
        s_ += other.s_;
        return *this;
    }
    AnsiString& operator+=(const char* other);
    // Only a char appends a byte (an int does not convert).
    template <class C>
    requires std::same_as<C, char> AnsiString& operator+=(C c)
    {
        s_ += c;
        return *this;
    }
    AnsiString operator+(const AnsiString& other) const { return AnsiString(s_ + other.s_); }
    AnsiString operator+(const char* other) const;
    template <class C>
    requires std::same_as<C, char> AnsiString operator+(C c) const { return AnsiString(s_ + c); }
    friend AnsiString operator+(const char* left, const AnsiString& right);
    template <class C>
    requires std::same_as<C, char>
    friend AnsiString operator+(C left, const AnsiString& right) { return AnsiString(std::string(1, left) + right.s_); }

    // Byte equality and ordinal order (unsigned bytes).
    bool operator==(const AnsiString& other) const { return s_ == other.s_; }
    bool operator==(const char* other) const;
    std::strong_ordering operator<=>(const AnsiString& other) const;
    std::strong_ordering operator<=>(const char* other) const;
    int Compare(const AnsiString& other) const;
    int CompareIC(const AnsiString& other) const;

private:
    std::string s_;
};

// Writes the text as UTF-8 (from code page 932) (test output, host diagnostics).
std::ostream& operator<<(std::ostream& out, const AnsiString& text);

} // namespace rtl

template <>
struct std::hash<rtl::AnsiString> {
    std::size_t operator()(const rtl::AnsiString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
