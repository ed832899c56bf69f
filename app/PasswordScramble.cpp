#include "app/PasswordScramble.h"

#include "app/MyLog.h"
#include "platform/rtl/detail/Hex.h"

#include <cstddef>
#include <string>

namespace {

constexpr std::size_t kKeyLength = sizeof(kPasswordKey) - 1;

AnsiString Scramble(const AnsiString& text, bool encode)
{
    try {
        const std::string& in = text.str();
        std::string out(in.size(), '\0');
        for (std::size_t i = 0; i < in.size(); ++i) {
            const auto k = static_cast<unsigned char>(kPasswordKey[i % kKeyLength]);
            const auto b = static_cast<unsigned char>(in[i]);
            const unsigned value = encode ? ((k ^ b) + 48u) : ((b - 48u) ^ k);
            out[i] = static_cast<char>(value & 0xFFu);
        }
        return AnsiString(out);
    } catch (Exception& e) {
        // The entry decodes the stored form before the log exists.
        LogExceptionError(e);
        return AnsiString();
    } catch (std::bad_alloc&) {
        if (MyLogModule)
            MyLogModule->LogError("Out of memory");
        return AnsiString();
    }
}

} // namespace

AnsiString EncodePassword(const AnsiString& password) { return Scramble(password, true); }

AnsiString DecodePassword(const AnsiString& stored) { return Scramble(stored, false); }

TStoredPassword ReadStoredPassword(const TIniFile& settings, const UnicodeString& section, const UnicodeString& key)
{
    // "p_m=0A5C..." : two upper-case hex digits a byte, no separators.
    const UnicodeString text = settings.ReadString(section, key, UnicodeString());
    const std::u16string_view digits = text.view();
    TStoredPassword stored;
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    std::size_t i = 0;
    for (; i + 1 < digits.size(); i += 2) {
        const int hi = rtl::detail::HexDigitValue(digits[i]);
        const int lo = rtl::detail::HexDigitValue(digits[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        bytes += static_cast<char>((hi << 4) | lo);
    }
    stored.Intact = i == digits.size();
    stored.Bytes = AnsiString(bytes);
    return stored;
}

AnsiString PasswordFromStoredForm(const AnsiString& stored)
{
    if (stored == AnsiString(kStartupPasswordMarker) || stored == AnsiString(kMainWindowPasswordMarker))
        return AnsiString(kDefaultPassword);
    return DecodePassword(stored);
}
