// The process's current directory, kept in Windows form ("E:\" at a drive's
// root, "E:\Viewer" below it). It starts as the host's current directory seen
// through the drive table; setting it does not change the host's. The Win32
// and framework calls on it are win's (platform/win/CurrentDirectory.h).
//
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// The current directory in Windows form.
std::u16string CurrentDirectory();
// Sets it to an existing folder: ERROR_SUCCESS, or the Win32 error code.
std::uint32_t ChangeCurrentDirectory(std::u16string_view path);
// The drive table changed: take the current directory anew from the host's.
void ForgetCurrentDirectory();

} // namespace host
