#include "platform/rtl/Format.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace rtl {

FormatArg::FormatArg(const char* value)
    : kind_(Kind::Bytes), bytes_(value ? std::string_view(value) : std::string_view())
{
}
FormatArg::FormatArg(const char16_t* value)
    : kind_(Kind::Utf16), utf16_(value ? std::u16string_view(value) : std::u16string_view())
{
}
FormatArg::FormatArg(const AnsiString& value) : kind_(Kind::Bytes), bytes_(value.view()) {}
FormatArg::FormatArg(const UnicodeString& value) : kind_(Kind::Utf16), utf16_(value.view()) {}

namespace {

struct Spec {
    bool left = false, zero = false, plus = false, space = false, alt = false;
    int width = -1; // -1: none
    int precision = -1; // -1: none
    char conversion = 0;
};

// The unsigned bits of an integer argument in its own width.
std::uint64_t AsBits(const FormatArg& a)
{
    if (a.kind() == FormatArg::Kind::Signed) {
        std::uint64_t v = static_cast<std::uint64_t>(a.asSigned());
        return a.bits() >= 64 ? v : v & ((std::uint64_t(1) << a.bits()) - 1);
    }
    return a.asUnsigned();
}

std::string Digits(std::uint64_t v, int base, bool upper)
{
    char buf[72];
    auto r = std::to_chars(buf, buf + sizeof buf, v, base);
    std::string s(buf, r.ptr);
    if (upper)
        for (char& c : s)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return s;
}

// Sign or prefix, then digits padded with zeros to the precision, then the
// whole padded to the width.
std::string PadNumber(const Spec& spec, std::string prefix, std::string digits, bool isFloat)
{
    if (!isFloat && spec.precision >= 0) {
        if (spec.precision == 0 && digits == "0")
            digits.clear();
        while (static_cast<int>(digits.size()) < spec.precision)
            digits.insert(digits.begin(), '0');
    }
    std::string body = prefix + digits;
    int width = spec.width;
    if (width > 4096)
        width = 4096;
    if (static_cast<int>(body.size()) >= width)
        return body;
    std::size_t pad = static_cast<std::size_t>(width) - body.size();
    bool finite = !isFloat || (digits.find_first_of("0123456789") != std::string::npos);
    if (spec.left)
        return body + std::string(pad, ' ');
    if (spec.zero && (isFloat || spec.precision < 0) && finite)
        return prefix + std::string(pad, '0') + digits;
    return std::string(pad, ' ') + body;
}

std::string FormatInteger(const Spec& spec, const FormatArg& a)
{
    char c = spec.conversion;
    std::string prefix;
    std::uint64_t magnitude;
    if (c == 'd' || c == 'i') {
        bool negative = false;
        if (a.kind() == FormatArg::Kind::Signed) {
            negative = a.asSigned() < 0;
            magnitude =
                negative ? 0 - static_cast<std::uint64_t>(a.asSigned()) : static_cast<std::uint64_t>(a.asSigned());
        } else if (a.kind() == FormatArg::Kind::Float) {
            double t = std::isnan(a.asFloat()) ? 0.0 : std::trunc(a.asFloat());
            negative = t < 0;
            double m = std::fabs(t);
            magnitude = m < 18446744073709551616.0 ? static_cast<std::uint64_t>(m) : UINT64_MAX;
        } else {
            magnitude = a.asUnsigned();
        }
        prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
        return PadNumber(spec, prefix, Digits(magnitude, 10, false), false);
    }
    if (a.kind() == FormatArg::Kind::Float) {
        // A floating-point argument to an unsigned conversion: its whole part,
        // saturated (NaN gives 0).
        double t = std::trunc(a.asFloat());
        magnitude = !(t > -9223372036854775808.0) ? (std::isnan(t) ? 0 : static_cast<std::uint64_t>(INT64_MIN))
            : t >= 9223372036854775808.0          ? static_cast<std::uint64_t>(INT64_MAX)
                                                  : static_cast<std::uint64_t>(static_cast<std::int64_t>(t));
    } else {
        magnitude = AsBits(a);
    }
    if (c == 'u')
        return PadNumber(spec, "", Digits(magnitude, 10, false), false);
    if (c == 'o')
        return PadNumber(spec, spec.alt && magnitude ? "0" : "", Digits(magnitude, 8, false), false);
    bool upper = c == 'X';
    if (c == 'p')
        return PadNumber(spec, "0x", Digits(magnitude, 16, false), false);
    return PadNumber(spec, spec.alt && magnitude ? (upper ? "0X" : "0x") : "", Digits(magnitude, 16, upper), false);
}

std::string FormatFloat(const Spec& spec, double v)
{
    char c = spec.conversion;
    bool upper = c == 'E' || c == 'G' || c == 'F';
    bool negative = std::signbit(v);
    std::string prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
    double m = std::fabs(v);
    std::string digits;
    if (std::isnan(v)) {
        digits = "nan";
        prefix = spec.plus ? "+" : spec.space ? " " : "";
    } else if (std::isinf(v)) {
        digits = "inf";
    } else {
        int precision = spec.precision < 0 ? 6 : (spec.precision > 100 ? 100 : spec.precision);
        char buf[512];
        std::to_chars_result r;
        char lower = static_cast<char>(upper ? c + 32 : c);
        if (lower == 'f')
            r = std::to_chars(buf, buf + sizeof buf, m, std::chars_format::fixed, precision);
        else if (lower == 'e')
            r = std::to_chars(buf, buf + sizeof buf, m, std::chars_format::scientific, precision);
        else
            r = std::to_chars(buf, buf + sizeof buf, m, std::chars_format::general, precision == 0 ? 1 : precision);
        if (r.ec != std::errc())
            return "?";
        digits.assign(buf, r.ptr);
        if (spec.alt && precision == 0 && lower == 'f')
            digits += '.';
    }
    if (upper)
        for (char& ch : digits)
            ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    return PadNumber(spec, prefix, digits, true);
}

// Pads a text (in output units) to the width.
template <class Ch>
void AppendPadded(std::basic_string<Ch>& out, std::basic_string_view<Ch> text, const Spec& spec)
{
    std::size_t width = spec.width < 0 ? 0 : static_cast<std::size_t>(spec.width > 4096 ? 4096 : spec.width);
    std::size_t pad = text.size() < width ? width - text.size() : 0;
    if (!spec.left)
        out.append(pad, Ch(' '));
    out.append(text);
    if (spec.left)
        out.append(pad, Ch(' '));
}

template <class Ch>
std::basic_string<Ch> Widen(const std::string& ascii)
{
    return std::basic_string<Ch>(ascii.begin(), ascii.end());
}

template <class Ch>
std::basic_string<Ch> TextOf(const FormatArg& a);
template <>
std::u16string TextOf<char16_t>(const FormatArg& a)
{
    return a.kind() == FormatArg::Kind::Bytes ? Cp932ToUtf16(a.bytes()) : std::u16string(a.utf16());
}
template <>
std::string TextOf<char>(const FormatArg& a)
{
    return a.kind() == FormatArg::Kind::Utf16 ? Utf16ToCp932(a.utf16()) : std::string(a.bytes());
}

template <class Ch>
std::basic_string<Ch> CharOf(std::uint64_t code);
template <>
std::u16string CharOf<char16_t>(std::uint64_t code)
{
    return std::u16string(1, static_cast<char16_t>(code));
}
template <>
std::string CharOf<char>(std::uint64_t code)
{
    if (code < 0x100)
        return std::string(1, static_cast<char>(code));
    char16_t c = static_cast<char16_t>(code);
    return Utf16ToCp932(std::u16string_view(&c, 1));
}

// Cuts a text to at most `precision` characters (UTF-16 units or bytes;
// a double-byte character of code page 932 is not split).
template <class Ch>
std::basic_string<Ch> Cut(std::basic_string<Ch> text, int precision)
{
    if (precision < 0 || static_cast<std::size_t>(precision) >= text.size())
        return text;
    std::size_t n = static_cast<std::size_t>(precision);
    if constexpr (sizeof(Ch) == 2) {
        if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00)
            --n;
    } else {
        std::size_t i = 0;
        while (i < n) {
            std::size_t len = IsDBCSLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
            if (i + len > n)
                break;
            i += len;
        }
        n = i;
    }
    text.resize(n);
    return text;
}

