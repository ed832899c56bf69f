// The Win32 calls on the layer's one clock (platform/host/Clock.h), and the
// clock's names as the program and its tests use them (win::VirtualClock,
// win::ScopedClock...).
#pragma once

#include <cstdint>

#include "platform/host/Clock.h"

namespace win {

using host::Clock;
using host::ClockDateTime;
using host::CurrentClock;
using host::InstallClock;
using host::RealClock;
using host::ScopedClock;
using host::VirtualClock;

// (std::uint32_t and std::uint64_t are DWORD and ULONGLONG of Types.h.)
std::uint32_t GetTickCount(); // wraps after 49.7 days: subtract as unsigned
std::uint64_t GetTickCount64();
void Sleep(std::uint32_t ms); // never pumps messages
// Local time now, as ClockDateTime.
ClockDateTime LocalNow();

} // namespace win
