// The calling thread's last error code, as Win32 keeps it, and the codes the
// file, drive and process calls of this layer report.
#pragma once

#include "platform/host/ErrorCodes.h"
#include "platform/win/Types.h"

namespace win {

// The codes (platform/host/ErrorCodes.h) as win::ERROR_...
using namespace host::errors;

// Per thread, as on Windows: a call that fails sets it; most calls that succeed
// leave it alone.
DWORD GetLastError();
void SetLastError(DWORD code);

} // namespace win
