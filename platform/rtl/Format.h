// printf-style formatting, type-safe and locale-independent.
//
// Conversions: %d %i %u %x %X %o %c %s %f %e %E %g %G %p %%, with the flags
// "-" "0" "+" " " "#", a width and a precision (either may be "*", taken from
// the next integer argument). Length modifiers (h, hh, l, ll, z, j, t, L) are
// accepted and ignored: the argument's own type decides its width, so "%x"
// of a 32-bit -1 is "ffffffff" and of a 64-bit -1 sixteen "f"s. "%s" takes
// UnicodeString, AnsiString, char16_t* (UTF-16) and char* (code page 932)
// alike and converts to the output's encoding; a precision limits the
// characters (never splitting one). Numbers given to "%s" print as by
// IntToStr / FloatToStr. "%c" takes a char (a code page 932 byte) or a
// char16_t.
// A malformed directive, or one without an argument, is copied literally
// (never read past the argument list); surplus arguments are ignored.
#pragma once

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/FormatArg.h"
#include "platform/rtl/UnicodeString.h"

#include <string>
#include <string_view>

namespace rtl {

std::u16string FormatUtf16(std::u16string_view format, const FormatArg* args, int count);
std::string FormatBytes(std::string_view format, const FormatArg* args, int count);

// The framework's Format: UnicodeString result.
template <class... Args>
UnicodeString Format(const UnicodeString& format, const Args&... args)
{
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return UnicodeString(FormatUtf16(format.view(), list, sizeof...(Args)));
}

// 8-bit formatting (AnsiString::sprintf uses the same engine).
template <class... Args>
AnsiString FormatAnsi(const AnsiString& format, const Args&... args)
{
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return AnsiString(FormatBytes(format.view(), list, sizeof...(Args)));
}

} // namespace rtl
