#include "platform/rtl/CodePage.h"

#include "platform/rtl/UnicodeString.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <vector>

namespace rtl {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kNoChar = 0xFFFF; // table entry: no character (never in code page 932)

// Both directions of code page 932, taken once from glibc's "CP932" through
// iconv, one character at a time (iconv stops at the first unmappable one).
class Cp932Tables {
public:
    Cp932Tables()
    {
        single_.fill(kNoChar);
        isLead_.fill(false);
        doubles_.assign(0x10000, kNoChar);
        encode_.assign(0x10000, 0);

        iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
        iconv_t fromUtf16 = iconv_open("CP932", "UTF-16LE");
        if (toUtf16 == reinterpret_cast<iconv_t>(-1) || fromUtf16 == reinterpret_cast<iconv_t>(-1)) {
            // No CP932 in this C library: ASCII only.
            for (int b = 0; b < 0x80; ++b) {
                single_[b] = static_cast<char16_t>(b);
                encode_[b] = static_cast<std::uint16_t>(b);
            }
            if (toUtf16 != reinterpret_cast<iconv_t>(-1))
                iconv_close(toUtf16);
            if (fromUtf16 != reinterpret_cast<iconv_t>(-1))
                iconv_close(fromUtf16);
            return;
        }
        for (int b = 0; b < 0x100; ++b) {
            const unsigned char in[1] = {static_cast<unsigned char>(b)};
            int result = Decode(toUtf16, in, 1);
            if (result >= 0)
                single_[b] = static_cast<char16_t>(result);
            else if (result == -2)
                isLead_[b] = true;
        }
        for (int lead = 0; lead < 0x100; ++lead) {
            if (!isLead_[lead])
                continue;
            for (int trail = 0x40; trail < 0x100; ++trail) {
                const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                int result = Decode(toUtf16, in, 2);
                if (result >= 0)
                    doubles_[(lead << 8) | trail] = static_cast<char16_t>(result);
            }
        }
        for (int c = 1; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue;
            const unsigned char in[2] = {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>(c >> 8)};
            unsigned char out[4];
            char* inPtr = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(fromUtf16, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromUtf16, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
                continue;
            std::size_t produced = sizeof out - outLeft;
            if (produced == 1)
                encode_[c] = out[0];
            else if (produced == 2)
                encode_[c] = static_cast<std::uint16_t>((out[0] << 8) | out[1]);
        }
        iconv_close(toUtf16);
        iconv_close(fromUtf16);
    }

    // One character of bytes, or kNoChar; length gets the bytes used (>= 1).
    char16_t Next(const unsigned char* p, std::size_t left, std::size_t& length) const
    {
        length = 1;
        if (!isLead_[p[0]])
            return single_[p[0]];
        if (left < 2)
            return kNoChar;
        char16_t c = doubles_[(p[0] << 8) | p[1]];
        if (c != kNoChar)
            length = 2;
        return c;
    }

    bool IsLead(unsigned char b) const { return isLead_[b]; }

    // Code page 932 bytes of a UTF-16 unit (1 or 2 bytes), 0 bytes when none.
    int Encode(char16_t c, unsigned char out[2]) const
    {
        if (c == 0) {
            out[0] = 0;
            return 1;
        }
        std::uint16_t e = encode_[c];
        if (e == 0)
            return 0;
        if (e < 0x100) {
            out[0] = static_cast<unsigned char>(e);
            return 1;
        }
        out[0] = static_cast<unsigned char>(e >> 8);
        out[1] = static_cast<unsigned char>(e & 0xFF);
        return 2;
    }

private:
    // >= 0: the character; -1: invalid; -2: incomplete (a lead byte).
    static int Decode(iconv_t cd, const unsigned char* bytes, std::size_t length)
    {
        unsigned char out[8];
        char* inPtr = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = length, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<std::size_t>(-1))
            return errno == EINVAL ? -2 : -1;
        if (inLeft != 0)
            return -2;
        // A byte sequence that ends in the middle of a character may leave
        // nothing written; so may one the converter buffers.
        if (sizeof out - outLeft != 2)
            return -1;
        int c = out[0] | (out[1] << 8);
        if (c >= 0xD800 && c < 0xE000)
            return -1;
        return c;
    }

    std::array<char16_t, 256> single_;
    std::array<bool, 256> isLead_;
    std::vector<char16_t> doubles_;
    std::vector<std::uint16_t> encode_;
};

const Cp932Tables& Tables()
{
    static const Cp932Tables tables;
    return tables;
}

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Plain ASCII is the same in code page 932 and needs no tables, whose first
// build costs milliseconds.
template <typename Char>
bool IsAscii(const Char* p, std::size_t n)
{
    unsigned bits = 0;
    for (std::size_t i = 0; i < n; ++i)
        bits |= static_cast<unsigned>(p[i]);
    return bits < 0x80;
}

} // namespace

std::string Utf16ToCp932(std::u16string_view text)
{
    if (IsAscii(text.data(), text.size()))
        return std::string(text.begin(), text.end());
    const Cp932Tables& tables = Tables();
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            out += '?'; // a character beyond the BMP: never in code page 932
            ++i;
            continue;
        }
        unsigned char bytes[2];
        int n = (c >= 0xD800 && c < 0xE000) ? 0 : tables.Encode(c, bytes);
        if (n == 0)
            out += '?';
        else
            out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
    }
    return out;
}

std::u16string Cp932ToUtf16(std::string_view bytes)
{
    const auto* u = reinterpret_cast<const unsigned char*>(bytes.data());
    if (IsAscii(u, bytes.size()))
        return std::u16string(u, u + bytes.size());
    const Cp932Tables& tables = Tables();
    std::u16string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        std::size_t length = 1;
        char16_t c = tables.Next(p, left, length);
        out += c == kNoChar ? kReplacement : c;
        p += length;
        left -= length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        std::uint32_t cp;
        std::size_t len;
        std::uint32_t min;
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F, len = 2, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F, len = 3, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07, len = 4, min = 0x10000;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k)
            cp = (cp << 6) | (p[i + k] & 0x3F);
        if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            out += kReplacement;
            i += k; // the bytes read so far form one bad sequence
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

bool IsDBCSLeadByte(unsigned char byte) { return Tables().IsLead(byte); }

std::string ToUtf8(const UnicodeString& text) { return Utf16ToUtf8(text.view()); }

UnicodeString FromUtf8(std::string_view bytes) { return UnicodeString(Utf8ToUtf16(bytes)); }

} // namespace rtl
