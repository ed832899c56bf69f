#include "platform/vcl/DateTimePicker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/MouseInput.h"

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

// The letters that make fields.
bool IsFieldLetter(char16_t c)
{
    return c == u'y' || c == u'M' || c == u'd' || c == u'H' || c == u'h' || c == u'm' || c == u's' || c == u't';
}

// One run of a display format: a field letter and its count, or literal text.
struct Run {
    char16_t letter = 0;
    int count = 0;
    std::u16string literal;
};

std::vector<Run> ParseFormat(std::u16string_view f)
{
    std::vector<Run> runs;
    auto literal = [&](char16_t c) {
        if (runs.empty() || runs.back().letter != 0)
            runs.push_back(Run{});
        runs.back().literal += c;
    };
    std::size_t i = 0;
    while (i < f.size()) {
        const char16_t c = f[i];
        if (c == u'\'') {
            // A quoted literal; '' stands for one quote.
            ++i;
            if (i < f.size() && f[i] == u'\'') {
                literal(u'\'');
                ++i;
                continue;
            }
            while (i < f.size()) {
                if (f[i] == u'\'') {
                    if (i + 1 < f.size() && f[i + 1] == u'\'') {
                        literal(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal(f[i++]);
            }
            continue;
        }
        std::size_t run = 1;
        while (i + run < f.size() && f[i + run] == c)
            ++run;
        if (IsFieldLetter(c))
            runs.push_back(Run{c, static_cast<int>(run), {}});
        else
            for (std::size_t k = 0; k < run; ++k)
                literal(c);
        i += run;
    }
    return runs;
}

// A value in parts; the date is the whole days below it, the time of day
// what lies above them.
struct Parts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, ms = 0;
};

Parts Split(double value)
{
    Parts p;
    if (!std::isfinite(value))
        return p;
    const double date = std::floor(value);
    rtl::Word y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
    rtl::DecodeDate(date, y, m, d);
    rtl::DecodeTime(value - date, h, n, s, z);
    p.year = y;
    p.month = m;
    p.day = d;
    p.hour = h;
    p.minute = n;
    p.second = s;
    p.ms = z;
    return p;
}

bool Join(const Parts& p, double& value)
{
    rtl::TDateTime date, time;
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 || p.hour < 0 || p.hour > 23 ||
        p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59 || p.ms < 0 || p.ms > 999)
        return false;
    if (!rtl::TryEncodeDate(static_cast<rtl::Word>(p.year), static_cast<rtl::Word>(p.month),
                            static_cast<rtl::Word>(p.day), date) ||
        !rtl::TryEncodeTime(static_cast<rtl::Word>(p.hour), static_cast<rtl::Word>(p.minute),
                            static_cast<rtl::Word>(p.second), static_cast<rtl::Word>(p.ms), time))
        return false;
    value = date.Val + time.Val;
    return true;
}

int MonthLength(int year, int month)
{
    return rtl::DaysInMonth(static_cast<rtl::Word>(std::clamp(year, 1, 9999)),
                            static_cast<rtl::Word>(std::clamp(month, 1, 12)));
}

void ClampDay(Parts& p) { p.day = std::min(p.day, MonthLength(p.year, p.month)); }

UnicodeString FieldText(char16_t letter, int n, const Parts& p)
{
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    switch (letter) {
    case u'y':
        return n >= 3 ? Digits(p.year, 4) : n == 2 ? Digits(p.year % 100, 2) : UnicodeString(p.year % 100);
    case u'M':
        return Digits(p.month, n >= 2 ? 2 : 1);
    case u'd':
        return Digits(p.day, n >= 2 ? 2 : 1);
    case u'H':
        return Digits(p.hour, n >= 2 ? 2 : 1);
    case u'h':
        return Digits(hour12, n >= 2 ? 2 : 1);
    case u'm':
        return Digits(p.minute, n >= 2 ? 2 : 1);
    case u's':
        return Digits(p.second, n >= 2 ? 2 : 1);
    case u't':
        return p.hour < 12 ? u"午前" : u"午後";
    default:
        return UnicodeString();
    }
}

// The years a person can reach (the system control's own limits), and
// its first day.
constexpr int kFirstYear = 1752;
constexpr int kLastYear = 9999;
const double kFirstDay = rtl::EncodeDate(1752, 9, 14).Val;

// Home and End as steps.
constexpr int kToFirst = std::numeric_limits<int>::min();
constexpr int kToLast = std::numeric_limits<int>::max();

// One step within low..high, round from one end to the other; or an end.
int Wrap(int value, int delta, int low, int high)
{
    if (delta == kToFirst)
        return low;
    if (delta == kToLast)
        return high;
    const int next = value + delta;
    return next > high ? low : next < low ? high : next;
}

// Sunday 0 to Saturday 6, of a whole day (day 1 is Sunday 1899-12-31).
int WeekdayOf(int day) { return ((day % 7) + 7 + 6) % 7; }

// The field's largest value (the typed digits' bound).
int FieldTop(char16_t letter, const Parts& p)
{
    switch (letter) {
    case u'y':
        return kLastYear;
    case u'M':
        return 12;
    case u'd':
        return MonthLength(p.year, p.month);
    case u'H':
        return 23;
    case u'h':
        return 12;
    default:
        return 59;
    }
}

void RaisedBox(TCanvas& canvas, const TRect& r)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBtnFace;
    canvas.FillRect(r);
    canvas.Brush.Color = clBtnHighlight;
    canvas.FillRect(TRect(r.Left, r.Top, r.Right, r.Top + 1));
    canvas.FillRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom));
    canvas.Brush.Color = clBtnShadow;
    canvas.FillRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
    canvas.FillRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom));
}

