#include "platform/rtl/Numbers.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/detail/Hex.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace rtl {
namespace {

// "  -0x1F", "$FF", "+12": leading blanks, sign, decimal or hex, nothing
// after. Hex may fill all `bits` bits (two's complement), decimal must fit
// the signed range.
bool ParseInteger(std::u16string_view s, int bits, std::int64_t& out)
{
    std::size_t i = 0, n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    const std::uint64_t unsignedMax = bits == 64 ? UINT64_MAX : (std::uint64_t(1) << bits) - 1;
    std::uint64_t value = 0;
    if (i < n && (s[i] == u'$' || (s[i] == u'0' && i + 1 < n && (s[i + 1] == u'x' || s[i + 1] == u'X')))) {
        i += s[i] == u'$' ? 1 : 2;
        if (i == n)
            return false;
        for (; i < n; ++i) {
            int d = detail::HexDigitValue(s[i]);
            if (d < 0)
                return false;
            if (value > (unsignedMax >> 4))
                return false;
            value = (value << 4) | static_cast<std::uint64_t>(d);
        }
        // Reinterpret in the target width, then apply the sign.
        std::int64_t v = bits == 64
            ? static_cast<std::int64_t>(value)
            : static_cast<std::int64_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
        out = negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(v)) : v;
        if (bits == 32)
            out = static_cast<std::int32_t>(static_cast<std::uint32_t>(out));
        return true;
    }
    if (i == n)
        return false;
    const std::uint64_t limit = (std::uint64_t(1) << (bits - 1)) - (negative ? 0 : 1);
    for (; i < n; ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
        std::uint64_t d = static_cast<std::uint64_t>(s[i] - u'0');
        if (value > (limit - d) / 10)
            return false;
        value = value * 10 + d;
    }
    out = negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
    return true;
}

[[noreturn]] void InvalidInteger(const UnicodeString& text)
{
    throw EConvertError(u"'" + text + u"' is not a valid integer value");
}
[[noreturn]] void InvalidFloat(const UnicodeString& text)
{
    throw EConvertError(u"'" + text + u"' is not a valid floating point value");
}

// "-12.5e3": optional sign, digits with optional fraction, optional
// exponent. On success `ascii` holds the text without a leading "+" and
// `magnitude` the decimal exponent of the first significant digit (to tell
// overflow from underflow).
bool ScanFloat(std::u16string_view s, std::string& ascii, long long& magnitude, bool& negative)
{
    std::size_t i = 0, n = s.size();
    negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    if (negative)
        ascii += '-';
    std::size_t intStart = i;
    while (i < n && s[i] >= u'0' && s[i] <= u'9')
        ascii += static_cast<char>(s[i++]);
    std::u16string_view intPart = s.substr(intStart, i - intStart);
    std::u16string_view fracPart;
    if (i < n && s[i] == u'.') {
        ascii += '.';
        std::size_t fracStart = ++i;
        while (i < n && s[i] >= u'0' && s[i] <= u'9')
            ascii += static_cast<char>(s[i++]);
        fracPart = s.substr(fracStart, i - fracStart);
    }
    if (intPart.empty() && fracPart.empty())
        return false;
    long long exponent = 0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ascii += 'e';
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) {
            expNegative = s[i] == u'-';
            ascii += static_cast<char>(s[i++]);
        }
        std::size_t start = i;
        for (; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i) {
            ascii += static_cast<char>(s[i]);
            if (exponent < 100000)
                exponent = exponent * 10 + (s[i] - u'0');
        }
        if (i == start)
            return false;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return false;
    // Decimal position of the first significant digit: 123.4 -> 3, 0.01 -> -1.
    std::size_t k = intPart.find_first_not_of(u'0');
    if (k != std::u16string_view::npos) {
        magnitude = static_cast<long long>(intPart.size() - k) + exponent;
    } else {
        std::size_t j = fracPart.find_first_not_of(u'0');
        magnitude = j == std::u16string_view::npos ? LLONG_MIN : -static_cast<long long>(j) + exponent;
    }
    return true;
}

