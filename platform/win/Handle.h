// Kernel object handles (mutexes; any other kind the layer hands out as a
// HANDLE) and CloseHandle. A handle is never reused within the process.
#pragma once

#include "platform/win/Types.h"

#include <memory>

namespace win {

namespace detail {

// The object behind a handle; it goes when its last handle is closed.
class KernelObject {
public:
    virtual ~KernelObject() = default;
};

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
// Null for an unknown or closed handle.
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);

} // namespace detail

// Nonzero on success; 0 with ERROR_INVALID_HANDLE for an unknown handle.
BOOL CloseHandle(HANDLE handle);

} // namespace win
