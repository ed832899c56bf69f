// Drive type and size.
#pragma once

#include <cstdint>

#include "platform/win/Types.h"

namespace win {

inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;

// Only a root "X:\" answers a type (a null path: the current directory's
// drive): 2 for a removable drive (also with its card pulled), 3 for a fixed
// one; every other path, an unmapped letter or a removed fixed drive gives 1.
UINT GetDriveTypeW(const char16_t* rootPath);
UINT GetDriveTypeA(const char* rootPath);
inline UINT GetDriveType(const char16_t* rootPath) { return GetDriveTypeW(rootPath); }

// The framework's size queries in bytes, from statvfs of the drive's folder:
// drive 1..26 is A..Z; -1 for any other number, an unmapped or removed
// drive, or a failing statvfs.
std::int64_t DiskSize(BYTE drive);
std::int64_t DiskFree(BYTE drive);

} // namespace win
