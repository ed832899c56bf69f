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
//
// A person's input, as the system control takes it: the letters of the
// format are its fields (year, month, day, hour, minute, second, 午前/午後).
// One field is selected (the first at the start), drawn highlighted while
// the picker has the focus: a click selects the field under the pointer,
// Left/Right the previous/next one (wrapping round). Up/Down step the
// selected field by one, wrapping within it (month 12 -> 1, day within its
// month, hour 23 -> 0) except the year; Home/End take its first/last value;
// the spin arrows of the time kind step it as Up/Down. Digits type into it:
// they collect until the field is full (four for a four-letter year, else
// two, or fewer when no further digit could make a value of the field) and
// then enter at once; a field left with digits collected (another field,
// the focus elsewhere, Enter or Escape) enters them then. A typed value the
// field cannot hold (month 13, day 31 of a 30-day month, a year outside the
// range) is refused; any other character types nothing. A change of month
// or year clamps the day to the month's length (31 January, month 2: 28 or
// 29 February), so an impossible date never comes out; a step beyond the
// range stops at its end.
//
// The date kind drops its month calendar down below itself inside its form
// (above, or kept inside the form where there is no room below) on a press
// of its button, Alt+Down or F4: the previous/next month buttons (within the
// range), a click on a day (greyed days of the next and previous months too)
// picks it and closes; keys: arrows move the marked day by a day or a week,
// PageUp/PageDown by a month, Enter (Alt+Up, Alt+Down, F4) picks it, Escape
// closes without a change, and so does a press anywhere outside it (which
// goes no further).
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/vcl/WinControl.h"

namespace vcl {

class EDateTimeError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

enum TDateTimeKind { dtkDate, dtkTime };

class TDateTimeDrop;

// Where things are in the drop-down calendar, in pixels from its top left.
struct TCalendarLayout {
    static constexpr int Border = 1;
    static constexpr int TitleHeight = 20;
    static constexpr int HeaderHeight = 16;
    static constexpr int CellWidth = 24;
    static constexpr int CellHeight = 16;
    static constexpr int Width = 2 * Border + 7 * CellWidth;
    static constexpr int Height = 2 * Border + TitleHeight + HeaderHeight + 6 * CellHeight;
    // The day cells: six weeks from Sunday (column 0) to Saturday; the
    // month's first day sits in row 0 at the column of its weekday.
    static TRect Cell(int row, int column)
    {
        const int left = Border + column * CellWidth, top = Border + TitleHeight + HeaderHeight + row * CellHeight;
        return TRect(left, top, left + CellWidth, top + CellHeight);
    }
    static TRect PreviousButton() { return TRect(Border + 3, Border + 2, Border + 23, Border + TitleHeight - 2); }
    static TRect NextButton()
    {
        return TRect(Width - Border - 23, Border + 2, Width - Border - 3, Border + TitleHeight - 2);
    }
};

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

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

    // The fields of the format and the selected one (0 to FieldCount - 1).
    int FieldCount() const;
    int SelectedField() const { return FField; }
    // Where field index lies in the control (client coordinates): the part
    // of the text a click selects it by.
    TRect FieldRect(int index) const;
    // The button (date kind) or the pair of spin arrows (time kind).
    TRect ButtonRect() const;

    // The drop-down calendar (date kind).
    bool DroppedDown() const;
    void DropDown();
    void CloseUp();
    // The calendar's box in the client coordinates of the picker's form,
    // and the month it shows (its first day); empty / 0 when closed.
    TRect CalendarBounds() const;
    rtl::TDateTime CalendarMonth() const;

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;

    // The value through a display format (the letters above).
    static UnicodeString FormatValue(const UnicodeString& format, rtl::TDateTime value);

protected:
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPressDefault(char16_t& Key) override;
    void ShowingChanged() override;
    void EnabledChanged() override;

private:
    friend class TDateTimeDrop;
    // One run of the format: a field (letter, its count) or literal text.
    struct Piece {
        char16_t letter = 0; // 0: literal
        int run = 0;
        UnicodeString text;
        int left = 0, right = 0; // where it is drawn
    };
    UnicodeString ShownFormat() const;
    std::vector<Piece> Pieces() const;
    // The index in Pieces() of field index (-1: none).
    static int PieceOfField(const std::vector<Piece>& pieces, int index);
    void SelectField(int index);
    void StepField(int delta);
    void TypeDigit(char16_t digit);
    // Enters the digits collected in the selected field, if any.
    void EnterTyped();
    // A person's new value: held inside the limits, OnChange on a change.
    void UserStore(rtl::TDateTime value);
    void Store(rtl::TDateTime value);
    void SyncText();

    TDateTimeKind FKind = dtkDate;
    UnicodeString FFormat;
    rtl::TDateTime FDateTime;
    rtl::TDateTime FMinDate;
    rtl::TDateTime FMaxDate;
    int FField = 0;
    std::u16string FTyped; // digits collected in the selected field
    TDateTimeDrop* FDrop = nullptr; // made on first drop-down, owned
};

} // namespace vcl
