// The Win32 and framework calls on the process's current directory
// (platform/host/CurrentDirectory.h: kept in Windows form, "E:\" at a drive's
// root, "E:\Viewer" below it).
#pragma once

#include <string>
#include <string_view>

#include "platform/host/CurrentDirectory.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/win/Types.h"

namespace win {

// The current directory in Windows form.
using host::CurrentDirectory;
// Sets it to an existing folder; false (with the last error set) otherwise.
bool SetCurrentDirectoryPath(std::u16string_view path);

// Win32 forms. GetCurrentDirectoryW returns the length without the NUL, or the
// size needed with the NUL when the buffer is too small (nothing written).
DWORD GetCurrentDirectoryW(DWORD bufferLength, char16_t* buffer);
BOOL SetCurrentDirectoryW(const char16_t* path);

// The framework's forms.
rtl::UnicodeString GetCurrentDir();
bool SetCurrentDir(const rtl::UnicodeString& dir);

} // namespace win
