// The process-wide error mode. Linux never shows the "insert a disk" dialog,
// so the mode is only kept: set, read back and restored.
#pragma once

#include "platform/win/Types.h"

namespace win {

inline constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
inline constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
inline constexpr UINT SEM_NOALIGNMENTFAULTEXCEPT = 0x0004;
inline constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;

// Sets the mode and returns the previous one (atomic).
UINT SetErrorMode(UINT mode);
UINT GetErrorMode();

} // namespace win
