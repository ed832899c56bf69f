// The framework's text encodings, as used by string lists: the system code
// page (932, no byte-order mark), UTF-8, UTF-16 little- and big-endian.
// The four instances are static; compare them by pointer.
#pragma once

#include "platform/rtl/UnicodeString.h"

#include <string>
#include <string_view>

namespace rtl {

class TEncoding {
public:
    enum class Kind { Ansi, Utf8, Utf16LE, Utf16BE };

    static const TEncoding* const Default; // code page 932
    static const TEncoding* const UTF8;
    static const TEncoding* const Unicode; // UTF-16 little-endian
    static const TEncoding* const BigEndianUnicode; // UTF-16 big-endian

    Kind kind() const { return kind_; }
    // The byte-order mark written before the text ("" for code page 932).
    std::string_view GetPreamble() const;
    std::string GetBytes(const UnicodeString& text) const;
    // Invalid sequences become U+FFFD (code page 932: see CodePage.h); an odd
    // last byte of UTF-16 too.
    UnicodeString GetString(std::string_view bytes) const;

    // The encoding named by a byte-order mark at the start of bytes, and the
    // mark's length; Default and 0 when there is none.
    static const TEncoding* Detect(std::string_view bytes, int& preambleLength);

    explicit constexpr TEncoding(Kind kind) : kind_(kind) {}
    TEncoding(const TEncoding&) = delete;
    TEncoding& operator=(const TEncoding&) = delete;

private:
    Kind kind_;
};

} // namespace rtl
