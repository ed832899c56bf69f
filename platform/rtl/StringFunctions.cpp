#include "platform/rtl/StringFunctions.h"

#include "platform/rtl/detail/StringOps.h"

namespace rtl {

UnicodeString Trim(const UnicodeString& text) { return text.Trim(); }
UnicodeString TrimLeft(const UnicodeString& text) { return text.TrimLeft(); }
UnicodeString TrimRight(const UnicodeString& text) { return text.TrimRight(); }
UnicodeString UpperCase(const UnicodeString& text) { return text.UpperCase(); }
UnicodeString LowerCase(const UnicodeString& text) { return text.LowerCase(); }
AnsiString AnsiUpperCase(const AnsiString& text) { return text.UpperCase(); }
AnsiString AnsiLowerCase(const AnsiString& text) { return text.LowerCase(); }

int CompareStr(const UnicodeString& a, const UnicodeString& b) { return a.Compare(b); }
int CompareText(const UnicodeString& a, const UnicodeString& b) { return a.CompareIC(b); }
bool SameText(const UnicodeString& a, const UnicodeString& b) { return a.CompareIC(b) == 0; }
int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return a.Compare(b); }

int Pos(const UnicodeString& sub, const UnicodeString& text) { return text.Pos(sub); }
int PosEx(const UnicodeString& sub, const UnicodeString& text, int offset)
{
    if (offset < 1 || offset > text.Length() || sub.IsEmpty())
        return 0;
    std::size_t at = text.view().find(sub.view(), static_cast<std::size_t>(offset - 1));
    return at == std::u16string_view::npos ? 0 : static_cast<int>(at) + 1;
}

UnicodeString StringReplace(const UnicodeString& text, const UnicodeString& from, const UnicodeString& to, int flags)
{
    if (from.IsEmpty())
        return text;
    const bool all = (flags & rfReplaceAll) != 0;
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    std::u16string haystack = ignoreCase ? detail::Upper(text.view()) : text.str();
    std::u16string needle = ignoreCase ? detail::Upper(from.view()) : from.str();
    std::u16string out;
    std::size_t pos = 0;
    while (true) {
        std::size_t at = haystack.find(needle, pos);
        if (at == std::u16string::npos)
            break;
        out.append(text.view().substr(pos, at - pos));
        out.append(to.view());
        pos = at + needle.size();
        if (!all)
            break;
    }
    out.append(text.view().substr(pos));
    return UnicodeString(std::move(out));
}

UnicodeString QuotedStr(const UnicodeString& text)
{
    std::u16string out = u"'";
    for (char16_t c : text.view()) {
        out += c;
        if (c == u'\'')
            out += c;
    }
    out += u'\'';
    return UnicodeString(std::move(out));
}

} // namespace rtl
