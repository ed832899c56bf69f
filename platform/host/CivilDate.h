// Civil dates <-> day numbers on the proleptic Gregorian calendar, shared by
// TDateTime, the file times and the clock (H. Hinnant's algorithms).
#pragma once

#include <cstdint>

namespace host {

// Days from 1970-01-01 to y-m-d; m is 1..12, d may run past the month.
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month; // 1..12
    unsigned day; // 1..31
};

// The date z days from 1970-01-01.
constexpr CivilDate CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, doy - (153 * mp + 2) / 5 + 1};
}

// 0 = Sunday; 1970-01-01 was a Thursday.
constexpr int DayOfWeekFromDays(std::int64_t z)
{
    const std::int64_t dow = (z + 4) % 7;
    return static_cast<int>(dow < 0 ? dow + 7 : dow);
}

} // namespace host
