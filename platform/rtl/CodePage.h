// Text encodings at the host boundary and the system's 8-bit code page.
//
// The system code page is Windows code page 932 (Japanese). Conversions use
// glibc's "CP932" tables (built once, through iconv, at the first text beyond
// ASCII); they are thread-safe and never fail: a UTF-16 character that code
// page 932 cannot hold becomes "?", a byte sequence that is not code page 932
// becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace rtl {

class UnicodeString;

// UTF-16 -> code page 932 bytes; unmappable characters (and a surrogate pair
// as a whole) become one "?".
std::string Utf16ToCp932(std::u16string_view text);
// Code page 932 bytes -> UTF-16; an invalid byte or a lead byte without a
// valid trail byte becomes U+FFFD (the next byte is then read afresh).
std::u16string Cp932ToUtf16(std::string_view bytes);

// Whether the byte starts a double-byte character of code page 932
// (0x81-0x9F, 0xE0-0xFC), as the system's IsDBCSLeadByte.
bool IsDBCSLeadByte(unsigned char byte);

// UTF-16 <-> UTF-8. Lone surrogates and invalid UTF-8 become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view bytes);

// The host boundary: file names, environment, terminal output.
std::string ToUtf8(const UnicodeString& text);
UnicodeString FromUtf8(std::string_view bytes);

} // namespace rtl
