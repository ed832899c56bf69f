// Windows paths ("E:\DATA\X.ASF") to host paths, through the drive table.
//
// Each component is looked up without regard to letter case: an existing entry
// wins (its host spelling is used; an exact match is preferred), a component
// that does not exist keeps the spelling it was given. Repeated separators
// collapse ("/" counts as "\" as on Windows), "." and ".." are applied, and
// trailing dots and blanks of a component are dropped as Win32 does. Relative
// paths ("DATA\X.ASF", "\DATA", "E:DATA") are taken against the current
// directory. Host names that Windows could not hold (see IsWindowsName) are
// invisible: they never match.
//
// Thread-safe; called from every thread.
#pragma once

#include <string>
#include <string_view>

#include <cstdint>

namespace host {

struct ResolvedPath {
    std::uint32_t error = 0; // 0, or the Win32 error the path itself gives
    std::string host; // host path, UTF-8 (valid when error is 0)
    char16_t drive = 0; // upper-case drive letter
    std::u16string windows; // absolute Windows form with the host spellings found
    bool isRoot = false; // the path names the drive's root folder
    bool parentExists = false; // every component before the last is an existing folder
    bool writeProtected = false; // the drive refuses writes
    bool removable = false;

    bool ok() const { return error == 0; }
};

// Resolves a Windows path (UTF-16). Errors: ERROR_PATH_NOT_FOUND for an empty
// path or an unmapped drive, ERROR_NOT_READY for a removed drive,
// ERROR_INVALID_NAME for characters Windows refuses (also "*" and "?"),
// ERROR_BAD_NETPATH for "\\server\share".
ResolvedPath ResolvePath(std::u16string_view windowsPath);

// The absolute Windows form of a path without touching the disk: drive letter
// and spelling as given, separators collapsed, "." and ".." applied. Empty on
// an invalid path.
std::u16string AbsoluteWindowsPath(std::u16string_view windowsPath);

// True for a single name Windows could hold: 1 to 255 UTF-16 units, no control
// characters, none of < > : " / \ | ? *, not ending in a blank or a dot (except
// "." and ".."), not a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9).
bool IsWindowsName(std::u16string_view name);

// Comparison of names as the Windows file system does it (without regard to
// letter case).
bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b);
char16_t UpperCaseForNames(char16_t c);

// Strict UTF-8 <-> UTF-16 for host names. Return false on invalid input
// (overlong forms, lone surrogates); the output is then unspecified.
bool Utf8ToUtf16(std::string_view in, std::u16string& out);
bool Utf16ToUtf8(std::u16string_view in, std::string& out);

// Code page 932 bytes <-> UTF-16 for the "A" calls. Bytes that are no
// character become "?" (so such a path names nothing).
std::u16string AnsiPathToWide(std::string_view ansi);

} // namespace host
