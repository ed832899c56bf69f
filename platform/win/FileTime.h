// FILETIME (100 ns since 1601-01-01 UTC) and SYSTEMTIME, and the conversion
// between them on the proleptic Gregorian calendar.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/win/Types.h"

namespace win {

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
    bool operator==(const FILETIME&) const = default;
};

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0; // 0 = Sunday
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
    bool operator==(const SYSTEMTIME&) const = default;
};

// Fails (FALSE, ERROR_INVALID_PARAMETER) for null arguments and for values of
// 2^63 or more; the fields are then all zero.
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
// Fails for fields out of range (month 1-12, day within the month, year
// 1601-30827, hour < 24, minute and second < 60, ms < 1000).
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);

namespace detail {
// Host time (seconds and nanoseconds since 1970 UTC) as a file time.
FILETIME FileTimeFromHost(const timespec& t);
timespec HostFromFileTime(const FILETIME& ft);
inline std::uint64_t ToUInt64(const FILETIME& ft)
{
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
inline FILETIME FromUInt64(std::uint64_t v)
{
    return FILETIME{static_cast<DWORD>(v & 0xFFFFFFFFu), static_cast<DWORD>(v >> 32)};
}
} // namespace detail

} // namespace win
