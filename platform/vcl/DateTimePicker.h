// A date-time picker: one date-time value shown through a display format,
// as a date (with a drop-down calendar button) or as a time (with up-down
// arrows).
//
// The value keeps both parts whatever the kind: Date/SetDate work on the
// date part and keep the time of day, Time/SetTime the reverse. MinDate and
// MaxDate (0: no limit) bound the whole value; the program setting a value
// outside them (or outside the years 1 to 9999) raises EDateTimeError, while what a person enters (UserSet,
// the test driver's SetDateTime) is held inside them, as the system control
// does. OnChange follows a change by the person only, never the program's
// own setting.
//
// Text (and Caption) is the value shown through Format, in the system
// control's pattern letters: yyyy (yyy) four-digit year, yy two digits, y
// one or two; MM, M month (MMM and longer as MM); dd, d day; HH, H hours of
// 24, hh, h hours of 12; mm, m minutes; ss, s seconds; tt, t "午前"/"午後";
// 'text' literally ('' a quote); any other character as itself. An empty
// Format shows "yyyy/MM/dd" for a date and "H:mm:ss" for a time.
#pragma once

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/vcl/WinControl.h"

namespace vcl {

class EDateTimeError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

enum TDateTimeKind { dtkDate, dtkTime };

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);

    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind kind);
    const UnicodeString& Format() const { return FFormat; }
    void SetFormat(const UnicodeString& format);

    rtl::TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(rtl::TDateTime value);
    // The date part (time of day 0) / the time of day (date part 0).
    rtl::TDateTime Date() const;
    void SetDate(rtl::TDateTime value);
    rtl::TDateTime Time() const;
    void SetTime(rtl::TDateTime value);

    // 0 means no limit. A minimum above the maximum (both set) raises
    // EDateTimeError; a value outside a new limit is moved to it.
    rtl::TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(rtl::TDateTime value);
    rtl::TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(rtl::TDateTime value);
    // The value held inside the limits.
    rtl::TDateTime Clamp(rtl::TDateTime value) const;

    // What a person's entry does: the kind's part of value replaces that
    // part of the current value (a date picker keeps its time of day, a time
    // picker its date), held inside the limits; OnChange on a real change.
    void UserSet(rtl::TDateTime value);

    // The text follows the value; setting it has no effect of its own.
    void SetText(const UnicodeString& text) override;

    TNotifyEvent OnChange;

    void Paint(TCanvas& canvas) override;

    // The value through a display format (the letters above).
    static UnicodeString FormatValue(const UnicodeString& format, rtl::TDateTime value);

private:
    void Store(rtl::TDateTime value);
    void SyncText();

    TDateTimeKind FKind = dtkDate;
    UnicodeString FFormat;
    rtl::TDateTime FDateTime;
    rtl::TDateTime FMinDate;
    rtl::TDateTime FMaxDate;
};

} // namespace vcl
