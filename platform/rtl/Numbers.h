// Number <-> text conversions of the framework, independent of the C locale
// (decimal point always ".", no thousands separator).
#pragma once

#include "platform/rtl/UnicodeString.h"

#include <concepts>
#include <cstdint>
#include <type_traits>

namespace rtl {

// Leading blanks (U+0020), optional sign, then decimal digits or "0x"/"0X"/
// "$" and hexadecimal digits; nothing after. Decimal must fit int32; hex may
// use all 32 bits ("0xFFFFFFFF" is -1). Anything else raises EConvertError.
int StrToInt(const UnicodeString& text);
int StrToIntDef(const UnicodeString& text, int defaultValue);
bool TryStrToInt(const UnicodeString& text, int& value);
// The same grammar for 64 bits.
std::int64_t StrToInt64(const UnicodeString& text);
std::int64_t StrToInt64Def(const UnicodeString& text, std::int64_t defaultValue);

// Optional sign, digits with an optional fraction (".5" and "5." too),
// optional exponent (e/E, optional sign, digits). No blanks, no thousands
// separator, no "inf"/"nan"/hex. A value too large for a double raises;
// one too small becomes 0. Failure raises EConvertError.
double StrToFloat(const UnicodeString& text);
double StrToFloatDef(const UnicodeString& text, double defaultValue);
bool TryStrToFloat(const UnicodeString& text, double& value);

namespace detail {
UnicodeString SignedToStr(std::int64_t value);
UnicodeString UnsignedToStr(std::uint64_t value);
UnicodeString ToHex(std::uint64_t value, int digits);
} // namespace detail

// Decimal text of any integer type.
template <std::integral T>
UnicodeString IntToStr(T value)
{
    if constexpr (std::is_signed_v<T>)
        return detail::SignedToStr(value);
    else
        return detail::UnsignedToStr(value);
}

// Upper-case hex, at least `digits` digits (zero-padded); a negative value
// prints as the two's complement of its own width (IntToHex(-1, 1) of an int
// is "FFFFFFFF").
template <std::integral T>
UnicodeString IntToHex(T value, int digits)
{
    using U = std::make_unsigned_t<T>;
    return detail::ToHex(static_cast<U>(value), digits);
}

// 15 significant digits, general format: fixed notation for values from
// 1e-5 up to 15 integer digits, otherwise "1.5E20" / "1E-6" (no "+", no
// leading exponent zeros); trailing zeros dropped; never "-0"; "NAN", "INF",
// "-INF" for the special values.
UnicodeString FloatToStr(double value);

// Nearest integer, ties to the even neighbour (2.5 -> 2, -2.5 -> -2).
// Raises EInvalidOp for NaN, infinities and values beyond int64.
std::int64_t Round(double value);
// Truncation toward zero; raises EInvalidOp like Round.
std::int64_t Trunc(double value);

} // namespace rtl