// A small triangle of rows (or columns) pointing down, up, left or right.
void Arrow(TCanvas& canvas, int cx, int cy, char16_t way, TColor color)
{
    canvas.Brush.Color = color;
    for (int k = 0; k < 4; ++k) {
        const int half = way == u'd' || way == u'r' ? 3 - k : k;
        if (way == u'd' || way == u'u')
            canvas.FillRect(TRect(cx - half, cy + k, cx + half + 1, cy + k + 1));
        else
            canvas.FillRect(TRect(cx + k, cy - half, cx + k + 1, cy + half + 1));
    }
}

} // namespace

// The drop-down month calendar: a child of the picker's form, shown above
// the other controls while the picker is dropped down.
class TDateTimeDrop : public TGraphicControl {
public:
    explicit TDateTimeDrop(TDateTimePicker* picker) : TGraphicControl(picker), FPicker(picker) {}

    void Start(int day)
    {
        FCursor = day;
        ShowMonthOf(day);
        FPressed = -1;
    }
    int Month() const { return FMonth; }

    void Key(std::uint16_t key, TShiftState shift)
    {
        const bool alt = shift.Contains(ssAlt);
        switch (key) {
        case VK_ESCAPE:
            FPicker->CloseUp();
            return;
        case VK_RETURN:
        case VK_F4:
            Pick(FCursor);
            return;
        case VK_UP:
            if (alt)
                Pick(FCursor);
            else
                MoveCursor(FCursor - 7);
            return;
        case VK_DOWN:
            if (alt)
                Pick(FCursor);
            else
                MoveCursor(FCursor + 7);
            return;
        case VK_LEFT:
            MoveCursor(FCursor - 1);
            return;
        case VK_RIGHT:
            MoveCursor(FCursor + 1);
            return;
        case VK_PRIOR:
            MoveCursor(ByMonths(FCursor, -1));
            return;
        case VK_NEXT:
            MoveCursor(ByMonths(FCursor, 1));
            return;
        default:
            return;
        }
    }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        const auto life = LifeToken();
        TGraphicControl::MouseDown(Button, Shift, X, Y);
        if (!Alive(life) || Button != mbLeft)
            return;
        FPressed = -1;
        const TPoint p(X, Y);
        if (TCalendarLayout::PreviousButton().Contains(p)) {
            if (CanShow(ByMonths(FMonth, -1)))
                ShowMonthOf(ByMonths(FMonth, -1));
            return;
        }
        if (TCalendarLayout::NextButton().Contains(p)) {
            if (CanShow(ByMonths(FMonth, 1)))
                ShowMonthOf(ByMonths(FMonth, 1));
            return;
        }
        FPressed = CellAt(p);
    }

    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        const auto life = LifeToken();
        TGraphicControl::MouseUp(Button, Shift, X, Y);
        if (!Alive(life) || Button != mbLeft)
            return;
        const int pressed = FPressed;
        FPressed = -1;
        if (pressed >= 0 && CellAt(TPoint(X, Y)) == pressed && Pickable(DayOfCell(pressed)))
            Pick(DayOfCell(pressed));
    }

    void Paint(TCanvas& canvas) override
    {
        using L = TCalendarLayout;
        const bool pickerEnabled = FPicker->Enabled();
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clWindow;
        canvas.FillRect(TRect(0, 0, L::Width, L::Height));
        canvas.Brush.Color = clWindowText;
        canvas.FrameRect(TRect(0, 0, L::Width, L::Height));
        canvas.Brush.Color = clBtnFace;
        canvas.FillRect(TRect(L::Border, L::Border, L::Width - L::Border, L::Border + L::TitleHeight));

        canvas.Font = *FPicker->Font();
        const TRect prev = L::PreviousButton(), next = L::NextButton();
        RaisedBox(canvas, prev);
        RaisedBox(canvas, next);
        const bool canPrev = CanShow(ByMonths(FMonth, -1)), canNext = CanShow(ByMonths(FMonth, 1));
        Arrow(canvas, (prev.Left + prev.Right) / 2 - 2, (prev.Top + prev.Bottom) / 2, u'l',
              canPrev && pickerEnabled ? clWindowText : clGrayText);
        Arrow(canvas, (next.Left + next.Right) / 2 - 1, (next.Top + next.Bottom) / 2, u'r',
              canNext && pickerEnabled ? clWindowText : clGrayText);

        const Parts month = Split(FMonth);
        const UnicodeString title = UnicodeString(month.year) + u"年" + UnicodeString(month.month) + u"月";
        canvas.Brush.Style = bsClear;
        canvas.Font.SetColor(clWindowText);
        canvas.TextOut((L::Width - canvas.TextWidth(title)) / 2,
                       L::Border + (L::TitleHeight - canvas.TextHeight(title)) / 2, title);

        static const char16_t* const kWeekdays[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
        const int headerTop = L::Border + L::TitleHeight;
        for (int c = 0; c < 7; ++c) {
            const UnicodeString name(kWeekdays[c]);
            const int left = L::Border + c * L::CellWidth;
            canvas.TextOut(left + (L::CellWidth - canvas.TextWidth(name)) / 2,
                           headerTop + (L::HeaderHeight - canvas.TextHeight(name)) / 2, name);
        }
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clBtnShadow;
        canvas.FillRect(TRect(L::Border + 2, headerTop + L::HeaderHeight - 1, L::Width - L::Border - 2,
                              headerTop + L::HeaderHeight));

        for (int cell = 0; cell < 42; ++cell) {
            const int day = DayOfCell(cell);
            const TRect r = L::Cell(cell / 7, cell % 7);
            const UnicodeString text(Split(day).day);
            const bool marked = day == FCursor;
            if (marked) {
                canvas.Brush.Style = bsSolid;
                canvas.Brush.Color = clHighlight;
                canvas.FillRect(r);
            }
            const bool inMonth = Split(day).month == month.month;
            canvas.Font.SetColor(marked                                          ? clHighlightText
                                     : inMonth && Pickable(day) && pickerEnabled ? clWindowText
                                                                                 : clGrayText);
            canvas.Brush.Style = bsClear;
            canvas.TextOut(r.Left + (L::CellWidth - canvas.TextWidth(text)) / 2,
                           r.Top + (L::CellHeight - canvas.TextHeight(text)) / 2, text);
        }
        canvas.Brush.Style = bsSolid;
    }

private:
    // The same day of the month months away (the day clamped to its length).
    static int ByMonths(int day, int months)
    {
        Parts p = Split(day);
        const int index = p.year * 12 + (p.month - 1) + months;
        p.year = index / 12;
        p.month = index % 12 + 1;
        if (p.year < kFirstYear || p.year > kLastYear)
            return day;
        ClampDay(p);
        double v = day;
        Join(p, v);
        return static_cast<int>(v);
    }
    static int FirstOfMonth(int day)
    {
        Parts p = Split(day);
        p.day = 1;
        double v = day;
        Join(p, v);
        return static_cast<int>(v);
    }
    bool Pickable(int day) const
    {
        const double min = FPicker->MinDate().Val, max = FPicker->MaxDate().Val;
        return day >= kFirstDay && day <= std::floor(kLastValue) && (min == 0 || day >= std::floor(min)) &&
            (max == 0 || day <= std::floor(max));
    }
    // A month that holds a day that can be picked.
    bool CanShow(int dayInMonth) const
    {
        const int first = FirstOfMonth(dayInMonth);
        const Parts p = Split(first);
        const int last = first + MonthLength(p.year, p.month) - 1;
        const double min = FPicker->MinDate().Val, max = FPicker->MaxDate().Val;
        const double low = std::max(kFirstDay, min == 0 ? kFirstDay : std::floor(min));
        const double high = std::min(std::floor(kLastValue), max == 0 ? std::floor(kLastValue) : std::floor(max));
        return first != FMonth && first <= high && last >= low;
    }
    void ShowMonthOf(int day)
    {
        FMonth = FirstOfMonth(day);
        Invalidate();
    }
    void MoveCursor(int day)
    {
        if (!Pickable(day))
            return;
        FCursor = day;
        if (FirstOfMonth(day) != FMonth)
            ShowMonthOf(day);
        Invalidate();
    }
    int DayOfCell(int cell) const { return FMonth - WeekdayOf(FMonth) + cell; }
    static int CellAt(const TPoint& p)
    {
        using L = TCalendarLayout;
        for (int cell = 0; cell < 42; ++cell)
            if (L::Cell(cell / 7, cell % 7).Contains(p))
                return cell;
        return -1;
    }
    void Pick(int day)
    {
        TDateTimePicker* picker = FPicker;
        picker->CloseUp();
        const double now = picker->DateTime().Val;
        picker->UserStore(day + (now - std::floor(now)));
    }

    TDateTimePicker* FPicker;
    int FMonth = 0; // its first day
    int FCursor = 0; // the marked day
    int FPressed = -1;
};

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 186, 21);
    FDateTime = rtl::Now();
    SyncText();
}

