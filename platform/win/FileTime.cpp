#include "platform/win/FileTime.h"

#include "platform/win/LastError.h"

#include "platform/rtl/DateTime.h"
#include "platform/host/CivilDate.h"

namespace win {

namespace {

constexpr std::uint64_t TicksPerSecond = 10'000'000;
constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
constexpr std::int64_t DaysFrom1601To1970 = SecondsFrom1601To1970 / 86400;

} // namespace

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime)
{
    if (systemTime != nullptr)
        *systemTime = SYSTEMTIME{};
    if (fileTime == nullptr || systemTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::uint64_t v = detail::ToUInt64(*fileTime);
    if (v >= (std::uint64_t{1} << 63)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::uint64_t totalSeconds = v / TicksPerSecond;
    const std::uint64_t days1601 = totalSeconds / 86400;
    const std::uint64_t secOfDay = totalSeconds % 86400;
    const host::CivilDate date = host::CivilFromDays(static_cast<std::int64_t>(days1601) - DaysFrom1601To1970);
    systemTime->wYear = static_cast<WORD>(date.year);
    systemTime->wMonth = static_cast<WORD>(date.month);
    systemTime->wDay = static_cast<WORD>(date.day);
    systemTime->wDayOfWeek = static_cast<WORD>((days1601 + 1) % 7); // 1601-01-01 was a Monday
    systemTime->wHour = static_cast<WORD>(secOfDay / 3600);
    systemTime->wMinute = static_cast<WORD>(secOfDay % 3600 / 60);
    systemTime->wSecond = static_cast<WORD>(secOfDay % 60);
    systemTime->wMilliseconds = static_cast<WORD>(v % TicksPerSecond / 10000);
    return 1;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime)
{
    if (st == nullptr || fileTime == nullptr || st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 ||
        st->wMonth > 12 || st->wDay < 1 || st->wDay > rtl::DaysInMonth(st->wYear, st->wMonth) || st->wHour > 23 ||
        st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::int64_t days = host::DaysFromCivil(st->wYear, st->wMonth, st->wDay) + DaysFrom1601To1970;
    const std::uint64_t seconds =
        static_cast<std::uint64_t>(days) * 86400 + st->wHour * 3600u + st->wMinute * 60u + st->wSecond;
    *fileTime = detail::FromUInt64(seconds * TicksPerSecond + st->wMilliseconds * 10000ull);
    return 1;
}

namespace detail {

FILETIME FileTimeFromHost(const timespec& t)
{
    const std::int64_t sec = static_cast<std::int64_t>(t.tv_sec) + SecondsFrom1601To1970;
    if (sec < 0)
        return FILETIME{};
    return FromUInt64(static_cast<std::uint64_t>(sec) * TicksPerSecond + static_cast<std::uint64_t>(t.tv_nsec) / 100);
}

timespec HostFromFileTime(const FILETIME& ft)
{
    const std::uint64_t v = ToUInt64(ft);
    timespec t{};
    t.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(v / TicksPerSecond) - SecondsFrom1601To1970);
    t.tv_nsec = static_cast<long>(v % TicksPerSecond * 100);
    return t;
}

} // namespace detail

} // namespace win
