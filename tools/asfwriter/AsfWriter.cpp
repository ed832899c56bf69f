#include "tools/asfwriter/AsfWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace asfwriter {

namespace {

using Guid = std::array<std::uint8_t, 16>;

// "75B22630-668E-11CF-A6D9-00AA0062CE6C" in the byte order of the file: the
// first three groups little-endian, the last two as written.
constexpr int HexDigit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c - 'a' + 10;
}

constexpr Guid MakeGuid(const char (&s)[37])
{
    std::uint8_t raw[16] = {};
    int n = 0;
    for (int i = 0; i < 36; ++i) {
        if (s[i] == '-')
            continue;
        raw[n / 2] = static_cast<std::uint8_t>(raw[n / 2] << 4 | HexDigit(s[i]));
        ++n;
    }
    Guid g{};
    const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i)
        g[i] = raw[order[i]];
    return g;
}

constexpr Guid HeaderObject = MakeGuid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
constexpr Guid DataObject = MakeGuid("75B22636-668E-11CF-A6D9-00AA0062CE6C");
constexpr Guid FilePropertiesObject = MakeGuid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
constexpr Guid StreamPropertiesObject = MakeGuid("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
constexpr Guid HeaderExtensionObject = MakeGuid("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
constexpr Guid HeaderExtensionReserved = MakeGuid("ABD3D211-A9BA-11CF-8EE6-00C00C205365");
constexpr Guid AudioMedia = MakeGuid("F8699E40-5B4D-11CF-A8FD-00805F5C442B");
constexpr Guid VideoMedia = MakeGuid("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B");
constexpr Guid CommandMedia = MakeGuid("59DACFC0-59E6-11D0-A3AC-00A0C90348F6");
constexpr Guid ExtendedStreamPropertiesObject = MakeGuid("14E6A5CB-C672-4332-8399-A96952065B5A");
constexpr Guid NoErrorCorrection = MakeGuid("20FB5700-5B55-11CF-A8FD-00805F5C442B");
constexpr Guid FileId = MakeGuid("5A1E0F1D-7E11-4C0B-9B7A-2D6E3C8F4A10");

void PutGuid(Bytes& out, const Guid& g) { out.insert(out.end(), g.begin(), g.end()); }

void StreamProperties(Bytes& out, const Guid& type, std::uint8_t number, const Bytes& typeSpecific)
{
    PutGuid(out, StreamPropertiesObject);
    PutU64(out, 78 + typeSpecific.size());
    PutGuid(out, type);
    PutGuid(out, NoErrorCorrection);
    PutU64(out, 0); // time offset
    PutU32(out, static_cast<std::uint32_t>(typeSpecific.size()));
    PutU32(out, 0); // error correction data length
    PutU16(out, number & 0x7F);
    PutU32(out, 0); // reserved
    out.insert(out.end(), typeSpecific.begin(), typeSpecific.end());
}

} // namespace

std::size_t WidthBytes(Width w)
{
    switch (w) {
    case Width::None:
        return 0;
    case Width::Byte:
        return 1;
    case Width::Word:
        return 2;
    case Width::Dword:
        return 4;
    }
    return 0;
}

void PutField(Bytes& out, Width w, std::uint64_t value)
{
    for (std::size_t i = 0; i < WidthBytes(w); ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutU8(Bytes& out, std::uint8_t v) { out.push_back(v); }
void PutU16(Bytes& out, std::uint16_t v) { PutField(out, Width::Word, v); }
void PutU32(Bytes& out, std::uint32_t v) { PutField(out, Width::Dword, v); }
void PutU64(Bytes& out, std::uint64_t v)
{
    PutU32(out, static_cast<std::uint32_t>(v));
    PutU32(out, static_cast<std::uint32_t>(v >> 32));
}

Bytes Replicated(std::uint32_t objectSize, std::uint32_t presentationMs)
{
    Bytes r;
    PutU32(r, objectSize);
    PutU32(r, presentationMs);
    return r;
}

std::size_t PacketHeaderSize(const PacketFormat& f, bool multiplePayloads)
{
    return 3 + 2 + WidthBytes(f.packetLength) + WidthBytes(f.sequence) + WidthBytes(f.padding) + 6 +
        (multiplePayloads ? 1 : 0);
}

std::size_t PayloadHeaderSize(const PacketFormat& f, bool multiplePayloads, std::size_t replicatedSize)
{
    return 1 + WidthBytes(f.mediaObjectNumber) + WidthBytes(f.offsetIntoObject) + WidthBytes(f.replicatedLength) +
        replicatedSize + (multiplePayloads ? WidthBytes(f.payloadLength) : 0);
}

Bytes EncodePacket(const Packet& p, std::size_t packetSize)
{
    const PacketFormat& f = p.format;
    if (!p.multiplePayloads && p.payloads.size() != 1 && !p.allowOverflow)
        throw std::invalid_argument("a single-payload packet holds exactly one payload");

    std::size_t content = PacketHeaderSize(f, p.multiplePayloads);
    for (const Payload& pl : p.payloads)
        content += PayloadHeaderSize(f, p.multiplePayloads, pl.replicated.size()) + pl.data.size();
    if (content > packetSize && !p.allowOverflow)
        throw std::length_error("packet content exceeds the packet size");
    const std::size_t padding = content < packetSize ? packetSize - content : 0;

    Bytes out;
    out.reserve(std::max(content, packetSize));
    PutU8(out, f.errorCorrectionFlags);
    PutU8(out, f.errorCorrection[0]);
    PutU8(out, f.errorCorrection[1]);
    const std::uint8_t lengthTypes =
        static_cast<std::uint8_t>((p.multiplePayloads ? 0x01 : 0) | static_cast<std::uint8_t>(f.sequence) << 1 |
                                  static_cast<std::uint8_t>(f.padding) << 3 |
                                  static_cast<std::uint8_t>(f.packetLength) << 5 | (f.lengthTypeBit7 ? 0x80 : 0));
    const std::uint8_t properties = static_cast<std::uint8_t>(
        static_cast<std::uint8_t>(f.replicatedLength) | static_cast<std::uint8_t>(f.offsetIntoObject) << 2 |
        static_cast<std::uint8_t>(f.mediaObjectNumber) << 4 | (f.streamNumberType & 3) << 6);
    PutU8(out, lengthTypes);
    PutU8(out, properties);
    PutField(out, f.packetLength, packetSize);
    PutField(out, f.sequence, 0);
    PutField(out, f.padding, padding);
    PutU32(out, p.sendTimeMs);
    PutU16(out, p.durationMs);
    if (p.multiplePayloads) {
        const std::uint8_t count =
            p.payloadCountField ? *p.payloadCountField : static_cast<std::uint8_t>(p.payloads.size());
        PutU8(out, static_cast<std::uint8_t>((count & 0x3F) | static_cast<std::uint8_t>(f.payloadLength) << 6));
    }
    for (const Payload& pl : p.payloads) {
        PutU8(out, static_cast<std::uint8_t>((pl.streamNumber & 0x7F) | (pl.keyFrame ? 0x80 : 0)));
        PutField(out, f.mediaObjectNumber, pl.objectNumber);
        PutField(out, f.offsetIntoObject, pl.offsetIntoObject);
        PutField(out, f.replicatedLength,
                 pl.replicatedLengthField.value_or(static_cast<std::uint32_t>(pl.replicated.size())));
        out.insert(out.end(), pl.replicated.begin(), pl.replicated.end());
        if (p.multiplePayloads)
            PutField(out, f.payloadLength, pl.lengthField.value_or(static_cast<std::uint32_t>(pl.data.size())));
        out.insert(out.end(), pl.data.begin(), pl.data.end());
    }
    out.resize(packetSize, 0);
    return out;
}

std::uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second, int ms)
{
    // Days from 1601-01-01 by the civil-from-days algorithm, shifted to March years.
    const int y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long daysFrom1970 = era * 146097 + doe - 719468;
    const long long daysFrom1601 = daysFrom1970 + 134774;
    const long long msTotal = ((daysFrom1601 * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL + ms;
    return static_cast<std::uint64_t>(msTotal) * 10000ULL;
}

AsfWriter::AsfWriter(FileOptions options) : options_(std::move(options))
{
    const Bytes h = Header();
    Emit(h.data(), h.size());
}

AsfWriter::AsfWriter(FileOptions options, const std::string& hostPath) : options_(std::move(options))
{
    file_ = std::fopen(hostPath.c_str(), "wb");
    if (!file_)
        throw std::system_error(errno, std::generic_category(), "cannot create " + hostPath);
    const Bytes h = Header();
    Emit(h.data(), h.size());
}

AsfWriter::~AsfWriter()
{
    if (file_)
        std::fclose(file_);
}

std::size_t AsfWriter::HeaderSize() const { return Header().size() - 50; }

Bytes AsfWriter::Header() const
{
    const FileOptions& o = options_;
    std::vector<Bytes> objects;

    const std::uint64_t totalPackets = o.totalPacketsField.value_or(packets_);
    const std::uint64_t playDuration =
        o.playDuration.value_or((static_cast<std::uint64_t>(lastPresentationMs_) + o.prerollMs) * 10000ULL);

    Bytes stream;
    if (o.video) {
        Bytes ts;
        PutU32(ts, o.video->width);
        PutU32(ts, o.video->height);
        PutU8(ts, 2);
        PutU16(ts, 40);
        PutU32(ts, 40); // BITMAPINFOHEADER
        PutU32(ts, o.video->width);
        PutU32(ts, o.video->height);
        PutU16(ts, 1);
        PutU16(ts, 24);
        ts.insert(ts.end(), {'M', 'J', 'P', 'G'});
        PutU32(ts, o.video->width * o.video->height * 3);
        PutU32(ts, 0);
        PutU32(ts, 0);
        PutU32(ts, 0);
        PutU32(ts, 0);
        Bytes sp;
        StreamProperties(sp, VideoMedia, o.video->number, ts);
        objects.push_back(sp);
    }
    if (o.audio) {
        Bytes ts;
        const std::uint16_t block = static_cast<std::uint16_t>(o.audio->channels * o.audio->bitsPerSample / 8);
        PutU16(ts, 1); // PCM
        PutU16(ts, o.audio->channels);
        PutU32(ts, o.audio->sampleRate);
        PutU32(ts, o.audio->sampleRate * block);
        PutU16(ts, block);
        PutU16(ts, o.audio->bitsPerSample);
        PutU16(ts, 0);
        Bytes sp;
        StreamProperties(sp, AudioMedia, o.audio->number, ts);
        objects.push_back(sp);
    }
    if (o.track) {
        Bytes sp;
        StreamProperties(sp, CommandMedia, o.track->number, {});
        objects.push_back(sp);
    }
    {
        Bytes inner;
        if (o.video && o.video->averageTimePerFrame) {
            PutGuid(inner, ExtendedStreamPropertiesObject);
            PutU64(inner, 88);
            PutU64(inner, 0); // start time
            PutU64(inner, playDuration / 10000); // end time, ms
            PutU32(inner, 4000000); // data bitrate
            PutU32(inner, 1000); // buffer size, ms
            PutU32(inner, 0); // initial buffer fullness
            PutU32(inner, 4000000); // alternate data bitrate
            PutU32(inner, 1000);
            PutU32(inner, 0);
            PutU32(inner, 0); // maximum object size
            PutU32(inner, 0); // flags
            PutU16(inner, o.video->number & 0x7F);
            PutU16(inner, 0); // language index
            PutU64(inner, o.video->averageTimePerFrame);
            PutU16(inner, 0); // stream names
            PutU16(inner, 0); // payload extension systems
        }
        Bytes ext;
        PutGuid(ext, HeaderExtensionObject);
        PutU64(ext, 46 + inner.size());
        PutGuid(ext, HeaderExtensionReserved);
        PutU16(ext, 6);
        PutU32(ext, static_cast<std::uint32_t>(inner.size()));
        ext.insert(ext.end(), inner.begin(), inner.end());
        objects.push_back(ext);
    }

    std::size_t headerSize = 30 + 104;
    for (const Bytes& b : objects)
        headerSize += b.size();
    const std::uint64_t fileSize = headerSize + 50 + packets_ * o.packetSize;

    Bytes h;
    PutGuid(h, HeaderObject);
    PutU64(h, o.headerSizeField.value_or(headerSize));
    PutU32(h, static_cast<std::uint32_t>(objects.size() + 1));
    PutU8(h, 1);
    PutU8(h, 2);

    // File Properties directly after the preamble, where the recording scan
    // expects its Creation Date (offset 78) and Play Duration (offset 94).
    PutGuid(h, FilePropertiesObject);
    PutU64(h, 104);
    PutGuid(h, FileId);
    PutU64(h, fileSize);
    PutU64(h, o.creationTime);
    PutU64(h, totalPackets);
    PutU64(h, playDuration);
    PutU64(h, playDuration); // send duration
    PutU64(h, o.prerollMs);
    PutU32(h, 0x02); // seekable
    PutU32(h, static_cast<std::uint32_t>(o.packetSize));
    PutU32(h, static_cast<std::uint32_t>(o.packetSize));
    PutU32(h, 8000000); // maximum bitrate
    for (const Bytes& b : objects)
        h.insert(h.end(), b.begin(), b.end());

    PutGuid(h, DataObject);
    PutU64(h, 50 + packets_ * o.packetSize);
    PutGuid(h, FileId);
    PutU64(h, totalPackets);
    PutU16(h, 0x0101);
    return h;
}

void AsfWriter::Emit(const std::uint8_t* data, std::size_t n)
{
    if (file_) {
        if (std::fwrite(data, 1, n, file_) != n)
            throw std::system_error(errno, std::generic_category(), "write failed");
    } else {
        memory_.insert(memory_.end(), data, data + n);
    }
    written_ += n;
}

void AsfWriter::AddPacket(const Packet& p)
{
    for (const Payload& pl : p.payloads)
        if (pl.replicated.size() >= 8) {
            std::uint32_t ms = 0;
            std::memcpy(&ms, pl.replicated.data() + 4, 4);
            NotePresentationTime(ms);
        }
    AddRawPacket(EncodePacket(p, options_.packetSize));
}

void AsfWriter::AddRawPacket(const Bytes& packet)
{
    Emit(packet.data(), packet.size());
    ++packets_;
}

void AsfWriter::NotePresentationTime(std::uint32_t ms) { lastPresentationMs_ = std::max(lastPresentationMs_, ms); }

const Bytes& AsfWriter::Finish()
{
    if (finished_)
        return memory_;
    finished_ = true;
    const Bytes h = Header();
    if (file_) {
        if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0 ||
            std::fwrite(h.data(), 1, h.size(), file_) != h.size())
            throw std::system_error(errno, std::generic_category(), "write failed");
        if (options_.truncateAt && *options_.truncateAt < written_) {
            std::fflush(file_);
            if (ftruncate(fileno(file_), static_cast<off_t>(*options_.truncateAt)) != 0)
                throw std::system_error(errno, std::generic_category(), "truncate failed");
        }
        if (std::fclose(file_) != 0) {
            file_ = nullptr;
            throw std::system_error(errno, std::generic_category(), "close failed");
        }
        file_ = nullptr;
    } else {
        std::copy(h.begin(), h.end(), memory_.begin());
        if (options_.truncateAt && *options_.truncateAt < memory_.size())
            memory_.resize(*options_.truncateAt);
    }
    return memory_;
}

Muxer::Muxer(AsfWriter& writer, MuxOptions options) : writer_(writer), options_(std::move(options))
{
    current_.format = options_.format;
    current_.multiplePayloads = options_.multiplePayloads;
}

void Muxer::Emit()
{
    if (current_.payloads.empty())
        return;
    writer_.AddPacket(current_);
    current_.payloads.clear();
    used_ = 0;
}

void Muxer::Add(const MediaObject& object)
{
    const PacketFormat& f = options_.format;
    const std::size_t packetSize = writer_.Options().packetSize;
    const bool multiple = options_.multiplePayloads;
    const std::size_t header = PacketHeaderSize(f, multiple);
    const std::size_t payloadHeader = PayloadHeaderSize(f, multiple, options_.replicatedSize);
    if (header + payloadHeader >= packetSize)
        throw std::length_error("packet format leaves no room for payload data");
    if (options_.packetPerObject)
        Emit();

    Bytes replicated = Replicated(static_cast<std::uint32_t>(object.data.size()), object.presentationMs);
    replicated.resize(options_.replicatedSize, 0);
    writer_.NotePresentationTime(object.presentationMs);

    const std::uint8_t stream = object.stream & 0x7F;
    std::size_t offset = 0;
    do {
        if (used_ == 0)
            used_ = header;
        std::size_t room = packetSize - used_;
        const std::size_t maxPayloads = 63;
        if (room <= payloadHeader || current_.payloads.size() >= maxPayloads) {
            Emit();
            used_ = header;
            room = packetSize - used_;
        }
        const std::size_t n = std::min({room - payloadHeader, object.data.size() - offset, options_.maxFragment});
        Payload pl;
        pl.streamNumber = stream;
        pl.keyFrame = object.keyFrame;
        pl.objectNumber = objectNumbers_[stream];
        pl.offsetIntoObject = static_cast<std::uint32_t>(offset);
        pl.replicated = replicated;
        pl.data.assign(object.data.begin() + static_cast<std::ptrdiff_t>(offset),
                       object.data.begin() + static_cast<std::ptrdiff_t>(offset + n));
        if (current_.payloads.empty())
            current_.sendTimeMs = object.presentationMs;
        current_.payloads.push_back(std::move(pl));
        used_ += payloadHeader + n;
        offset += n;
        if (!multiple)
            Emit();
    } while (offset < object.data.size());
    ++objectNumbers_[stream];
}

void Muxer::Flush() { Emit(); }

} // namespace asfwriter