TDateTimePicker::~TDateTimePicker()
{
    if (FDrop && MouseInput::Popup() == FDrop)
        MouseInput::SetPopup(nullptr, nullptr);
    delete FDrop;
}

UnicodeString TDateTimePicker::ShownFormat() const
{
    return FFormat.IsEmpty() ? UnicodeString(FKind == dtkDate ? u"yyyy/MM/dd" : u"H:mm:ss") : FFormat;
}

void TDateTimePicker::SyncText()
{
    const UnicodeString shown = FormatValue(ShownFormat(), FDateTime);
    if (shown != Text())
        TWinControl::SetText(shown);
}

void TDateTimePicker::SetText(const UnicodeString&) { SyncText(); }

void TDateTimePicker::SetKind(TDateTimeKind kind)
{
    if (kind != dtkDate)
        CloseUp();
    FKind = kind;
    FTyped.clear();
    FField = std::clamp(FField, 0, std::max(0, FieldCount() - 1));
    SyncText();
    Invalidate();
}

void TDateTimePicker::SetFormat(const UnicodeString& format)
{
    FFormat = format;
    FTyped.clear();
    FField = std::clamp(FField, 0, std::max(0, FieldCount() - 1));
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
    // The program's value replaces what a person was typing.
    FTyped.clear();
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
    FTyped.clear();
    UserStore(entered);
}

