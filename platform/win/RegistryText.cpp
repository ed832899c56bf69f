#include "platform/win/RegistryText.h"

#include "platform/rtl/detail/Hex.h"
#include "platform/win/PathResolver.h"

namespace win {

namespace {

constexpr std::u16string_view kHeader = u"Velmorastine registry hive 1";
constexpr char16_t kHexDigits[] = u"0123456789abcdef";

void AppendHex4(std::u16string& out, char16_t c)
{
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kHexDigits[(c >> shift) & 0xF]);
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Calls emit(i, isPlain) for each unit; a unit is plain unless it is a
// control character or a lone surrogate.
template <class F>
void WalkUnits(std::u16string_view s, F emit)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (IsHigh(c) && i + 1 < s.size() && IsLow(s[i + 1])) {
            emit(i, true);
            emit(i + 1, true);
            ++i;
            continue;
        }
        emit(i, !(c < 0x20 || c == 0x7F || IsHigh(c) || IsLow(c)));
    }
}

void AppendQuoted(std::u16string& out, std::u16string_view s)
{
    out += u'"';
    WalkUnits(s, [&](std::size_t i, bool plain) {
        char16_t c = s[i];
        if (c == u'\\')
            out += u"\\\\";
        else if (c == u'"')
            out += u"\\\"";
        else if (c == u'\r')
            out += u"\\r";
        else if (c == u'\n')
            out += u"\\n";
        else if (c == u'\t')
            out += u"\\t";
        else if (plain)
            out += c;
        else {
            out += u"\\u";
            AppendHex4(out, c);
        }
    });
    out += u'"';
}

// A backslash inside a name is escaped too: unescaped it would split the name.
void AppendKeyName(std::u16string& out, std::u16string_view s)
{
    WalkUnits(s, [&](std::size_t i, bool plain) {
        char16_t c = s[i];
        if (plain && c != u'%' && c != u'\\')
            out += c;
        else {
            out += u'%';
            AppendHex4(out, c);
        }
    });
}

// A canonical string: even length, at least the terminating NUL unit.
bool IsCanonicalString(const RegistryValue& v)
{
    std::size_t n = v.data.size();
    return n >= 2 && n % 2 == 0 && v.data[n - 1] == 0 && v.data[n - 2] == 0;
}

std::u16string StringUnits(const RegistryValue& v)
{
    std::u16string out;
    for (std::size_t i = 0; i + 2 < v.data.size(); i += 2)
        out.push_back(static_cast<char16_t>(v.data[i] | v.data[i + 1] << 8));
    return out;
}

void AppendValue(std::u16string& out, const RegistryValue& v)
{
    AppendQuoted(out, v.name);
    out += u'=';
    std::uint32_t number = 0;
    if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && IsCanonicalString(v)) {
        out += v.type == REG_SZ ? u"sz:" : u"expand:";
        AppendQuoted(out, StringUnits(v));
    } else if (v.type == REG_DWORD && v.Number(number)) {
        out += u"dword:";
        AppendHex4(out, static_cast<char16_t>(number >> 16));
        AppendHex4(out, static_cast<char16_t>(number & 0xFFFF));
    } else {
        out += u"hex(";
        for (char c : std::to_string(v.type))
            out += static_cast<char16_t>(c);
        out += u"):";
        for (std::size_t i = 0; i < v.data.size(); ++i) {
            if (i > 0)
                out += u',';
            out += kHexDigits[v.data[i] >> 4];
            out += kHexDigits[v.data[i] & 0xF];
        }
    }
    out += u'\n';
}

void AppendKey(std::u16string& out, const RegistryKey& key, std::u16string& path, bool isRoot)
{
    if (!isRoot || !key.values.empty()) {
        out += u'[';
        out += path.empty() ? u"\\" : path;
        out += u"]\n";
        for (const RegistryValue& v : key.values)
            AppendValue(out, v);
    }
    for (const RegistryKey& sub : key.subkeys) {
        std::size_t mark = path.size();
        path += u'\\';
        AppendKeyName(path, sub.name);
        AppendKey(out, sub, path, false);
        path.resize(mark);
    }
}

// ---- parsing, on a bounded view of one line ----

