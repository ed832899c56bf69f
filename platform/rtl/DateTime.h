// The framework's date-time value: days since 1899-12-30 00:00 as a double,
// the fraction being the time of day (for days before 1899-12-30 the
// fraction still counts forward: -1.25 is 1899-12-29 06:00).
#pragma once

#include "platform/rtl/UnicodeString.h"

#include <cstdint>

namespace rtl {

using Word = std::uint16_t;

class TDateTime {
public:
    TDateTime() = default;
    TDateTime(double value) : Val(value) {}
    // EncodeTime(hour, minute, second, ms).
    TDateTime(Word hour, Word minute, Word second, Word ms);
    operator double() const { return Val; }

    TDateTime& operator+=(double days)
    {
        Val += days;
        return *this;
    }
    TDateTime& operator-=(double days)
    {
        Val -= days;
        return *this;
    }

    // The framework's default texts: "yyyy/mm/dd", "h:nn:ss" and both joined,
    // time left out at midnight (the Japanese system settings).
    UnicodeString DateString() const;
    UnicodeString TimeString() const;
    UnicodeString DateTimeString() const;
    UnicodeString FormatString(const UnicodeString& format) const;

    double Val = 0;
};

inline constexpr double MSecsPerDay = 86400000.0;

// One division (h*3600000 + m*60000 + s*1000 + ms) / 86400000; raises
// EConvertError at hour >= 24, minute >= 60, second >= 60, ms >= 1000.
TDateTime EncodeTime(Word hour, Word minute, Word second, Word ms);
bool TryEncodeTime(Word hour, Word minute, Word second, Word ms, TDateTime& value);
// Proleptic Gregorian, years 1..9999; raises EConvertError otherwise.
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& value);
// The value is first rounded to whole milliseconds (ties to even).
void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime value, Word& hour, Word& minute, Word& second, Word& ms);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& minute, Word& second,
                    Word& ms);
bool IsLeapYear(Word year);
Word DaysInMonth(Word year, Word month);

// The local date-time of the layer's clock (host::CurrentClock()).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Patterns: yyyy yy mm m dd d (month after an hour is minutes) hh h nn n
// ss s zzz z, "/" and ":" (the separators "/" and ":"), 'text' and "text"
// literally, any other character as itself.
UnicodeString FormatDateTime(const UnicodeString& format, TDateTime value);
// FormatDateTime("yyyy/mm/dd", ...), ("h:nn:ss"), and both (time left out
// at midnight).
// Text -> date-time with the Japanese system settings: a date "y/m/d"
// (1 to 4 digit year, a two-digit year within 50 years of now; "m/d" takes
// the current year), a time "h:n", "h:n:s" or "h:n:s.z" (one or two digits
// each, optional "AM"/"PM"), or both separated by blanks; blanks around are
// ignored. Invalid fields (month 13, hour 24, minute 60...) fail. Failure
// raises EConvertError ("'%s' is not a valid date and time", "... date",
// "... time").
TDateTime StrToDateTime(const UnicodeString& text);
TDateTime StrToDate(const UnicodeString& text);
TDateTime StrToTime(const UnicodeString& text);
bool TryStrToDateTime(const UnicodeString& text, TDateTime& value);
bool TryStrToDate(const UnicodeString& text, TDateTime& value);
bool TryStrToTime(const UnicodeString& text, TDateTime& value);

UnicodeString DateToStr(TDateTime value);
UnicodeString TimeToStr(TDateTime value);
UnicodeString DateTimeToStr(TDateTime value);

} // namespace rtl