void TDateTimePicker::UserStore(rtl::TDateTime value)
{
    const rtl::TDateTime held = Clamp(value);
    if (held.Val == FDateTime.Val)
        return;
    Store(held);
    if (OnChange)
        OnChange(this);
}

// --- a person's input --------------------------------------------------------

std::vector<TDateTimePicker::Piece> TDateTimePicker::Pieces() const
{
    const Parts parts = Split(FDateTime.Val);
    std::vector<Piece> pieces;
    int field = 0;
    int x = 4;
    for (const Run& run : ParseFormat(ShownFormat().view())) {
        Piece piece;
        piece.letter = run.letter;
        piece.run = run.count;
        if (run.letter == 0) {
            piece.text = UnicodeString(run.literal);
        } else {
            piece.text =
                field == FField && !FTyped.empty() ? UnicodeString(FTyped) : FieldText(run.letter, run.count, parts);
            ++field;
        }
        piece.left = x;
        x += TCanvas::TextWidthOf(*Font(), piece.text);
        piece.right = x;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

int TDateTimePicker::PieceOfField(const std::vector<Piece>& pieces, int index)
{
    int field = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].letter != 0 && field++ == index)
            return static_cast<int>(i);
    return -1;
}

int TDateTimePicker::FieldCount() const
{
    int count = 0;
    for (const Run& run : ParseFormat(ShownFormat().view()))
        count += run.letter != 0 ? 1 : 0;
    return count;
}

