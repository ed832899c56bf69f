#include "platform/win/Clock.h"

namespace win {

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(CurrentClock().MonotonicMs()); }
std::uint64_t GetTickCount64() { return CurrentClock().MonotonicMs(); }
void Sleep(std::uint32_t ms) { CurrentClock().Sleep(ms); }
ClockDateTime LocalNow() { return CurrentClock().Now(); }

} // namespace win
