// The date-time functions on the layer's clock, apart from DateTime.cpp so
// that code which only encodes and formats dates needs no clock.
#include "platform/rtl/DateTime.h"

#include "platform/host/Clock.h"

#include <cmath>

namespace rtl {

TDateTime Now()
{
    host::ClockDateTime t = host::CurrentClock().Now();
    TDateTime date, time;
    if (!TryEncodeDate(static_cast<Word>(t.year), static_cast<Word>(t.month), static_cast<Word>(t.day), date) ||
        !TryEncodeTime(static_cast<Word>(t.hour), static_cast<Word>(t.minute), static_cast<Word>(t.second),
                       static_cast<Word>(t.millisecond), time))
        return TDateTime();
    return date.Val + time.Val;
}

TDateTime Date() { return std::floor(Now().Val); }

TDateTime Time()
{
    double v = Now().Val;
    return v - std::floor(v);
}

} // namespace rtl