bool ReadHex4(std::u16string_view s, std::size_t at, char16_t& out)
{
    if (at + 4 > s.size())
        return false;
    unsigned v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        int d = rtl::detail::HexDigitValue(s[at + i]);
        if (d < 0)
            return false;
        v = v << 4 | static_cast<unsigned>(d);
    }
    out = static_cast<char16_t>(v);
    return true;
}

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::u16string_view s, std::size_t& pos, std::u16string& out)
{
    out.clear();
    if (pos >= s.size() || s[pos] != u'"')
        return false;
    ++pos;
    while (pos < s.size()) {
        char16_t c = s[pos++];
        if (c == u'"')
            return true;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= s.size())
            return false;
        char16_t e = s[pos++];
        switch (e) {
        case u'\\':
            out += u'\\';
            break;
        case u'"':
            out += u'"';
            break;
        case u'r':
            out += u'\r';
            break;
        case u'n':
            out += u'\n';
            break;
        case u't':
            out += u'\t';
            break;
        case u'u': {
            char16_t u = 0;
            if (!ReadHex4(s, pos, u))
                return false;
            out += u;
            pos += 4;
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

bool ParseKeyLine(std::u16string_view line, RegistryPath& path)
{
    // "[" path "]"
    std::u16string_view inner = line.substr(1, line.size() - 2);
    if (inner.empty() || inner[0] != u'\\')
        return false;
    path.clear();
    if (inner.size() == 1)
        return true;
    inner.remove_prefix(1);
    std::u16string part;
    for (std::size_t i = 0; i <= inner.size(); ++i) {
        if (i == inner.size() || inner[i] == u'\\') {
            if (part.empty() || part.size() > kMaxKeyNameLength || path.size() >= kMaxKeyDepth)
                return false;
            path.push_back(std::move(part));
            part.clear();
            continue;
        }
        if (inner[i] == u'%') {
            char16_t u = 0;
            if (!ReadHex4(inner, i + 1, u))
                return false;
            part += u;
            i += 4;
        } else {
            part += inner[i];
        }
    }
    return true;
}

bool ParseValueLine(std::u16string_view line, RegistryValue& v)
{
    std::size_t pos = 0;
    if (!ReadQuoted(line, pos, v.name) || v.name.size() > kMaxValueNameLength)
        return false;
    if (pos >= line.size() || line[pos] != u'=')
        return false;
    std::u16string_view rest = line.substr(pos + 1);
    auto starts = [&](std::u16string_view p) { return rest.substr(0, p.size()) == p; };
    if (starts(u"sz:") || starts(u"expand:")) {
        DWORD type = starts(u"sz:") ? REG_SZ : REG_EXPAND_SZ;
        std::size_t q = type == REG_SZ ? 3 : 7;
        std::u16string text;
        if (!ReadQuoted(rest, q, text) || q != rest.size())
            return false;
        v = RegistryValue::String(v.name, text);
        v.type = type;
        return true;
    }
    if (starts(u"dword:")) {
        std::u16string_view digits = rest.substr(6);
        char16_t hi = 0, lo = 0;
        if (digits.size() != 8 || !ReadHex4(digits, 0, hi) || !ReadHex4(digits, 4, lo))
            return false;
        v = RegistryValue::Dword(v.name, static_cast<std::uint32_t>(hi) << 16 | lo);
        return true;
    }
    if (starts(u"hex(")) {
        std::size_t i = 4;
        std::uint64_t type = 0;
        std::size_t digits = 0;
        while (i < rest.size() && rest[i] >= u'0' && rest[i] <= u'9' && digits < 10) {
            type = type * 10 + static_cast<unsigned>(rest[i] - u'0');
            ++i;
            ++digits;
        }
        if (digits == 0 || type > 0xFFFFFFFFu || rest.substr(i, 2) != u"):")
            return false;
        i += 2;
        v.type = static_cast<DWORD>(type);
        v.data.clear();
        while (i < rest.size()) {
            if (!v.data.empty()) {
                if (rest[i] != u',')
                    return false;
                ++i;
            }
            if (i + 2 > rest.size())
                return false;
            int a = rtl::detail::HexDigitValue(rest[i]), b = rtl::detail::HexDigitValue(rest[i + 1]);
            if (a < 0 || b < 0)
                return false;
            v.data.push_back(static_cast<std::uint8_t>(a << 4 | b));
            i += 2;
        }
        return true;
    }
    return false;
}

} // namespace

std::string FormatRegistryHive(const RegistryKey& root)
{
    std::u16string out(kHeader);
    out += u'\n';
    std::u16string path;
    AppendKey(out, root, path, true);
    std::string utf8;
    Utf16ToUtf8(out, utf8); // every lone surrogate was escaped above
    return utf8;
}

bool ParseRegistryHive(std::string_view text, RegistryKey& out)
{
    out = RegistryKey{};
    std::u16string all;
    if (!Utf8ToUtf16(text, all))
        return false;
    std::u16string_view rest = all;
    RegistryKey root;
    RegistryKey* current = nullptr;
    bool first = true;
    while (!rest.empty()) {
        std::size_t cut = rest.find(u'\n');
        std::u16string_view line = rest.substr(0, cut);
        rest.remove_prefix(cut == std::u16string_view::npos ? rest.size() : cut + 1);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        if (first) {
            if (line != kHeader)
                return false;
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        if (line.front() == u'[') {
            RegistryPath path;
            if (line.size() < 3 || line.back() != u']' || !ParseKeyLine(line, path))
                return false;
            RegistryEdit create{RegistryEdit::Kind::CreateKey, path, {}};
            if (ApplyRegistryEdit(root, create) != EditResult::Done)
                return false;
            current = root.Find(path);
            continue;
        }
        RegistryValue v;
        if (current == nullptr || !ParseValueLine(line, v) || current->FindValue(v.name) != nullptr)
            return false;
        current->values.push_back(std::move(v));
    }
    if (first)
        return false;
    out = std::move(root);
    return true;
}

} // namespace win