TRect TDateTimePicker::FieldRect(int index) const
{
    const std::vector<Piece> pieces = Pieces();
    const int i = PieceOfField(pieces, index);
    if (i < 0)
        return TRect();
    const Piece& p = pieces[static_cast<std::size_t>(i)];
    return TRect(p.left, 2, p.right, Height() - 2);
}

TRect TDateTimePicker::ButtonRect() const { return TRect(Width() - 2 - 17, 2, Width() - 2, Height() - 2); }

void TDateTimePicker::SelectField(int index)
{
    const int count = FieldCount();
    if (count == 0)
        return;
    const auto life = LifeToken();
    EnterTyped();
    if (!Alive(life))
        return;
    FField = std::clamp(index, 0, count - 1);
    Invalidate();
}

void TDateTimePicker::StepField(int delta)
{
    const std::vector<Piece> pieces = Pieces();
    const int i = PieceOfField(pieces, FField);
    if (i < 0)
        return;
    const char16_t letter = pieces[static_cast<std::size_t>(i)].letter;
    Parts p = Split(FDateTime.Val);
    switch (letter) {
    case u'y':
        p.year = delta == kToFirst ? kFirstYear
            : delta == kToLast     ? kLastYear
                                   : std::clamp(p.year + delta, kFirstYear, kLastYear);
        ClampDay(p);
        break;
    case u'M':
        p.month = Wrap(p.month, delta, 1, 12);
        ClampDay(p);
        break;
    case u'd':
        p.day = Wrap(p.day, delta, 1, MonthLength(p.year, p.month));
        break;
    case u'H':
    case u'h':
        p.hour = Wrap(p.hour, delta, 0, 23);
        break;
    case u'm':
        p.minute = Wrap(p.minute, delta, 0, 59);
        break;
    case u's':
        p.second = Wrap(p.second, delta, 0, 59);
        break;
    case u't':
        p.hour = delta == kToFirst ? p.hour % 12 : delta == kToLast ? p.hour % 12 + 12 : (p.hour + 12) % 24;
        break;
    default:
        return;
    }
    double value = FDateTime.Val;
    if (!Join(p, value))
        return;
    UserStore(std::max(value, kFirstDay));
}

void TDateTimePicker::TypeDigit(char16_t digit)
{
    const std::vector<Piece> pieces = Pieces();
    const int i = PieceOfField(pieces, FField);
    if (i < 0)
        return;
    const Piece& piece = pieces[static_cast<std::size_t>(i)];
    if (piece.letter == u't')
        return;
    FTyped += digit;
    const std::size_t most = piece.letter == u'y' && piece.run >= 3 ? 4 : 2;
    const int typed = std::stoi(std::string(FTyped.begin(), FTyped.end()));
    // Full, or no further digit could make a value of the field.
    const bool full =
        FTyped.size() >= most || (piece.letter != u'y' && typed * 10 > FieldTop(piece.letter, Split(FDateTime.Val)));
    if (full)
        EnterTyped();
    else
        Invalidate();
}

