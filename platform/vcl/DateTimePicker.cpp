#include "platform/vcl/DateTimePicker.h"

#include <algorithm>
#include <cmath>

#include "platform/vcl/Canvas.h"

namespace vcl {

namespace {

UnicodeString Digits(int value, int width)
{
    UnicodeString text(value);
    while (text.Length() < width)
        text = UnicodeString(u"0") + text;
    return text;
}

// The date part of a value (its fraction counts forward, also before 1899).
double DatePart(double value) { return std::floor(value); }

// The values the framework's dates can hold: 0001-01-01 to 9999-12-31 23:59:59.999.
constexpr double kFirstValue = -693593.0;
constexpr double kLastValue = 2958465.0 + 86399999.0 / 86400000.0;

} // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 186, 21);
    FDateTime = rtl::Now();
    SyncText();
}

void TDateTimePicker::SyncText()
{
    const UnicodeString shown = FormatValue(
        FFormat.IsEmpty() ? UnicodeString(FKind == dtkDate ? u"yyyy/MM/dd" : u"H:mm:ss") : FFormat, FDateTime);
    if (shown != Text())
        TWinControl::SetText(shown);
}

void TDateTimePicker::SetText(const UnicodeString&) { SyncText(); }

void TDateTimePicker::SetKind(TDateTimeKind kind)
{
    FKind = kind;
    SyncText();
    Invalidate();
}

void TDateTimePicker::SetFormat(const UnicodeString& format)
{
    FFormat = format;
    SyncText();
    Invalidate();
}

void TDateTimePicker::Store(rtl::TDateTime value)
{
    FDateTime = value;
    SyncText();
    Invalidate();
}

void TDateTimePicker::SetDateTime(rtl::TDateTime value)
{
    if (!(value.Val >= kFirstValue && value.Val <= kLastValue))
        throw EDateTimeError(u"Invalid date");
    if (FMaxDate.Val != 0 && value.Val > FMaxDate.Val)
        throw EDateTimeError(UnicodeString(u"Date exceeds maximum of ") + rtl::DateTimeToStr(FMaxDate));
    if (FMinDate.Val != 0 && value.Val < FMinDate.Val)
        throw EDateTimeError(UnicodeString(u"Date is less than minimum of ") + rtl::DateTimeToStr(FMinDate));
    Store(value);
}

rtl::TDateTime TDateTimePicker::Date() const { return DatePart(FDateTime.Val); }

void TDateTimePicker::SetDate(rtl::TDateTime value)
{
    SetDateTime(DatePart(value.Val) + (FDateTime.Val - DatePart(FDateTime.Val)));
}

rtl::TDateTime TDateTimePicker::Time() const { return FDateTime.Val - DatePart(FDateTime.Val); }

void TDateTimePicker::SetTime(rtl::TDateTime value)
{
    SetDateTime(DatePart(FDateTime.Val) + (value.Val - DatePart(value.Val)));
}

void TDateTimePicker::SetMinDate(rtl::TDateTime value)
{
    if (value.Val != 0 && FMaxDate.Val != 0 && value.Val > FMaxDate.Val)
        throw EDateTimeError(UnicodeString(u"Date exceeds maximum of ") + rtl::DateTimeToStr(FMaxDate));
    FMinDate = value;
    if (Clamp(FDateTime).Val != FDateTime.Val)
        Store(Clamp(FDateTime));
}

void TDateTimePicker::SetMaxDate(rtl::TDateTime value)
{
    if (value.Val != 0 && FMinDate.Val != 0 && value.Val < FMinDate.Val)
        throw EDateTimeError(UnicodeString(u"Date is less than minimum of ") + rtl::DateTimeToStr(FMinDate));
    FMaxDate = value;
    if (Clamp(FDateTime).Val != FDateTime.Val)
        Store(Clamp(FDateTime));
}

rtl::TDateTime TDateTimePicker::Clamp(rtl::TDateTime value) const
{
    double v = std::isnan(value.Val) ? FMinDate.Val : std::clamp(value.Val, kFirstValue, kLastValue);
    if (FMaxDate.Val != 0 && v > FMaxDate.Val)
        v = FMaxDate.Val;
    if (FMinDate.Val != 0 && v < FMinDate.Val)
        v = FMinDate.Val;
    return v;
}

void TDateTimePicker::UserSet(rtl::TDateTime value)
{
    const double now = FDateTime.Val;
    const double entered = FKind == dtkDate ? DatePart(value.Val) + (now - DatePart(now))
                                            : DatePart(now) + (value.Val - DatePart(value.Val));
    const rtl::TDateTime held = Clamp(entered);
    if (held.Val == FDateTime.Val)
        return;
    Store(held);
    if (OnChange)
        OnChange(this);
}

