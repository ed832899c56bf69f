#include "platform/rtl/CodePage.h"

#include "platform/rtl/UnicodeString.h"

#include <iconv.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <vector>

namespace rtl {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kNoChar = 0xFFFF; // table entry: no character (never in code page 932)

// What the tables below have looked up: kKnown | the answer, 0 while not
// looked up. Zero at the start without a write, so the pages of the entries
// never met are never touched.
constexpr std::uint32_t kKnown = 0x10000;
constinit std::atomic<std::uint32_t> gDoubles[0x10000]{}; // by lead << 8 | trail: the character or kNoChar
constinit std::atomic<std::uint32_t> gEncode[0x10000]{}; // by UTF-16 unit: its bytes, 0 for none

// Both directions of code page 932, as glibc's "CP932" converts them through
// iconv. The single bytes are taken at once; a double-byte character or a
// UTF-16 unit is looked up the first time it is met and remembered, so a
// start that converts a few Japanese words asks iconv a few times, not
// 80,000. Any thread may convert: a remembered entry is read without the
// lock; iconv itself is called under it.
class Cp932Tables {
public:
    Cp932Tables()
    {
        single_.fill(kNoChar);
        isLead_.fill(false);
        toUtf16_ = iconv_open("UTF-16LE", "CP932");
        fromUtf16_ = iconv_open("CP932", "UTF-16LE");
        if (toUtf16_ == kNoConverter || fromUtf16_ == kNoConverter) {
            // No CP932 in this C library: ASCII only.
            for (int b = 0; b < 0x80; ++b)
                single_[b] = static_cast<char16_t>(b);
            return;
        }
        for (int b = 0; b < 0x100; ++b) {
            const unsigned char in[1] = {static_cast<unsigned char>(b)};
            int result = Decode(toUtf16_, in, 1);
            if (result >= 0)
                single_[b] = static_cast<char16_t>(result);
            else if (result == -2)
                isLead_[b] = true;
        }
    }
    ~Cp932Tables()
    {
        if (toUtf16_ != kNoConverter)
            iconv_close(toUtf16_);
        if (fromUtf16_ != kNoConverter)
            iconv_close(fromUtf16_);
    }
    Cp932Tables(const Cp932Tables&) = delete;
    Cp932Tables& operator=(const Cp932Tables&) = delete;

    // One character of bytes, or kNoChar; length gets the bytes used (>= 1).
    char16_t Next(const unsigned char* p, std::size_t left, std::size_t& length) const
    {
        length = 1;
        if (!isLead_[p[0]])
            return single_[p[0]];
        if (left < 2 || p[1] < 0x40)
            return kNoChar;
        char16_t c = Double(static_cast<std::uint16_t>((p[0] << 8) | p[1]));
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
        std::uint32_t e = gEncode[c].load(std::memory_order_acquire);
        e = e != 0 ? e & ~kKnown : LookUpEncoding(c);
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
    static inline const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

    char16_t Double(std::uint16_t bytes) const
    {
        const std::uint32_t c = gDoubles[bytes].load(std::memory_order_acquire);
        if (c != 0)
            return static_cast<char16_t>(c & ~kKnown);
        std::lock_guard lock(mutex_);
        int result = -1;
        if (toUtf16_ != kNoConverter) {
            const unsigned char in[2] = {static_cast<unsigned char>(bytes >> 8), static_cast<unsigned char>(bytes)};
            result = Decode(toUtf16_, in, 2);
        }
        const char16_t found = result >= 0 ? static_cast<char16_t>(result) : kNoChar;
        gDoubles[bytes].store(found | kKnown, std::memory_order_release);
        return found;
    }

    // The bytes of c (a byte, or lead << 8 | trail), 0 for none; remembered.
    std::uint32_t LookUpEncoding(char16_t c) const
    {
        std::lock_guard lock(mutex_);
        std::uint32_t e = 0;
        if (c < 0x80 && fromUtf16_ == kNoConverter) {
            e = c;
        } else if (fromUtf16_ != kNoConverter && (c < 0xD800 || c >= 0xE000)) {
            const unsigned char in[2] = {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>(c >> 8)};
            unsigned char out[4];
            char* inPtr = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(fromUtf16_, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromUtf16_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
                const std::size_t produced = sizeof out - outLeft;
                if (produced == 1)
                    e = out[0];
                else if (produced == 2)
                    e = static_cast<std::uint32_t>((out[0] << 8) | out[1]);
            }
        }
        gEncode[c].store(e | kKnown, std::memory_order_release);
        return e;
    }

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
    mutable std::mutex mutex_;
    iconv_t toUtf16_ = kNoConverter;
    iconv_t fromUtf16_ = kNoConverter;
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