bool ParseFloat(const UnicodeString& text, double& value)
{
    std::string ascii;
    long long magnitude = 0;
    bool negative = false;
    if (!ScanFloat(text.view(), ascii, magnitude, negative))
        return false;
    if (magnitude == LLONG_MIN) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    double v = 0;
    auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (magnitude > 0)
            return false; // beyond the largest double
        v = negative ? -0.0 : 0.0; // below the smallest: zero
    } else if (ec != std::errc() || ptr != ascii.data() + ascii.size()) {
        return false;
    }
    value = v;
    return true;
}

UnicodeString Ascii(std::string_view s)
{
    std::u16string out(s.begin(), s.end());
    return UnicodeString(std::move(out));
}

} // namespace

int StrToInt(const UnicodeString& text)
{
    std::int64_t v = 0;
    if (!ParseInteger(text.view(), 32, v))
        InvalidInteger(text);
    return static_cast<int>(v);
}
int StrToIntDef(const UnicodeString& text, int defaultValue)
{
    std::int64_t v = 0;
    return ParseInteger(text.view(), 32, v) ? static_cast<int>(v) : defaultValue;
}
bool TryStrToInt(const UnicodeString& text, int& value)
{
    std::int64_t v = 0;
    if (!ParseInteger(text.view(), 32, v))
        return false;
    value = static_cast<int>(v);
    return true;
}
std::int64_t StrToInt64(const UnicodeString& text)
{
    std::int64_t v = 0;
    if (!ParseInteger(text.view(), 64, v))
        InvalidInteger(text);
    return v;
}
std::int64_t StrToInt64Def(const UnicodeString& text, std::int64_t defaultValue)
{
    std::int64_t v = 0;
    return ParseInteger(text.view(), 64, v) ? v : defaultValue;
}

double StrToFloat(const UnicodeString& text)
{
    double v = 0;
    if (!ParseFloat(text, v))
        InvalidFloat(text);
    return v;
}
double StrToFloatDef(const UnicodeString& text, double defaultValue)
{
    double v = 0;
    return ParseFloat(text, v) ? v : defaultValue;
}
bool TryStrToFloat(const UnicodeString& text, double& value)
{
    double v = 0;
    if (!ParseFloat(text, v))
        return false;
    value = v;
    return true;
}

namespace detail {
UnicodeString SignedToStr(std::int64_t value)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return Ascii(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}
UnicodeString UnsignedToStr(std::uint64_t value)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return Ascii(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}
UnicodeString ToHex(std::uint64_t value, int digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(kDigits[value & 0xF]));
        value >>= 4;
    } while (value != 0);
    if (digits > 32)
        digits = 32;
    while (static_cast<int>(out.size()) < digits)
        out.insert(out.begin(), u'0');
    return UnicodeString(std::move(out));
}
} // namespace detail

UnicodeString FloatToStr(double value)
{
    if (std::isnan(value))
        return u"NAN";
    if (std::isinf(value))
        return value < 0 ? u"-INF" : u"INF";
    if (value == 0)
        return u"0";
    // 15 significant digits: d.dddddddddddddde±x
    char buf[48];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));
    bool negative = sci.front() == '-';
    if (negative)
        sci.remove_prefix(1);
    std::size_t e = sci.find('e');
    std::string digits;
    digits += sci[0];
    digits.append(sci.substr(2, e - 2));
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out;
    if (negative)
        out += '-';
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        std::size_t intLen = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits, 0, intLen);
            out += '.';
            out.append(digits, intLen);
        }
    }
    return Ascii(out);
}

std::int64_t Round(double value)
{
    double r = std::nearbyint(value); // the default rounding mode: ties to even
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw EInvalidOp(u"Invalid floating point operation");
    return static_cast<std::int64_t>(r);
}

std::int64_t Trunc(double value)
{
    double r = std::trunc(value);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw EInvalidOp(u"Invalid floating point operation");
    return static_cast<std::int64_t>(r);
}

} // namespace rtl