UnicodeString TDateTimePicker::FormatValue(const UnicodeString& format, rtl::TDateTime value)
{
    rtl::Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    rtl::DecodeDateTime(value, year, month, day, hour, minute, second, ms);
    UnicodeString out;
    const std::u16string_view f = format.view();
    std::size_t i = 0;
    while (i < f.size()) {
        const char16_t c = f[i];
        if (c == u'\'') {
            // A quoted literal; '' stands for one quote.
            ++i;
            if (i < f.size() && f[i] == u'\'') {
                out += u'\'';
                ++i;
                continue;
            }
            while (i < f.size()) {
                if (f[i] == u'\'') {
                    if (i + 1 < f.size() && f[i + 1] == u'\'') {
                        out += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += f[i++];
            }
            continue;
        }
        std::size_t run = 1;
        while (i + run < f.size() && f[i + run] == c)
            ++run;
        const int n = static_cast<int>(run);
        const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
        switch (c) {
        case u'y':
            out += n >= 3 ? Digits(year, 4) : n == 2 ? Digits(year % 100, 2) : UnicodeString(year % 100);
            break;
        case u'M': out += Digits(month, n >= 2 ? 2 : 1); break;
        case u'd': out += Digits(day, n >= 2 ? 2 : 1); break;
        case u'H': out += Digits(hour, n >= 2 ? 2 : 1); break;
        case u'h': out += Digits(hour12, n >= 2 ? 2 : 1); break;
        case u'm': out += Digits(minute, n >= 2 ? 2 : 1); break;
        case u's': out += Digits(second, n >= 2 ? 2 : 1); break;
        case u't': out += hour < 12 ? u"午前" : u"午後"; break;
        default:
            for (std::size_t k = 0; k < run; ++k)
                out += c;
            break;
        }
        i += run;
    }
    return out;
}

void TDateTimePicker::Paint(TCanvas& canvas)
{
    // A sunken white field with the text, and the kind's button at the right.
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Enabled() ? Color() : clBtnFace;
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    canvas.Brush.Color = clBtnShadow;
    canvas.FillRect(TRect(0, 0, Width(), 1));
    canvas.FillRect(TRect(0, 0, 1, Height()));
    canvas.Brush.Color = clWindowText;
    canvas.FillRect(TRect(1, 1, Width() - 1, 2));
    canvas.FillRect(TRect(1, 1, 2, Height() - 1));
    canvas.Brush.Color = clBtnHighlight;
    canvas.FillRect(TRect(0, Height() - 1, Width(), Height()));
    canvas.FillRect(TRect(Width() - 1, 0, Width(), Height()));

    const int buttonWidth = 17;
    const TRect button(Width() - 2 - buttonWidth, 2, Width() - 2, Height() - 2);
    canvas.Font = *Font();
    if (!Enabled())
        canvas.Font.SetColor(clGrayText);
    canvas.Brush.Color = Enabled() ? Color() : clBtnFace;
    const int th = canvas.TextHeight(Text());
    canvas.TextRect(TRect(2, 2, button.Left, Height() - 2), 4, (Height() - th) / 2, Text());

    canvas.Brush.Style = bsSolid;
    auto raised = [&](const TRect& r) {
        canvas.Brush.Color = clBtnFace;
        canvas.FillRect(r);
        canvas.Brush.Color = clBtnHighlight;
        canvas.FillRect(TRect(r.Left, r.Top, r.Right, r.Top + 1));
        canvas.FillRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom));
        canvas.Brush.Color = clBtnShadow;
        canvas.FillRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        canvas.FillRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom));
    };
    // A small triangle of rows, pointing down (or up).
    auto arrow = [&](int cx, int cy, bool down) {
        canvas.Brush.Color = Enabled() ? clWindowText : clGrayText;
        for (int row = 0; row < 4; ++row) {
            const int half = down ? 3 - row : row;
            canvas.FillRect(TRect(cx - half, cy + row, cx + half + 1, cy + row + 1));
        }
    };
    const int cx = (button.Left + button.Right) / 2;
    if (FKind == dtkDate) {
        raised(button);
        arrow(cx, (button.Top + button.Bottom) / 2 - 2, true);
    } else {
        const int middle = (button.Top + button.Bottom) / 2;
        raised(TRect(button.Left, button.Top, button.Right, middle));
        raised(TRect(button.Left, middle, button.Right, button.Bottom));
        arrow(cx, (button.Top + middle) / 2 - 2, false);
        arrow(cx, (middle + button.Bottom) / 2 - 1, true);
    }
}

} // namespace vcl
