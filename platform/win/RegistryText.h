// The readable text form of a hive, as the file store keeps it and as tests
// export it:
//
//   Velmorastine registry hive 1
//   [\SOFTWARE\GNU\ffdshow]
//   "revision"=dword:000009e0
//   "pth"=sz:"E:\\APP\\ffdshow"
//   "avisynthScriptMULTI_SZ"=hex(3):00,00,00,00,00,00,00
//
// Every key has a line with its full path (keys without values too), in
// creation order, parents before children; its values follow in creation
// order. Inside quotes \\ \" \r \n \t and \uXXXX escape; in key paths %XXXX
// escapes "%", a backslash inside a name and control characters. A string
// that is not a NUL-terminated UTF-16 text, a DWORD that is not 4 bytes, and
// every other type are written as hex(type). UTF-8 throughout, lines end in
// LF. Whatever the parser accepts is written back so that it parses the same.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/RegistryKey.h"

namespace win {

std::string FormatRegistryHive(const RegistryKey& root);

// Parses the whole text; false (and `out` empty) on any fault: a missing or
// other header, a malformed line, a value before the first key, a value name
// twice in one key, invalid UTF-8, or a limit of RegistryKey.h exceeded.
bool ParseRegistryHive(std::string_view text, RegistryKey& out);

} // namespace win
