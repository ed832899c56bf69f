// Text -> date-time (StrToDateTime and its relatives).
#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exception.h"

#include <string_view>

namespace rtl {

namespace {

// A cursor over the text for the date and time scanners.
struct Scanner {
    std::u16string_view t;
    std::size_t i = 0;

    void Blanks()
    {
        while (i < t.size() && t[i] == u' ')
            ++i;
    }
    bool AtEnd() const { return i >= t.size(); }
    bool Char(char16_t c)
    {
        if (i < t.size() && t[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    // 1 to maxDigits digits; digits gets how many.
    bool Number(int maxDigits, int& value, int& digits)
    {
        value = 0;
        digits = 0;
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9' && digits < maxDigits) {
            value = value * 10 + (t[i] - u'0');
            ++i;
            ++digits;
        }
        return digits > 0 && !(i < t.size() && t[i] >= u'0' && t[i] <= u'9');
    }
};

// "2026/03/04", "26/3/4", "3/4".
bool ScanDate(Scanner& s, TDateTime& date)
{
    std::size_t start = s.i;
    int n[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
    int count = 0;
    for (; count < 3; ++count) {
        if (count > 0 && !s.Char(u'/'))
            break;
        if (!s.Number(4, n[count], digits[count])) {
            s.i = start;
            return false;
        }
    }
    if (count < 2) {
        s.i = start;
        return false;
    }
    Word nowYear, nowMonth, nowDay;
    DecodeDate(Now(), nowYear, nowMonth, nowDay);
    int year, month, day;
    if (count == 3) {
        year = n[0], month = n[1], day = n[2];
        if (digits[0] <= 2) {
            // The century that puts the year within 50 years of now.
            int century = nowYear - nowYear % 100;
            year += century;
            if (year < nowYear - 50)
                year += 100;
            else if (year > nowYear + 49)
                year -= 100;
        }
    } else {
        year = nowYear, month = n[0], day = n[1];
    }
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    return TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), date);
}

// "5:06", "05:06:07", "5:06:07.089", "5:06 PM".
bool ScanTime(Scanner& s, TDateTime& time)
{
    std::size_t start = s.i;
    int h = 0, m = 0, sec = 0, ms = 0, digits = 0;
    if (!s.Number(2, h, digits) || !s.Char(u':') || !s.Number(2, m, digits)) {
        s.i = start;
        return false;
    }
    if (s.Char(u':')) {
        if (!s.Number(2, sec, digits))
            return false;
        if (s.Char(u'.')) {
            if (!s.Number(3, ms, digits))
                return false;
        }
    }
    s.Blanks();
    auto word = [&](std::u16string_view w) {
        if (s.t.size() - s.i < w.size())
            return false;
        for (std::size_t k = 0; k < w.size(); ++k) {
            char16_t c = s.t[s.i + k];
            if (c >= u'a' && c <= u'z')
                c = static_cast<char16_t>(c - 32);
            if (c != w[k])
                return false;
        }
        s.i += w.size();
        return true;
    };
    if (word(u"AM")) {
        if (h < 1 || h > 12)
            return false;
        if (h == 12)
            h = 0;
    } else if (word(u"PM")) {
        if (h < 1 || h > 12)
            return false;
        if (h != 12)
            h += 12;
    }
    return TryEncodeTime(static_cast<Word>(h), static_cast<Word>(m), static_cast<Word>(sec), static_cast<Word>(ms),
                         time);
}

} // namespace

bool TryStrToDate(const UnicodeString& text, TDateTime& value)
{
    Scanner s{text.view()};
    s.Blanks();
    TDateTime d;
    if (!ScanDate(s, d))
        return false;
    s.Blanks();
    if (!s.AtEnd())
        return false;
    value = d;
    return true;
}

bool TryStrToTime(const UnicodeString& text, TDateTime& value)
{
    Scanner s{text.view()};
    s.Blanks();
    TDateTime t;
    if (!ScanTime(s, t))
        return false;
    s.Blanks();
    if (!s.AtEnd())
        return false;
    value = t;
    return true;
}

bool TryStrToDateTime(const UnicodeString& text, TDateTime& value)
{
    Scanner s{text.view()};
    s.Blanks();
    TDateTime d, t;
    bool hasDate = ScanDate(s, d);
    if (hasDate) {
        std::size_t before = s.i;
        s.Blanks();
        if (s.AtEnd()) {
            value = d;
            return true;
        }
        if (s.i == before)
            return false; // a time must be set off by blanks
    }
    if (!ScanTime(s, t))
        return false;
    s.Blanks();
    if (!s.AtEnd())
        return false;
    value = !hasDate ? t.Val : d.Val < 0 ? d.Val - t.Val : d.Val + t.Val;
    return true;
}

TDateTime StrToDateTime(const UnicodeString& text)
{
    TDateTime v;
    if (!TryStrToDateTime(text, v))
        throw EConvertError(u"'" + text + u"' is not a valid date and time");
    return v;
}

TDateTime StrToDate(const UnicodeString& text)
{
    TDateTime v;
    if (!TryStrToDate(text, v))
        throw EConvertError(u"'" + text + u"' is not a valid date");
    return v;
}

TDateTime StrToTime(const UnicodeString& text)
{
    TDateTime v;
    if (!TryStrToTime(text, v))
        throw EConvertError(u"'" + text + u"' is not a valid time");
    return v;
}

} // namespace rtl
