// The C run-time library's fopen for the program's Windows paths: the path
// goes through the drive table first. (A distinct name: a `fopen` of our own
// would silently lose to the host's for a char buffer.)
//
// Like the Windows run-time: a folder cannot be opened (EACCES), writing
// modes ("w", "a", "+") fail on a write-protected drive (EROFS) and on a file
// with the read-only attribute (EACCES); a bad path gives ENOENT or ENODEV
// for a removed drive. Null with errno set on failure.
#pragma once

#include <cstdio>

namespace win {

// path in code page 932.
std::FILE* OpenCFile(const char* path, const char* mode);
std::FILE* OpenCFileW(const char16_t* path, const char* mode);

} // namespace win
