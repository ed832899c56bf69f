#include "tests/tracks/TrackFiles.h"

#include "platform/rtl/CodePage.h"
#include "platform/win/DriveTable.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace trackfiles {

Payload Track(const std::string& text, std::uint32_t ms, std::int64_t objectSize)
{
    Payload p;
    p.streamNumber = 3;
    p.keyFrame = true;
    p.replicated = asfwriter::Replicated(
        objectSize < 0 ? static_cast<std::uint32_t>(text.size()) : static_cast<std::uint32_t>(objectSize), ms);
    p.data.assign(text.begin(), text.end());
    return p;
}

Payload Other(std::uint8_t stream, std::size_t bytes, std::uint32_t ms)
{
    Payload p;
    p.streamNumber = stream;
    p.replicated = asfwriter::Replicated(static_cast<std::uint32_t>(bytes), ms);
    p.data.assign(bytes, 0x5A);
    return p;
}

Packet Multi(std::vector<Payload> payloads)
{
    Packet p;
    p.multiplePayloads = true;
    p.payloads = std::move(payloads);
    return p;
}

Bytes File(const std::vector<Packet>& packets, asfwriter::FileOptions options)
{
    asfwriter::AsfWriter w(std::move(options));
    for (const Packet& p : packets)
        w.AddPacket(p);
    return w.Finish();
}

Bytes FileOfRaw(const std::vector<Bytes>& packets, asfwriter::FileOptions options)
{
    asfwriter::AsfWriter w(std::move(options));
    for (const Bytes& p : packets)
        w.AddRawPacket(p);
    return w.Finish();
}

Card::Card() { win::DriveTable::Instance().SetDrive(u'T', folder_.Path()); }

Card::~Card() { win::DriveTable::Instance().Forget(u'T'); }

rtl::UnicodeString Card::WindowsPath(const std::string& name) const
{
    return rtl::UnicodeString(u"T:\\") + rtl::UnicodeString(rtl::Utf8ToUtf16(name));
}

rtl::UnicodeString Card::Put(const std::string& name, const Bytes& bytes) const
{
    std::FILE* f = std::fopen(HostPath(name).c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + HostPath(name));
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return WindowsPath(name);
}

} // namespace trackfiles