template <class Ch>
std::basic_string<Ch> Run(std::basic_string_view<Ch> format, const FormatArg* args, int count)
{
    std::basic_string<Ch> out;
    out.reserve(format.size() + 16);
    int next = 0;
    std::size_t i = 0, n = format.size();
    auto nextArg = [&]() -> const FormatArg* { return next < count ? &args[next++] : nullptr; };
    while (i < n) {
        Ch c = format[i];
        if (c != Ch('%')) {
            out += c;
            ++i;
            continue;
        }
        std::size_t start = i++;
        if (i < n && format[i] == Ch('%')) {
            out += Ch('%');
            ++i;
            continue;
        }
        Spec spec;
        bool bad = false;
        for (; i < n; ++i) {
            Ch f = format[i];
            if (f == Ch('-'))
                spec.left = true;
            else if (f == Ch('0'))
                spec.zero = true;
            else if (f == Ch('+'))
                spec.plus = true;
            else if (f == Ch(' '))
                spec.space = true;
            else if (f == Ch('#'))
                spec.alt = true;
            else
                break;
        }
        auto number = [&](int& target) {
            if (i < n && format[i] == Ch('*')) {
                ++i;
                const FormatArg* a = nextArg();
                if (!a || (a->kind() != FormatArg::Kind::Signed && a->kind() != FormatArg::Kind::Unsigned)) {
                    bad = true;
                    return;
                }
                long long v = a->kind() == FormatArg::Kind::Signed
                    ? a->asSigned()
                    : static_cast<long long>(a->asUnsigned() & 0x7FFFFFFF);
                if (v < -4096)
                    v = -4096;
                // A negative width means "-"; a negative precision means none.
                if (&target == &spec.width && v < 0)
                    spec.left = true, v = -v;
                target = v < 0 ? -1 : static_cast<int>(v > 4096 ? 4096 : v);
                return;
            }
            if (i < n && format[i] >= Ch('0') && format[i] <= Ch('9')) {
                long long v = 0;
                for (; i < n && format[i] >= Ch('0') && format[i] <= Ch('9'); ++i)
                    if (v < 100000)
                        v = v * 10 + (format[i] - Ch('0'));
                target = static_cast<int>(v > 4096 ? 4096 : v);
            }
        };
        number(spec.width);
        if (i < n && format[i] == Ch('.')) {
            ++i;
            spec.precision = 0;
            number(spec.precision);
        }
        while (i < n &&
               (format[i] == Ch('h') || format[i] == Ch('l') || format[i] == Ch('L') || format[i] == Ch('z') ||
                format[i] == Ch('j') || format[i] == Ch('t') || format[i] == Ch('q')))
            ++i;
        if (bad || i >= n) {
            out.append(format.substr(start, i - start));
            continue;
        }
        Ch conv = format[i++];
        static const std::string_view kKnown = "diuxXocsfFeEgGp";
        if (conv > 0x7F || kKnown.find(static_cast<char>(conv)) == std::string_view::npos) {
            out.append(format.substr(start, i - start));
            continue;
        }
        spec.conversion = static_cast<char>(conv);
        const FormatArg* a = nextArg();
        if (!a) {
            out.append(format.substr(start, i - start));
            continue;
        }
        using K = FormatArg::Kind;
        switch (spec.conversion) {
        case 's': {
            if (a->kind() == K::Bytes || a->kind() == K::Utf16) {
                std::basic_string<Ch> text = Cut(TextOf<Ch>(*a), spec.precision);
                AppendPadded<Ch>(out, text, spec);
            } else if (a->isChar()) {
                AppendPadded<Ch>(out, CharOf<Ch>(AsBits(*a)), spec);
            } else if (a->kind() == K::Float) {
                AppendPadded<Ch>(out, Widen<Ch>(ToUtf8(FloatToStr(a->asFloat()))), spec);
            } else {
                Spec d = spec;
                d.conversion = 'd';
                d.precision = -1;
                AppendPadded<Ch>(out, Widen<Ch>(FormatInteger(d, *a)), Spec());
            }
            break;
        }
        case 'c': {
            std::uint64_t code = a->kind() == K::Float ? 0 : AsBits(*a);
            if (a->kind() == K::Bytes || a->kind() == K::Utf16) {
                std::basic_string<Ch> text = TextOf<Ch>(*a);
                AppendPadded<Ch>(out, Cut(text, 1), spec);
            } else if constexpr (sizeof(Ch) == 2) {
                // An 8-bit character is a code page 932 byte (half-width katakana).
                if (a->bits() == 8 && code >= 0x80) {
                    char byte = static_cast<char>(code);
                    AppendPadded<Ch>(out, Cp932ToUtf16(std::string_view(&byte, 1)), spec);
                } else {
                    AppendPadded<Ch>(out, CharOf<Ch>(code), spec);
                }
            } else {
                AppendPadded<Ch>(out, CharOf<Ch>(code), spec);
            }
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G': {
            double v = 0;
            if (a->kind() == K::Float)
                v = a->asFloat();
            else if (a->kind() == K::Signed)
                v = static_cast<double>(a->asSigned());
            else if (a->kind() == K::Unsigned)
                v = static_cast<double>(a->asUnsigned());
            else {
                out.append(format.substr(start, i - start));
                break;
            }
            out += Widen<Ch>(FormatFloat(spec, v));
            break;
        }
        default: {
            if (a->kind() == K::Bytes || a->kind() == K::Utf16) {
                out.append(format.substr(start, i - start));
                break;
            }
            out += Widen<Ch>(FormatInteger(spec, *a));
            break;
        }
        }
    }
    return out;
}

} // namespace

std::u16string FormatUtf16(std::u16string_view format, const FormatArg* args, int count)
{
    return Run<char16_t>(format, args, count);
}
std::string FormatBytes(std::string_view format, const FormatArg* args, int count)
{
    return Run<char>(format, args, count);
}

} // namespace rtl
