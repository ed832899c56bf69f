#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exception.h"
#include "platform/host/CivilDate.h"

#include <cmath>
#include <string>

namespace rtl {
namespace {

constexpr long long kDelphiEpoch = host::DaysFromCivil(1899, 12, 30);

struct Parts {
    long long year;
    unsigned month, day;
    unsigned hour, minute, second, ms;
    int dayOfWeek; // 0 = Sunday
};

// Rounds to whole milliseconds first; the date is the whole part toward zero,
// the time the fraction's magnitude (the framework's reading of negative
// values).
bool Split(double value, Parts& p)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return false;
    long long total = static_cast<long long>(std::nearbyint(value * MSecsPerDay));
    long long days = total / 86400000;
    long long time = total % 86400000;
    if (time < 0)
        time = -time;
    const host::CivilDate date = host::CivilFromDays(days + kDelphiEpoch);
    p.year = date.year;
    p.month = date.month;
    p.day = date.day;
    p.hour = static_cast<unsigned>(time / 3600000);
    p.minute = static_cast<unsigned>(time / 60000 % 60);
    p.second = static_cast<unsigned>(time / 1000 % 60);
    p.ms = static_cast<unsigned>(time % 1000);
    p.dayOfWeek = host::DayOfWeekFromDays(days + kDelphiEpoch);
    return true;
}

std::u16string Padded(long long v, int width)
{
    std::string s = std::to_string(v < 0 ? -v : v);
    while (static_cast<int>(s.size()) < width)
        s.insert(s.begin(), '0');
    if (v < 0)
        s.insert(s.begin(), '-');
    return std::u16string(s.begin(), s.end());
}

} // namespace

TDateTime::TDateTime(Word hour, Word minute, Word second, Word ms) : Val(EncodeTime(hour, minute, second, ms)) {}

UnicodeString TDateTime::DateString() const { return DateToStr(*this); }
UnicodeString TDateTime::TimeString() const { return TimeToStr(*this); }
UnicodeString TDateTime::DateTimeString() const { return DateTimeToStr(*this); }
UnicodeString TDateTime::FormatString(const UnicodeString& format) const { return FormatDateTime(format, *this); }

bool TryEncodeTime(Word hour, Word minute, Word second, Word ms, TDateTime& value)
{
    if (hour >= 24 || minute >= 60 || second >= 60 || ms >= 1000)
        return false;
    value = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(Word hour, Word minute, Word second, Word ms)
{
    TDateTime v;
    if (!TryEncodeTime(hour, minute, second, ms, v))
        throw EConvertError(u"Invalid argument to time encode");
    return v;
}

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInMonth(Word year, Word month)
{
    static const Word kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(host::DaysFromCivil(year, month, day) - kDelphiEpoch);
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day)
{
    TDateTime v;
    if (!TryEncodeDate(year, month, day, v))
        throw EConvertError(u"Invalid argument to date encode");
    return v;
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& minute, Word& second,
                    Word& ms)
{
    Parts p{};
    if (!Split(value, p) || p.year < 1 || p.year > 9999) {
        year = month = day = hour = minute = second = ms = 0;
        return;
    }
    year = static_cast<Word>(p.year);
    month = static_cast<Word>(p.month);
    day = static_cast<Word>(p.day);
    hour = static_cast<Word>(p.hour);
    minute = static_cast<Word>(p.minute);
    second = static_cast<Word>(p.second);
    ms = static_cast<Word>(p.ms);
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day)
{
    Word h, n, s, z;
    DecodeDateTime(value, year, month, day, h, n, s, z);
}

void DecodeTime(TDateTime value, Word& hour, Word& minute, Word& second, Word& ms)
{
    Word y, m, d;
    DecodeDateTime(value, y, m, d, hour, minute, second, ms);
}

UnicodeString FormatDateTime(const UnicodeString& format, TDateTime value)
{
    Parts p{};
    if (!Split(value, p))
        p = Parts{1899, 12, 30, 0, 0, 0, 0, 6};
    std::u16string_view f = format.view();
    std::u16string out;
    bool afterHour = false;
    std::size_t i = 0;
    while (i < f.size()) {
        char16_t c = f[i];
        char16_t lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
        if (c == u'\'' || c == u'"') {
            std::size_t end = f.find(c, i + 1);
            if (end == std::u16string_view::npos)
                end = f.size();
            out.append(f.substr(i + 1, end - i - 1));
            i = end < f.size() ? end + 1 : end;
            continue;
        }
        std::size_t run = 1;
        while (i + run < f.size() &&
               (f[i + run] == c || f[i + run] == static_cast<char16_t>(lower - 32) || f[i + run] == lower))
            ++run;
        switch (lower) {
        case u'y':
            out += run <= 2 ? Padded(p.year % 100, 2) : Padded(p.year, 4);
            break;
        case u'm':
            if (afterHour)
                out += Padded(p.minute, run >= 2 ? 2 : 1);
            else
                out += Padded(p.month, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case u'd':
            out += Padded(p.day, run >= 2 ? 2 : 1);
            break;
        case u'h':
            out += Padded(p.hour, run >= 2 ? 2 : 1);
            afterHour = true;
            i += run;
            continue;
        case u'n':
            out += Padded(p.minute, run >= 2 ? 2 : 1);
            break;
        case u's':
            out += Padded(p.second, run >= 2 ? 2 : 1);
            break;
        case u'z':
            out += Padded(p.ms, run >= 3 ? 3 : 1);
            break;
        default:
            out.append(f.substr(i, run));
            // Separators and blanks between an hour and "m" keep it a minute.
            i += run;
            continue;
        }
        if (lower != u'm')
            afterHour = false;
        i += run;
    }
    return UnicodeString(std::move(out));
}

UnicodeString DateToStr(TDateTime value) { return FormatDateTime(u"yyyy/mm/dd", value); }
UnicodeString TimeToStr(TDateTime value) { return FormatDateTime(u"h:nn:ss", value); }
UnicodeString DateTimeToStr(TDateTime value)
{
    Parts p{};
    if (Split(value, p) && p.hour == 0 && p.minute == 0 && p.second == 0 && p.ms == 0)
        return DateToStr(value);
    return DateToStr(value) + u" " + TimeToStr(value);
}

} // namespace rtl
