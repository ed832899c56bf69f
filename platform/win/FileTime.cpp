#include "platform/win/FileTime.h"

#include "platform/win/LastError.h"

namespace win {

namespace {

constexpr std::uint64_t TicksPerSecond = 10'000'000;
constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;

// Days since 1970-01-01 <-> civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
}

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

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
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(static_cast<std::int64_t>(days1601) - 134774, y, m, d);  // 134774 days 1601..1970
    systemTime->wYear = static_cast<WORD>(y);
    systemTime->wMonth = static_cast<WORD>(m);
    systemTime->wDay = static_cast<WORD>(d);
    systemTime->wDayOfWeek = static_cast<WORD>((days1601 + 1) % 7);  // 1601-01-01 was a Monday
    systemTime->wHour = static_cast<WORD>(secOfDay / 3600);
    systemTime->wMinute = static_cast<WORD>(secOfDay % 3600 / 60);
    systemTime->wSecond = static_cast<WORD>(secOfDay % 60);
    systemTime->wMilliseconds = static_cast<WORD>(v % TicksPerSecond / 10000);
    return 1;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime)
{
    static constexpr unsigned DaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (st == nullptr || fileTime == nullptr || st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 ||
        st->wMonth > 12 || st->wDay < 1 ||
        st->wDay > DaysIn[st->wMonth - 1] + (st->wMonth == 2 && IsLeap(st->wYear) ? 1 : 0) || st->wHour > 23 ||
        st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) + 134774;
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
