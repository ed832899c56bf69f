// One argument of the printf-style formatters (Format, sprintf): the value
// with its kind, so that formatting is type-safe and never reads a C
// variable-argument list. Text arguments are views: an argument lives only
// for the call it is passed to.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>

namespace rtl {

class UnicodeString;
class AnsiString;

class FormatArg {
public:
    enum class Kind { None, Signed, Unsigned, Float, Bytes, Utf16, Pointer };

    FormatArg() = default;
    template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
             !std::is_same_v<T, char16_t>) FormatArg(T value)
    {
        if constexpr (std::is_signed_v<T>) {
            kind_ = Kind::Signed;
            i_ = value;
        } else {
            kind_ = Kind::Unsigned;
            u_ = value;
        }
        bits_ = static_cast<int>(sizeof(T) * 8);
    }
    // An enumerator prints as its number.
    template <class T>
    requires std::is_enum_v<T> FormatArg(T value) : FormatArg(static_cast<std::underlying_type_t<T>>(value)) {}
    FormatArg(bool value) : kind_(Kind::Signed), bits_(32), i_(value ? 1 : 0) {}
    // A character: %c prints it, %d its code.
    FormatArg(char value) : kind_(Kind::Signed), bits_(8), i_(static_cast<unsigned char>(value)), isChar_(true) {}
    FormatArg(char16_t value) : kind_(Kind::Unsigned), bits_(16), u_(value), isChar_(true) {}
    FormatArg(double value) : kind_(Kind::Float), d_(value) {}
    FormatArg(float value) : kind_(Kind::Float), d_(value) {}
    FormatArg(long double value) : kind_(Kind::Float), d_(static_cast<double>(value)) {}
    // Code page 932 bytes (a null pointer prints as the empty text).
    FormatArg(const char* value);
    FormatArg(char* value) : FormatArg(static_cast<const char*>(value)) {}
    FormatArg(std::string_view value) : kind_(Kind::Bytes), bytes_(value) {}
    FormatArg(const char16_t* value);
    FormatArg(char16_t* value) : FormatArg(static_cast<const char16_t*>(value)) {}
    FormatArg(std::u16string_view value) : kind_(Kind::Utf16), utf16_(value) {}
    FormatArg(const AnsiString& value);
    FormatArg(const UnicodeString& value);
    FormatArg(const void* value) : kind_(Kind::Pointer), u_(reinterpret_cast<std::uintptr_t>(value)) {}

    Kind kind() const { return kind_; }
    int bits() const { return bits_; }
    bool isChar() const { return isChar_; }
    std::int64_t asSigned() const { return i_; }
    std::uint64_t asUnsigned() const { return u_; }
    double asFloat() const { return d_; }
    std::string_view bytes() const { return bytes_; }
    std::u16string_view utf16() const { return utf16_; }

private:
    Kind kind_ = Kind::None;
    int bits_ = 64;
    std::int64_t i_ = 0;
    std::uint64_t u_ = 0;
    double d_ = 0;
    std::string_view bytes_;
    std::u16string_view utf16_;
    bool isChar_ = false;
};

} // namespace rtl
