#include "platform/win/ErrorMode.h"

#include <atomic>

namespace win {

namespace {
std::atomic<UINT> errorMode{0};
}

UINT SetErrorMode(UINT mode) { return errorMode.exchange(mode); }
UINT GetErrorMode() { return errorMode.load(); }

} // namespace win
