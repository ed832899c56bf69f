#include "platform/rtl/Encoding.h"

#include "platform/rtl/CodePage.h"

namespace rtl {
namespace {
const TEncoding kDefault(TEncoding::Kind::Ansi);
const TEncoding kUtf8(TEncoding::Kind::Utf8);
const TEncoding kUnicode(TEncoding::Kind::Utf16LE);
const TEncoding kBigEndian(TEncoding::Kind::Utf16BE);
} // namespace

const TEncoding* const TEncoding::Default = &kDefault;
const TEncoding* const TEncoding::UTF8 = &kUtf8;
const TEncoding* const TEncoding::Unicode = &kUnicode;
const TEncoding* const TEncoding::BigEndianUnicode = &kBigEndian;

std::string_view TEncoding::GetPreamble() const
{
    switch (kind_) {
    case Kind::Utf8:
        return std::string_view("\xEF\xBB\xBF", 3);
    case Kind::Utf16LE:
        return std::string_view("\xFF\xFE", 2);
    case Kind::Utf16BE:
        return std::string_view("\xFE\xFF", 2);
    default:
        return {};
    }
}

std::string TEncoding::GetBytes(const UnicodeString& text) const
{
    switch (kind_) {
    case Kind::Utf8:
        return Utf16ToUtf8(text.view());
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        std::string out;
        out.reserve(text.view().size() * 2);
        const bool little = kind_ == Kind::Utf16LE;
        for (char16_t c : text.view()) {
            char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
            out += little ? lo : hi;
            out += little ? hi : lo;
        }
        return out;
    }
    default:
        return Utf16ToCp932(text.view());
    }
}

UnicodeString TEncoding::GetString(std::string_view bytes) const
{
    switch (kind_) {
    case Kind::Utf8:
        return UnicodeString(Utf8ToUtf16(bytes));
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        std::u16string out;
        out.reserve(bytes.size() / 2 + 1);
        const bool little = kind_ == Kind::Utf16LE;
        std::size_t i = 0;
        for (; i + 1 < bytes.size(); i += 2) {
            auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            out += static_cast<char16_t>(little ? (a | (b << 8)) : ((a << 8) | b));
        }
        if (i < bytes.size())
            out += u'\xFFFD';
        return UnicodeString(std::move(out));
    }
    default:
        return UnicodeString(Cp932ToUtf16(bytes));
    }
}

const TEncoding* TEncoding::Detect(std::string_view bytes, int& preambleLength)
{
    for (const TEncoding* e : {UTF8, Unicode, BigEndianUnicode}) {
        std::string_view p = e->GetPreamble();
        if (bytes.substr(0, p.size()) == p) {
            preambleLength = static_cast<int>(p.size());
            return e;
        }
    }
    preambleLength = 0;
    return Default;
}

} // namespace rtl
