// The header objects of an ASF file, as the source filter needs them: play
// duration, preroll, and one entry per stream with its format.
//
// The parser works on a (pointer, length) view of the bytes read from the
// start of the file and never reads past it; every object length is checked
// against what is left before it is used. A hostile file gives an error,
// never a crash or an out-of-bounds read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace media {

// A GUID as stored in an ASF file: Data1..Data3 little-endian, Data4 as bytes.
// Kept as the 16 raw bytes so the parser needs no COM types.
struct AsfGuid {
    std::uint8_t bytes[16] = {};
    friend bool operator==(const AsfGuid&, const AsfGuid&) = default;
};

// Builds the file form of "{d1-d2-d3-d4[0..1]-d4[2..7]}".
AsfGuid MakeAsfGuid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint64_t d4BigEndian);

enum class AsfStreamKind { Video, Audio, Other };

struct AsfVideoFormat {
    std::int32_t width = 0; // BITMAPINFOHEADER biWidth
    std::int32_t height = 0; // biHeight (sign kept as stored)
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0; // FourCC, e.g. 'MJPG' as 0x47504A4D
    friend bool operator==(const AsfVideoFormat&, const AsfVideoFormat&) = default;
};

struct AsfAudioFormat {
    std::uint16_t formatTag = 0; // 1 = PCM
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    friend bool operator==(const AsfAudioFormat&, const AsfAudioFormat&) = default;
};

struct AsfStream {
    std::uint8_t number = 0; // 1..127
    AsfStreamKind kind = AsfStreamKind::Other;
    AsfVideoFormat video; // meaningful for Video
    AsfAudioFormat audio; // meaningful for Audio
    std::int64_t avgTimePerFrame = 0; // 100 ns, from the extended stream properties; 0 = absent
    friend bool operator==(const AsfStream&, const AsfStream&) = default;
};

struct AsfHeader {
    std::uint64_t headerSize = 0; // size of the header object in bytes
    std::uint64_t fileSize = 0; // as the file properties state it
    std::uint64_t creationDate = 0; // FILETIME
    std::uint64_t packetCount = 0;
    std::uint64_t playDuration = 0; // 100 ns, preroll included
    std::uint64_t sendDuration = 0; // 100 ns
    std::uint64_t prerollMs = 0; // milliseconds
    std::uint32_t flags = 0; // 1 broadcast, 2 seekable
    std::uint32_t packetSize = 0; // minimum data packet size
    std::vector<AsfStream> streams; // in header order

    // Presentation length: play duration less the preroll, never negative.
    std::int64_t Duration() const;

    const AsfStream* FirstOf(AsfStreamKind kind) const;

    friend bool operator==(const AsfHeader&, const AsfHeader&) = default;
};

enum class AsfParseError {
    None,
    Truncated, // fewer bytes than the header object claims (or than 30)
    NotAsf, // the first object is not the header object
    BadObject, // an object's size is below 24 or runs past its parent
    NoFileProperties, // no (or a short) file properties object
    NoStreams, // no usable stream properties object
    BadValue, // a value no real file can hold (duration beyond 2^63)
};

struct AsfParseResult {
    std::optional<AsfHeader> header;
    AsfParseError error = AsfParseError::None;
};

// The header object is at most this large; a file claiming more is refused
// before anything is allocated for it.
inline constexpr std::uint64_t kAsfMaxHeaderSize = 16u * 1024u * 1024u;
// Bytes the header object itself takes before its first child.
inline constexpr std::size_t kAsfHeaderObjectPrefix = 30;

// Parses the header object at the start of `data`. `size` may be larger than
// the header (the start of the data object follows); only the header's own
// bytes are read.
AsfParseResult ParseAsfHeader(const std::uint8_t* data, std::size_t size);

// Size the header object claims, read from the first 30 bytes; nullopt when
// they are missing or are not an ASF header object, or the size is out of
// range (below 30 or above kAsfMaxHeaderSize).
std::optional<std::uint64_t> PeekAsfHeaderSize(const std::uint8_t* data, std::size_t size);

} // namespace media
