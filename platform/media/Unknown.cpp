#include "platform/media/Unknown.h"

#include "platform/rtl/detail/Hex.h"

namespace media {

namespace {

std::atomic<long> liveObjects{0};

constexpr char16_t kHex[] = u"0123456789ABCDEF";

void AppendHex(std::u16string& out, std::uint64_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.push_back(kHex[(value >> shift) & 0xF]);
}

bool ReadHex(std::u16string_view text, std::size_t at, int digits, std::uint64_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        int d = rtl::detail::HexDigitValue(text[at + i]);
        if (d < 0)
            return false;
        value = value << 4 | static_cast<unsigned>(d);
    }
    return true;
}

} // namespace

long LiveObjectCount() { return liveObjects.load(); }

void detail::CountLiveObject(long delta) { liveObjects.fetch_add(delta); }

std::u16string GuidToString(const GUID& g)
{
    std::u16string out = u"{";
    AppendHex(out, g.Data1, 8);
    out += u'-';
    AppendHex(out, g.Data2, 4);
    out += u'-';
    AppendHex(out, g.Data3, 4);
    out += u'-';
    AppendHex(out, g.Data4[0], 2);
    AppendHex(out, g.Data4[1], 2);
    out += u'-';
    for (int i = 2; i < 8; ++i)
        AppendHex(out, g.Data4[i], 2);
    out += u'}';
    return out;
}

// "{083863F1-70DE-11D0-BD40-00A0C911CE86}": 38 characters, dashes at 9, 14, 19, 24.
bool StringToGuid(std::u16string_view t, GUID& out)
{
    if (t.size() != 38 || t[0] != u'{' || t[37] != u'}' || t[9] != u'-' || t[14] != u'-' || t[19] != u'-' ||
        t[24] != u'-')
        return false;
    GUID g{};
    std::uint64_t v = 0;
    if (!ReadHex(t, 1, 8, v))
        return false;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!ReadHex(t, 10, 4, v))
        return false;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(t, 15, 4, v))
        return false;
    g.Data3 = static_cast<std::uint16_t>(v);
    for (int i = 0; i < 2; ++i) {
        if (!ReadHex(t, 20 + 2 * i, 2, v))
            return false;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    for (int i = 0; i < 6; ++i) {
        if (!ReadHex(t, 25 + 2 * i, 2, v))
            return false;
        g.Data4[2 + i] = static_cast<std::uint8_t>(v);
    }
    out = g;
    return true;
}

} // namespace media
