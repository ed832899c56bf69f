#include "platform/vcl/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/win/HostFileIo.h"

namespace vcl {

namespace {

const std::array<std::uint32_t, 256>& CrcTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i)
        crc = CrcTable()[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data)
{
    PutBE32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(out.data() + typeAt, data.size() + 4));
}

// zlib stream of stored deflate blocks (at most 65535 bytes each).
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out;
    out.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
    out.push_back(0x78);
    out.push_back(0x01);
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n));
        out.push_back(static_cast<std::uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(out, (b << 16) | a);
    return out;
}

} // namespace

std::vector<std::uint8_t> PngWriter::Encode(const PixelBuffer& picture)
{
    const int w = picture.Empty() ? 1 : picture.Width();
    const int h = picture.Empty() ? 1 : picture.Height();

    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(h) * (1 + static_cast<std::size_t>(w) * 3));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = picture.Pixel(x, y);
            raw.push_back(static_cast<std::uint8_t>(p >> 16));
            raw.push_back(static_cast<std::uint8_t>(p >> 8));
            raw.push_back(static_cast<std::uint8_t>(p));
        }
    }

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBE32(header, static_cast<std::uint32_t>(w));
    PutBE32(header, static_cast<std::uint32_t>(h));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", ZlibStored(raw));
    PutChunk(out, "IEND", {});
    return out;
}

bool PngWriter::Save(const PixelBuffer& picture, const std::string& hostPath)
{
    const std::vector<std::uint8_t> bytes = Encode(picture);
    std::FILE* f = win::OpenRegularCFile(hostPath, "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!(written && closed))
        std::remove(hostPath.c_str());
    return written && closed;
}

} // namespace vcl
