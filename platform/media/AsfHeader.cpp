#include "platform/media/AsfHeader.h"

#include <cstring>
#include <limits>

namespace media {

AsfGuid MakeAsfGuid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint64_t d4)
{
    AsfGuid g;
    for (int i = 0; i < 4; ++i)
        g.bytes[i] = static_cast<std::uint8_t>(d1 >> (8 * i));
    for (int i = 0; i < 2; ++i)
        g.bytes[4 + i] = static_cast<std::uint8_t>(d2 >> (8 * i));
    for (int i = 0; i < 2; ++i)
        g.bytes[6 + i] = static_cast<std::uint8_t>(d3 >> (8 * i));
    for (int i = 0; i < 8; ++i)
        g.bytes[8 + i] = static_cast<std::uint8_t>(d4 >> (8 * (7 - i)));
    return g;
}

namespace {

const AsfGuid kHeaderObject = MakeAsfGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull);
const AsfGuid kFileProperties = MakeAsfGuid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE400C00C205365ull);
const AsfGuid kStreamProperties = MakeAsfGuid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE600C00C205365ull);
const AsfGuid kHeaderExtension = MakeAsfGuid(0x5FBF03B5, 0xA92E, 0x11CF, 0x8EE300C00C205365ull);
const AsfGuid kExtendedStreamProperties = MakeAsfGuid(0x14E6A5CB, 0xC672, 0x4332, 0x8399A96952065B5Aull);
const AsfGuid kAudioMedia = MakeAsfGuid(0xF8699E40, 0x5B4D, 0x11CF, 0xA8FD00805F5C442Bull);
const AsfGuid kVideoMedia = MakeAsfGuid(0xBC19EFC0, 0x5B4D, 0x11CF, 0xA8FD00805F5C442Bull);

constexpr std::size_t kObjectPrefix = 24; // GUID + 64-bit size

