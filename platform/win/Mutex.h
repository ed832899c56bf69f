// Mutexes, and named mutexes shared between processes.
//
// A named mutex exists while any process holds a handle to it. Across
// processes it is a lock file (one per name) in the mutex folder: each
// process that has a handle open holds a shared record lock on it, so the
// kernel releases it when the process ends, however it ends. The folder is
// VELMORASTINE_MUTEX_DIR, else XDG_RUNTIME_DIR, else /tmp.
//
// Ownership (bInitialOwner, ReleaseMutex) is kept per process only: the
// program never waits on a mutex.
#pragma once

#include "platform/win/Types.h"

#include <string>

namespace win {

struct SECURITY_ATTRIBUTES;

// Creates the mutex or opens the existing one. Handle on success; then
// GetLastError() is ERROR_ALREADY_EXISTS when the name existed (in this
// process or another), else ERROR_SUCCESS. Null when the lock file cannot be
// made (GetLastError tells why). A null or empty name makes a private mutex.
HANDLE CreateMutexW(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, const char16_t* name);
// `name` in code page 932.
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, const char* name);
HANDLE CreateMutex(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, const char16_t* name);

// Gives up ownership held by the calling thread; 0 with ERROR_NOT_OWNER when
// it holds none, ERROR_INVALID_HANDLE for a handle that is not a mutex.
BOOL ReleaseMutex(HANDLE mutex);

namespace detail {
// Tests point the lock files elsewhere (an empty text restores the default).
void SetMutexFolder(const std::string& hostFolder);
std::string MutexFolder();
} // namespace detail

} // namespace win