void TDateTimePicker::EnterTyped()
{
    if (FTyped.empty())
        return;
    std::u16string typed;
    typed.swap(FTyped);
    Invalidate();
    const std::vector<Piece> pieces = Pieces();
    const int i = PieceOfField(pieces, FField);
    if (i < 0 || typed.size() > 4)
        return;
    const Piece& piece = pieces[static_cast<std::size_t>(i)];
    const int v = std::stoi(std::string(typed.begin(), typed.end()));
    Parts p = Split(FDateTime.Val);
    switch (piece.letter) {
    case u'y': {
        int year = v;
        if (piece.run < 3) {
            // Two digits (or one) replace the last ones of the year shown.
            int scale = 1;
            for (std::size_t k = 0; k < typed.size(); ++k)
                scale *= 10;
            year = p.year - p.year % scale + v;
        }
        if (year < kFirstYear || year > kLastYear)
            return;
        p.year = year;
        ClampDay(p);
        break;
    }
    case u'M':
        if (v < 1 || v > 12)
            return;
        p.month = v;
        ClampDay(p);
        break;
    case u'd':
        if (v < 1 || v > MonthLength(p.year, p.month))
            return;
        p.day = v;
        break;
    case u'H':
        if (v > 23)
            return;
        p.hour = v;
        break;
    case u'h':
        if (v < 1 || v > 12)
            return;
        p.hour = v % 12 + (p.hour >= 12 ? 12 : 0);
        break;
    case u'm':
    case u's':
        if (v > 59)
            return;
        (piece.letter == u'm' ? p.minute : p.second) = v;
        break;
    default:
        return;
    }
    double value = 0;
    // What the range cannot hold is refused, not moved to its end.
    if (!Join(p, value) || value < kFirstDay || Clamp(value).Val != value)
        return;
    UserStore(value);
}

void TDateTimePicker::KeyDownDefault(std::uint16_t& Key, TShiftState Shift)
{
    if (DroppedDown()) {
        const std::uint16_t key = Key;
        Key = 0;
        FDrop->Key(key, Shift);
        return;
    }
    const int count = FieldCount();
    const bool alt = Shift.Contains(ssAlt);
    switch (Key) {
    case VK_LEFT:
        if (count > 0)
            SelectField((FField + count - 1) % count);
        break;
    case VK_RIGHT:
        if (count > 0)
            SelectField((FField + 1) % count);
        break;
    case VK_UP:
    case VK_DOWN:
        if (alt) {
            if (FKind == dtkDate && Key == VK_DOWN)
                DropDown();
            break;
        }
        FTyped.clear();
        StepField(Key == VK_UP ? 1 : -1);
        break;
    case VK_HOME:
    case VK_END:
        FTyped.clear();
        StepField(Key == VK_HOME ? kToFirst : kToLast);
        break;
    case VK_F4:
        if (FKind != dtkDate)
            return;
        DropDown();
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_TAB:
        // The digits typed enter before the key goes on (a default button).
        EnterTyped();
        return;
    default:
        return;
    }
    Invalidate();
    Key = 0;
}

void TDateTimePicker::KeyPressDefault(char16_t& Key)
{
    if (DroppedDown()) {
        Key = 0;
        return;
    }
    if (Key >= u'0' && Key <= u'9') {
        TypeDigit(Key);
        Key = 0;
    }
    // Anything else types nothing.
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const auto life = LifeToken();
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (!Alive(life) || Button != mbLeft)
        return;
    const TRect button = ButtonRect();
    if (button.Contains(TPoint(X, Y))) {
        if (FKind == dtkDate) {
            DropDown();
        } else {
            FTyped.clear();
            StepField(Y < (button.Top + button.Bottom) / 2 ? 1 : -1);
        }
        return;
    }
    // The field under the pointer, else the nearest one.
    const std::vector<Piece> pieces = Pieces();
    int best = -1, bestDistance = 0, field = 0;
    for (const Piece& p : pieces) {
        if (p.letter == 0)
            continue;
        const int distance = X < p.left ? p.left - X : X >= p.right ? X - p.right + 1 : 0;
        if (best < 0 || distance < bestDistance) {
            best = field;
            bestDistance = distance;
        }
        ++field;
    }
    // A click enters what was typed, even on the same field: typing starts afresh.
    if (best >= 0)
        SelectField(best);
}

void TDateTimePicker::DoEnter()
{
    Invalidate();
    TWinControl::DoEnter();
}

void TDateTimePicker::DoExit()
{
    const auto life = LifeToken();
    CloseUp();
    EnterTyped();
    if (!Alive(life))
        return;
    Invalidate();
    TWinControl::DoExit();
}

void TDateTimePicker::ShowingChanged()
{
    TWinControl::ShowingChanged();
    if (!Showing()) {
        CloseUp();
        FTyped.clear();
    }
}