// A bounded little-endian reader over one object's bytes. A read past the
// end sets `ok` to false and yields zeros, so callers check once at the end.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    std::size_t left() const { return size_ - pos_; }
    const std::uint8_t* here() const { return data_ + pos_; }

    bool skip(std::size_t n)
    {
        if (!ok_ || n > left()) {
            ok_ = false;
            return false;
        }
        pos_ += n;
        return true;
    }
    std::uint64_t u(int bytes)
    {
        if (!ok_ || static_cast<std::size_t>(bytes) > left()) {
            ok_ = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint64_t(data_[pos_ + i]) << (8 * i);
        pos_ += bytes;
        return v;
    }
    std::uint8_t u8() { return static_cast<std::uint8_t>(u(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(u(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(u(4)); }
    std::uint64_t u64() { return u(8); }
    AsfGuid guid()
    {
        AsfGuid g;
        if (!ok_ || left() < 16) {
            ok_ = false;
            return g;
        }
        std::memcpy(g.bytes, data_ + pos_, 16);
        pos_ += 16;
        return g;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

struct Object {
    AsfGuid id;
    const std::uint8_t* body; // after the 24-byte prefix
    std::size_t bodySize;
};

// Walks the children laid out in [data, data+size). Returns false when a
// child's size is below 24 or runs past the end; trailing bytes shorter than
// one object prefix are tolerated (some writers pad).
template <class F>
bool ForEachObject(const std::uint8_t* data, std::size_t size, F&& f)
{
    Reader r(data, size);
    while (r.left() >= kObjectPrefix) {
        const std::uint8_t* start = r.here();
        AsfGuid id = r.guid();
        std::uint64_t objSize = r.u64();
        if (objSize < kObjectPrefix || objSize - kObjectPrefix > r.left())
            return false;
        std::size_t body = static_cast<std::size_t>(objSize - kObjectPrefix);
        f(Object{id, start + kObjectPrefix, body});
        r.skip(body);
    }
    return true;
}

/*
  Stream properties object body (after GUID and size), a video stream:
    BC19EFC0-...            stream type (video)            16
    20FB5700-...            error correction type          16
    00 00 00 00 00 00 00 00 time offset                     8
    33 00 00 00             type-specific data length = 51  4
    00 00 00 00             error correction data length    4
    01 00                   flags: stream number 1          2
    00 00 00 00             reserved                        4
    type-specific: width 4, height 4, reserved 1, format size 2, BITMAPINFOHEADER 40
*/
std::optional<AsfStream> ParseStreamProperties(const Object& o)
{
    Reader r(o.body, o.bodySize);
    AsfGuid type = r.guid();
    r.guid(); // error correction type
    r.u64(); // time offset
    std::uint32_t typeLen = r.u32();
    std::uint32_t ecLen = r.u32();
    std::uint16_t flags = r.u16();
    r.u32(); // reserved
    if (!r.ok() || typeLen > r.left() || ecLen > r.left() - typeLen)
        return std::nullopt;
    AsfStream s;
    s.number = static_cast<std::uint8_t>(flags & 0x7F);
    if (s.number == 0)
        return std::nullopt;
    Reader t(r.here(), typeLen);
    if (type == kVideoMedia) {
        s.kind = AsfStreamKind::Video;
        t.u32(); // encoded width
        t.u32(); // encoded height
        t.u8(); // reserved flags
        std::uint16_t formatSize = t.u16();
        if (!t.ok() || formatSize < 40 || formatSize > t.left())
            return std::nullopt;
        t.u32(); // biSize
        s.video.width = static_cast<std::int32_t>(t.u32());
        s.video.height = static_cast<std::int32_t>(t.u32());
        t.u16(); // planes
        s.video.bitCount = t.u16();
        s.video.compression = t.u32();
        if (!t.ok())
            return std::nullopt;
    } else if (type == kAudioMedia) {
        s.kind = AsfStreamKind::Audio;
        s.audio.formatTag = t.u16();
        s.audio.channels = t.u16();
        s.audio.samplesPerSec = t.u32();
        s.audio.avgBytesPerSec = t.u32();
        s.audio.blockAlign = t.u16();
        s.audio.bitsPerSample = t.u16();
        if (!t.ok())
            return std::nullopt;
    } else {
        s.kind = AsfStreamKind::Other;
    }
    return s;
}

// Extended stream properties: the average time per frame of one stream.
void ParseExtendedStreamProperties(const Object& o, std::vector<std::pair<int, std::int64_t>>& out)
{
    Reader r(o.body, o.bodySize);
    r.skip(8 + 8 + 4 * 8); // start, end, bitrates, buffers, max object size, flags
    std::uint16_t number = r.u16();
    r.u16(); // language index
    std::uint64_t avg = r.u64();
    if (!r.ok() || avg > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return;
    out.emplace_back(number & 0x7F, static_cast<std::int64_t>(avg));
}

} // namespace

std::int64_t AsfHeader::Duration() const
{
    // Both are below 2^63 after parsing; the preroll in 100 ns may not be.
    std::uint64_t preroll100ns = prerollMs > playDuration / 10000 ? playDuration : prerollMs * 10000;
    return static_cast<std::int64_t>(playDuration - preroll100ns);
}

const AsfStream* AsfHeader::FirstOf(AsfStreamKind kind) const
{
    for (const AsfStream& s : streams)
        if (s.kind == kind)
            return &s;
    return nullptr;
}

std::optional<std::uint64_t> PeekAsfHeaderSize(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < kAsfHeaderObjectPrefix)
        return std::nullopt;
    Reader r(data, size);
    if (!(r.guid() == kHeaderObject))
        return std::nullopt;
    std::uint64_t objSize = r.u64();
    if (objSize < kAsfHeaderObjectPrefix || objSize > kAsfMaxHeaderSize)
        return std::nullopt;
    return objSize;
}

/*
  The header object as a recording starts, byte by byte:
    30 26 B2 75 8E 66 CF 11 A6 D9 00 AA 00 62 CE 6C   header object GUID
    5E 02 00 00 00 00 00 00                           object size (606 bytes)
    05 00 00 00                                       child objects (not trusted)
    01 02                                             reserved
    A1 DC AB 8C 47 A9 CF 11 8E E4 00 C0 0C 20 53 65   file properties GUID
    68 00 00 00 00 00 00 00                           its size (104)
    ... file id, file size, creation date, packets, play duration,
    send duration, preroll (ms), flags, packet sizes, bitrate
  then stream properties objects (one per stream), the header extension,
  and the data object after the header.
*/
AsfParseResult ParseAsfHeader(const std::uint8_t* data, std::size_t size)
{
    AsfParseResult result;
    auto fail = [&](AsfParseError e) {
        result.error = e;
        return result;
    };
    if (data == nullptr || size < kAsfHeaderObjectPrefix)
        return fail(AsfParseError::Truncated);
    Reader r(data, size);
    if (!(r.guid() == kHeaderObject))
        return fail(AsfParseError::NotAsf);
    std::uint64_t objSize = r.u64();
    if (objSize < kAsfHeaderObjectPrefix || objSize > kAsfMaxHeaderSize)
        return fail(AsfParseError::BadObject);
    if (objSize > size)
        return fail(AsfParseError::Truncated);
    r.u32(); // object count: not trusted, the children are walked by size
    r.u16(); // reserved 1, 2

    AsfHeader h;
    h.headerSize = objSize;
    bool haveFile = false;
    bool badChild = false;
    std::vector<std::pair<int, std::int64_t>> frameTimes;
    const std::uint8_t* children = data + kAsfHeaderObjectPrefix;
    std::size_t childrenSize = static_cast<std::size_t>(objSize) - kAsfHeaderObjectPrefix;

    bool walked = ForEachObject(children, childrenSize, [&](const Object& o) {
        if (o.id == kFileProperties && !haveFile) {
            Reader f(o.body, o.bodySize);
            f.guid(); // file id
            h.fileSize = f.u64();
            h.creationDate = f.u64();
            h.packetCount = f.u64();
            h.playDuration = f.u64();
            h.sendDuration = f.u64();
            h.prerollMs = f.u64();
            h.flags = f.u32();
            h.packetSize = f.u32();
            f.u32(); // maximum packet size
            f.u32(); // maximum bitrate
            haveFile = f.ok();
        } else if (o.id == kStreamProperties) {
            if (auto s = ParseStreamProperties(o)) {
                bool dup = false;
                for (const AsfStream& e : h.streams)
                    dup = dup || e.number == s->number;
                if (!dup)
                    h.streams.push_back(*s);
            }
        } else if (o.id == kHeaderExtension) {
            Reader x(o.body, o.bodySize);
            x.guid(); // reserved field 1
            x.u16(); // reserved field 2
            std::uint32_t dataSize = x.u32();
            if (!x.ok() || dataSize > x.left()) {
                badChild = true;
                return;
            }
            if (!ForEachObject(x.here(), dataSize, [&](const Object& e) {
                    if (e.id == kExtendedStreamProperties)
                        ParseExtendedStreamProperties(e, frameTimes);
                }))
                badChild = true;
        }
    });
    if (!walked || badChild)
        return fail(AsfParseError::BadObject);
    if (!haveFile)
        return fail(AsfParseError::NoFileProperties);
    constexpr std::uint64_t kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (h.playDuration > kMax || h.sendDuration > kMax)
        return fail(AsfParseError::BadValue);
    if (h.streams.empty())
        return fail(AsfParseError::NoStreams);
    for (const auto& [number, avg] : frameTimes)
        for (AsfStream& s : h.streams)
            if (s.number == number)
                s.avgTimePerFrame = avg;
    result.header = std::move(h);
    return result;
}

} // namespace media
