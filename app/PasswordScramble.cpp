#include "app/PasswordScramble.h"

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kKeyLength = sizeof(kPasswordKey) - 1;

std::string Scramble(const std::string& in, bool encode)
{
    std::string out(in.size(), '\0');
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto k = static_cast<unsigned char>(kPasswordKey[i % kKeyLength]);
        const auto b = static_cast<unsigned char>(in[i]);
        const unsigned value = encode ? ((k ^ b) + 48u) : ((b - 48u) ^ k);
        out[i] = static_cast<char>(value & 0xFFu);
    }
    return out;
}

} // namespace

AnsiString EncodePassword(const AnsiString& password)
{
    return AnsiString(Scramble(password.str(), true));
}

AnsiString DecodePassword(const AnsiString& stored)
{
    return AnsiString(Scramble(stored.str(), false));
}

AnsiString ReadStoredPassword(const TIniFile& settings, const UnicodeString& section, const UnicodeString& key)
{
    TMemoryStream stream;
    const std::int32_t count = settings.ReadBinaryStream(section, key, stream);
    const auto* bytes = static_cast<const char*>(stream.Memory());
    if (!bytes || count <= 0)
        return AnsiString();
    // Never more than the stream holds, whatever the count says.
    const std::size_t held =
        std::min(static_cast<std::size_t>(count), static_cast<std::size_t>(std::max<std::int64_t>(stream.Size(), 0)));
    const std::string_view view(bytes, held);
    return AnsiString(view.substr(0, view.find('\0')));
}
