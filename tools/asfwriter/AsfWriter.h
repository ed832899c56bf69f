// Our own writer of ASF recordings: the test media of the track reader, the
// benchmark and the sample card. It writes standard ASF (a Header Object with
// File Properties and Stream Properties, a Data Object, fixed-size data
// packets) and, for the reader's hostile cases, lets every field width and
// flag of a data packet be chosen, payload lengths and counts be falsified,
// and the file be cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace asfwriter {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t DefaultPacketSize = 3200;

// A 2-bit length type of the packet format: the width of the field it governs.
enum class Width : std::uint8_t { None = 0, Byte = 1, Word = 2, Dword = 3 };

std::size_t WidthBytes(Width w);

// Appends value as a little-endian field of the given width (cut to it).
void PutField(Bytes& out, Width w, std::uint64_t value);
void PutU8(Bytes& out, std::uint8_t v);
void PutU16(Bytes& out, std::uint16_t v);
void PutU32(Bytes& out, std::uint32_t v);
void PutU64(Bytes& out, std::uint64_t v);

// The layout of a data packet, byte by byte:
//   82 00 00   error correction flags, two error correction bytes
//   11         length type flags: multiple payloads, padding length a word
//   5D         property flags: replicated length byte, offset dword,
//              object number byte, stream number byte
//   .. ..      packet length, sequence, padding length (by their types)
//   xx xx xx xx  send time, xx xx  duration
//   [payload flags]  number of payloads and payload length type (multiple only)
struct PacketFormat {
    std::uint8_t errorCorrectionFlags = 0x82;
    std::uint8_t errorCorrection[2] = {0, 0};
    Width packetLength = Width::None;
    Width sequence = Width::None;
    Width padding = Width::Word;
    Width mediaObjectNumber = Width::Byte;
    Width offsetIntoObject = Width::Dword;
    Width replicatedLength = Width::Byte;
    std::uint8_t streamNumberType = 1; // bits 6-7 of the property flags
    Width payloadLength = Width::Word; // multiple payloads only
    bool lengthTypeBit7 = false;
};

struct Payload {
    std::uint8_t streamNumber = 0; // 1..127
    bool keyFrame = false;
    std::uint32_t objectNumber = 0;
    std::uint32_t offsetIntoObject = 0;
    Bytes replicated;
    Bytes data;
    // Written in place of the true payload length (multiple payloads only).
    std::optional<std::uint32_t> lengthField;
    // Written in place of the true replicated data length.
    std::optional<std::uint32_t> replicatedLengthField;
};

// Standard replicated data: media object size, then presentation time in ms.
Bytes Replicated(std::uint32_t objectSize, std::uint32_t presentationMs);

struct Packet {
    PacketFormat format;
    bool multiplePayloads = true;
    std::vector<Payload> payloads;
    std::optional<std::uint8_t> payloadCountField; // written in place of the count (6 bits)
    std::uint32_t sendTimeMs = 0;
    std::uint16_t durationMs = 0;
    // Cut the packet to its size instead of refusing content that does not fit.
    bool allowOverflow = false;
};

// Bytes of the packet header up to and including the payload flags.
std::size_t PacketHeaderSize(const PacketFormat& f, bool multiplePayloads);
// Bytes of one payload's header (stream number to payload length).
std::size_t PayloadHeaderSize(const PacketFormat& f, bool multiplePayloads, std::size_t replicatedSize);

// Encodes one packet of exactly packetSize bytes; what the payloads leave is
// zero padding. Throws std::length_error when the content does not fit and
// overflow is not allowed.
Bytes EncodePacket(const Packet& p, std::size_t packetSize = DefaultPacketSize);

struct VideoStream {
    std::uint8_t number = 1;
    std::uint32_t width = 320;
    std::uint32_t height = 240;
    // Average time per frame in 100 ns units, written in an Extended Stream
    // Properties object of the Header Extension; 0 writes none.
    std::uint64_t averageTimePerFrame = 0;
};

struct AudioStream {
    std::uint8_t number = 2;
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 8000;
    std::uint16_t bitsPerSample = 16;
};

struct TrackStream {
    std::uint8_t number = 3;
};

struct FileOptions {
    // Creation Date in 100 ns units since 1601-01-01, as the recorder writes
    // it: its local clock taken as if it were UTC (see FileTimeOf).
    std::uint64_t creationTime = 0;
    std::uint64_t prerollMs = 0;
    // Play Duration in 100 ns units; default: last presentation time + preroll.
    std::optional<std::uint64_t> playDuration;
    std::optional<VideoStream> video = VideoStream{};
    std::optional<AudioStream> audio = AudioStream{};
    std::optional<TrackStream> track = TrackStream{};
    std::size_t packetSize = DefaultPacketSize;
    // Written in place of the true Total Data Packets (Data Object) and Data
    // Packets Count (File Properties).
    std::optional<std::uint64_t> totalPacketsField;
    // Written in place of the Header Object size (the Data Object's offset).
    std::optional<std::uint64_t> headerSizeField;
    // The finished file is cut to this many bytes.
    std::optional<std::uint64_t> truncateAt;
};

// 100 ns units since 1601-01-01 for a calendar date and time (proleptic
// Gregorian, no time zone).
std::uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second, int ms = 0);

// Writes one recording, to memory or to a file. Packets are added in file
// order; Finish() writes the header again with the final counts.
class AsfWriter {
public:
    explicit AsfWriter(FileOptions options); // into memory
    AsfWriter(FileOptions options, const std::string& hostPath); // into a file; throws on failure
    ~AsfWriter();
    AsfWriter(const AsfWriter&) = delete;
    AsfWriter& operator=(const AsfWriter&) = delete;

    void AddPacket(const Packet& p);
    void AddRawPacket(const Bytes& packet); // any length, written as given
    // The highest presentation time seen, for the default play duration.
    void NotePresentationTime(std::uint32_t ms);

    // Completes the file; returns the bytes when writing into memory.
    const Bytes& Finish();

    std::uint64_t PacketCount() const { return packets_; }
    std::size_t HeaderSize() const;
    const FileOptions& Options() const { return options_; }

private:
    Bytes Header() const;
    void Emit(const std::uint8_t* data, std::size_t n);

    FileOptions options_;
    Bytes memory_;
    std::FILE* file_ = nullptr;
    std::uint64_t packets_ = 0;
    std::uint64_t written_ = 0;
    std::uint32_t lastPresentationMs_ = 0;
    bool finished_ = false;
};

// One media object of a stream, before it is cut into payloads.
struct MediaObject {
    std::uint8_t stream = 0;
    std::uint32_t presentationMs = 0;
    bool keyFrame = false;
    Bytes data;
};

struct MuxOptions {
    PacketFormat format;
    bool multiplePayloads = true;
    // Largest payload data; bigger objects are split into several payloads.
    std::size_t maxFragment = SIZE_MAX;
    // Bytes of replicated data per payload: 8 is standard; fewer cut it short,
    // more append zero bytes.
    std::size_t replicatedSize = 8;
    // Start a new packet for every object.
    bool packetPerObject = false;
};

// Cuts media objects into payloads and packs them into packets.
class Muxer {
public:
    Muxer(AsfWriter& writer, MuxOptions options);
    void Add(const MediaObject& object);
    void Flush(); // emits the packet under construction, if any

private:
    void Emit();
    AsfWriter& writer_;
    MuxOptions options_;
    Packet current_;
    std::size_t used_ = 0;
    std::uint32_t objectNumbers_[128] = {};
};

} // namespace asfwriter
