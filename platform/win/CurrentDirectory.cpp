#include "platform/win/CurrentDirectory.h"

#include "platform/win/LastError.h"

namespace win {

bool SetCurrentDirectoryPath(std::u16string_view path)
{
    const DWORD error = host::ChangeCurrentDirectory(path);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    return true;
}

DWORD GetCurrentDirectoryW(DWORD bufferLength, char16_t* buffer)
{
    const std::u16string cwd = CurrentDirectory();
    const auto needed = static_cast<DWORD>(cwd.size() + 1);
    if (buffer == nullptr || bufferLength < needed)
        return needed;
    cwd.copy(buffer, cwd.size());
    buffer[cwd.size()] = u'\0';
    return needed - 1;
}

BOOL SetCurrentDirectoryW(const char16_t* path)
{
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return SetCurrentDirectoryPath(path) ? 1 : 0;
}

rtl::UnicodeString GetCurrentDir() { return rtl::UnicodeString(CurrentDirectory()); }

bool SetCurrentDir(const rtl::UnicodeString& dir) { return SetCurrentDirectoryPath(dir.view()); }

} // namespace win
