// Shared bodies of UnicodeString and AnsiString (code units of either width).
#pragma once

#include <algorithm>
#include <type_traits>
#include <string>
#include <string_view>

namespace rtl::detail {

template <class Ch>
Ch AsciiUpper(Ch c)
{
    return (c >= Ch('a') && c <= Ch('z')) ? static_cast<Ch>(c - Ch('a') + Ch('A')) : c;
}
template <class Ch>
Ch AsciiLower(Ch c)
{
    return (c >= Ch('A') && c <= Ch('Z')) ? static_cast<Ch>(c - Ch('A') + Ch('a')) : c;
}

// The framework's Copy: a start below 1 counts as 1 (the count is kept), a
// count past the end stops there, a count below 1 gives nothing.
template <class Ch>
std::basic_string<Ch> Sub(const std::basic_string<Ch>& s, int start, int count)
{
    long long size = static_cast<long long>(s.size());
    long long from = start < 1 ? 1 : start;
    if (count <= 0 || from > size)
        return {};
    long long n = std::min<long long>(count, size - from + 1);
    return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(n));
}

template <class Ch>
int Find(std::basic_string_view<Ch> s, std::basic_string_view<Ch> sub)
{
    if (sub.empty())
        return 0;
    std::size_t at = s.find(sub);
    return at == std::basic_string_view<Ch>::npos ? 0 : static_cast<int>(at) + 1;
}

template <class Ch>
int LastOf(std::basic_string_view<Ch> s, std::basic_string_view<Ch> delimiters)
{
    if (delimiters.empty())
        return 0;
    std::size_t at = s.find_last_of(delimiters);
    return at == std::basic_string_view<Ch>::npos ? 0 : static_cast<int>(at) + 1;
}

template <class Ch>
void Erase(std::basic_string<Ch>& s, int index, int count)
{
    long long size = static_cast<long long>(s.size());
    if (index < 1 || index > size || count <= 0)
        return;
    long long n = std::min<long long>(count, size - index + 1);
    s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(n));
}

template <class Ch>
void InsertAt(std::basic_string<Ch>& s, std::basic_string_view<Ch> text, int index)
{
    long long size = static_cast<long long>(s.size());
    if (index < 1)
        index = 1;
    if (index > size + 1)
        index = static_cast<int>(size + 1);
    s.insert(static_cast<std::size_t>(index - 1), text);
}

template <class Ch>
std::basic_string<Ch> Upper(std::basic_string_view<Ch> s)
{
    std::basic_string<Ch> out(s);
    for (Ch& c : out)
        c = AsciiUpper(c);
    return out;
}
template <class Ch>
std::basic_string<Ch> Lower(std::basic_string_view<Ch> s)
{
    std::basic_string<Ch> out(s);
    for (Ch& c : out)
        c = AsciiLower(c);
    return out;
}

// Blanks and control characters: code units <= 0x20 (unsigned).
template <class Ch>
bool IsTrimmed(Ch c)
{
    return static_cast<std::make_unsigned_t<Ch>>(c) <= 0x20;
}
template <class Ch>
std::basic_string_view<Ch> TrimView(std::basic_string_view<Ch> s, bool left, bool right)
{
    std::size_t b = 0, e = s.size();
    if (left)
        while (b < e && IsTrimmed(s[b]))
            ++b;
    if (right)
        while (e > b && IsTrimmed(s[e - 1]))
            --e;
    return s.substr(b, e - b);
}

// Ordinal comparison of unsigned code units: < 0, 0, > 0.
template <class Ch>
int CompareOrdinal(std::basic_string_view<Ch> a, std::basic_string_view<Ch> b, bool ignoreCase)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        using U = std::make_unsigned_t<Ch>;
        U x = static_cast<U>(ignoreCase ? AsciiUpper(a[i]) : a[i]);
        U y = static_cast<U>(ignoreCase ? AsciiUpper(b[i]) : b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Equal but for ASCII case.
inline bool SameAsciiNoCase(std::u16string_view a, std::u16string_view b) { return CompareOrdinal(a, b, true) == 0; }

} // namespace rtl::detail