void TDateTimePicker::EnabledChanged()
{
    TWinControl::EnabledChanged();
    if (!Enabled()) {
        CloseUp();
        FTyped.clear();
    }
    Invalidate();
}

// --- the drop-down calendar ----------------------------------------------------

bool TDateTimePicker::DroppedDown() const { return FDrop && FDrop->Parent() && FDrop->Visible(); }

void TDateTimePicker::DropDown()
{
    if (FKind != dtkDate || DroppedDown() || !AcceptsInput())
        return;
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return;
    const auto life = LifeToken();
    EnterTyped();
    if (!Alive(life))
        return;
    if (!FDrop)
        FDrop = new TDateTimeDrop(this);
    FDrop->Start(static_cast<int>(DatePart(FDateTime.Val)));
    // Below the picker; above it, or kept inside the form, where there is no room.
    using L = TCalendarLayout;
    const TPoint top = form->ScreenToClient(ClientToScreen(TPoint(0, 0)));
    int x = top.X, y = top.Y + Height();
    if (y + L::Height > form->ClientHeight())
        y = top.Y - L::Height >= 0 ? top.Y - L::Height : std::max(0, form->ClientHeight() - L::Height);
    if (x + L::Width > form->ClientWidth())
        x = std::max(0, form->ClientWidth() - L::Width);
    FDrop->SetVisible(false);
    FDrop->SetParent(form);
    FDrop->SetBounds(x, y, L::Width, L::Height);
    FDrop->BringToFront();
    FDrop->SetVisible(true);
    MouseInput::SetPopup(FDrop, [this] { CloseUp(); });
    Invalidate();
}

void TDateTimePicker::CloseUp()
{
    if (!DroppedDown())
        return;
    if (MouseInput::Popup() == FDrop)
        MouseInput::SetPopup(nullptr, nullptr);
    FDrop->SetVisible(false);
    FDrop->SetParent(nullptr);
    Invalidate();
}

TRect TDateTimePicker::CalendarBounds() const { return DroppedDown() ? FDrop->BoundsRect() : TRect(); }

rtl::TDateTime TDateTimePicker::CalendarMonth() const { return DroppedDown() ? FDrop->Month() : 0; }

UnicodeString TDateTimePicker::FormatValue(const UnicodeString& format, rtl::TDateTime value)
{
    const Parts parts = Split(value.Val);
    UnicodeString out;
    for (const Run& run : ParseFormat(format.view()))
        out += run.letter == 0 ? UnicodeString(run.literal) : FieldText(run.letter, run.count, parts);
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

    const TRect button = ButtonRect();
    canvas.Font = *Font();
    const TColor textColor = Enabled() ? Font()->Color() : clGrayText;
    const TRect area(2, 2, button.Left, Height() - 2);
    const int th = canvas.TextHeight(Text());
    const bool focused = Focused() && Enabled();
    int field = 0;
    for (const Piece& p : Pieces()) {
        const bool selected = p.letter != 0 && field == FField && focused;
        if (p.letter != 0)
            ++field;
        const TRect r = TRect(p.left, 2, p.right, Height() - 2).Intersect(area);
        if (r.Empty())
            continue;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = selected ? clHighlight : Enabled() ? Color() : clBtnFace;
        canvas.Font.SetColor(selected ? clHighlightText : textColor);
        canvas.TextRect(r, p.left, (Height() - th) / 2, p.text);
    }

    canvas.Brush.Style = bsSolid;
    const TColor arrow = Enabled() ? clWindowText : clGrayText;
    const int cx = (button.Left + button.Right) / 2;
    if (FKind == dtkDate) {
        RaisedBox(canvas, button);
        Arrow(canvas, cx, (button.Top + button.Bottom) / 2 - 2, u'd', arrow);
    } else {
        const int middle = (button.Top + button.Bottom) / 2;
        RaisedBox(canvas, TRect(button.Left, button.Top, button.Right, middle));
        RaisedBox(canvas, TRect(button.Left, middle, button.Right, button.Bottom));
        Arrow(canvas, cx, (button.Top + middle) / 2 - 2, u'u', arrow);
        Arrow(canvas, cx, (middle + button.Bottom) / 2 - 1, u'd', arrow);
    }
}

} // namespace vcl
