// Reading hexadecimal digits, shared by the number, settings, registry and
// class-id parsers.
#pragma once

namespace rtl::detail {

// The value of a hex digit of either case; -1 for any other code unit.
constexpr int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace rtl::detail
