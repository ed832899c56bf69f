// The ASF header parser: a recording of our writer read field by field, then
// hostile headers, each of which must give an error and never read out of
// bounds (the sanitizer build checks the latter).
#include <gtest/gtest.h>

#include <random>

#include "MediaFixture.h"
#include "platform/media/AsfHeader.h"
#include "tools/asfwriter/SampleRecording.h"

namespace media_test {
namespace {

using asfwriter::Bytes;

void PutLe(Bytes& b, std::size_t at, std::uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t GetLe(const Bytes& b, std::size_t at, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= std::uint64_t(b[at + i]) << (8 * i);
    return v;
}

// Offset of the first child object with this GUID's first four bytes.
std::size_t FindObject(const Bytes& b, std::uint32_t data1)
{
    std::size_t at = 30;
    while (at + 24 <= b.size()) {
        if (GetLe(b, at, 4) == data1)
            return at;
        at += static_cast<std::size_t>(GetLe(b, at + 16, 8));
    }
    return 0;
}

constexpr std::uint32_t kFileProps = 0x8CABDCA1;
constexpr std::uint32_t kStreamProps = 0xB7DC0791;

TEST(AsfHeader, ReadsTheWritersRecording)
{
    Recording r;
    r.playDurationMs = 60000;
    r.prerollMs = 3000;
    r.width = 640;
    r.height = 480;
    Bytes bytes = RecordingBytes(r);
    AsfParseResult parsed = ParseAsfHeader(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed.header) << static_cast<int>(parsed.error);
    const AsfHeader& h = *parsed.header;

    EXPECT_EQ(h.playDuration, 630000000u);
    EXPECT_EQ(h.prerollMs, 3000u);
    EXPECT_EQ(h.Duration(), 600000000);
    EXPECT_EQ(h.flags, 2u);
    ASSERT_EQ(h.streams.size(), 3u);

    AsfStream video;
    video.number = 1;
    video.kind = AsfStreamKind::Video;
    video.video = AsfVideoFormat{640, 480, 24, 0x47504A4D};
    AsfStream audio;
    audio.number = 2;
    audio.kind = AsfStreamKind::Audio;
    audio.audio = AsfAudioFormat{1, 1, 8000, 16000, 2, 16};
    AsfStream track;
    track.number = 3;
    EXPECT_EQ(h.streams[0], video);
    EXPECT_EQ(h.streams[1], audio);
    EXPECT_EQ(h.streams[2], track);
    EXPECT_EQ(h.FirstOf(AsfStreamKind::Audio), &h.streams[1]);
}

TEST(AsfHeader, ReadsASampleRecordingWithItsDataPackets)
{
    asfwriter::SampleOptions o;
    o.seconds = 2;
    o.width = 64;
    o.height = 48;
    o.prerollMs = 1000;
    Bytes bytes = asfwriter::SampleRecordingBytes(o);
    AsfParseResult parsed = ParseAsfHeader(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed.header) << static_cast<int>(parsed.error);
    EXPECT_EQ(parsed.header->prerollMs, 1000u);
    EXPECT_GT(parsed.header->Duration(), 10000000); // about two seconds
    EXPECT_LE(parsed.header->Duration(), 20000000);
    const AsfStream* video = parsed.header->FirstOf(AsfStreamKind::Video);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->video, (AsfVideoFormat{64, 48, 24, 0x47504A4D}));
}

TEST(AsfHeader, PrerollLongerThanThePlayDurationGivesZero)
{
    AsfHeader h;
    h.playDuration = 5000;
    h.prerollMs = 1;
    EXPECT_EQ(h.Duration(), 0);
    h.prerollMs = UINT64_MAX; // the multiplication would overflow
    EXPECT_EQ(h.Duration(), 0);
}

TEST(AsfHeader, HostileHeadersAreRefused)
{
    const Bytes good = RecordingBytes(Recording{});
    const std::size_t headerSize = static_cast<std::size_t>(GetLe(good, 16, 8));
    const std::size_t file = FindObject(good, kFileProps);
    const std::size_t stream = FindObject(good, kStreamProps);
    ASSERT_NE(file, 0u);
    ASSERT_NE(stream, 0u);

    struct Case {
        const char* name;
        void (*edit)(Bytes&, std::size_t file, std::size_t stream, std::size_t headerSize);
        AsfParseError error;
    } cases[] = {
        {"not an ASF header", [](Bytes& b, std::size_t, std::size_t, std::size_t) { b[0] ^= 0xFF; },
         AsfParseError::NotAsf},
        {"header size below 30", [](Bytes& b, std::size_t, std::size_t, std::size_t) { PutLe(b, 16, 29, 8); },
         AsfParseError::BadObject},
        {"header size beyond 2^63", [](Bytes& b, std::size_t, std::size_t, std::size_t) { PutLe(b, 16, ~0ull, 8); },
         AsfParseError::BadObject},
        {"header size beyond the bytes",
         [](Bytes& b, std::size_t, std::size_t, std::size_t) { PutLe(b, 16, b.size() + 1, 8); },
         AsfParseError::Truncated},
        {"child size below 24", [](Bytes& b, std::size_t f, std::size_t, std::size_t) { PutLe(b, f + 16, 23, 8); },
         AsfParseError::BadObject},
        {"child size past its parent",
         [](Bytes& b, std::size_t f, std::size_t, std::size_t h) { PutLe(b, f + 16, h, 8); }, AsfParseError::BadObject},
        {"child size near 2^64",
         [](Bytes& b, std::size_t f, std::size_t, std::size_t) { PutLe(b, f + 16, ~0ull - 5, 8); },
         AsfParseError::BadObject},
        {"no file properties", [](Bytes& b, std::size_t f, std::size_t, std::size_t) { b[f] ^= 0xFF; },
         AsfParseError::NoFileProperties},
        {"play duration beyond 2^63",
         [](Bytes& b, std::size_t f, std::size_t, std::size_t) { PutLe(b, f + 24 + 40, ~0ull, 8); },
         AsfParseError::BadValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = good;
        c.edit(b, file, stream, headerSize);
        AsfParseResult r = ParseAsfHeader(b.data(), b.size());
        EXPECT_FALSE(r.header);
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(AsfHeader, StreamsThatCannotBeReadAreLeftOut)
{
    const Bytes good = RecordingBytes(Recording{});
    const std::size_t stream = FindObject(good, kStreamProps); // the video stream's
    // Type-specific data length past the object, format size below 40, stream number 0.
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint64_t value;
        int width;
    } cases[] = {
        {"type-specific length past the object", stream + 24 + 40, 0xFFFFFFF0u, 4},
        {"format data size below 40", stream + 24 + 54 + 9, 39, 2},
        {"stream number 0", stream + 24 + 48, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = good;
        PutLe(b, c.offset, c.value, c.width);
        AsfParseResult r = ParseAsfHeader(b.data(), b.size());
        ASSERT_TRUE(r.header);
        EXPECT_EQ(r.header->FirstOf(AsfStreamKind::Video), nullptr);
        EXPECT_EQ(r.header->streams.size(), 2u);
    }
}

TEST(AsfHeader, AHeaderWithoutStreamsIsRefused)
{
    Recording r;
    r.video = r.audio = r.track = false;
    Bytes b = RecordingBytes(r);
    EXPECT_EQ(ParseAsfHeader(b.data(), b.size()).error, AsfParseError::NoStreams);
}

TEST(AsfHeader, EveryCutOfTheHeaderIsRefusedAndNothingReadsPastIt)
{
    const Bytes good = RecordingBytes(Recording{});
    const std::size_t headerSize = static_cast<std::size_t>(GetLe(good, 16, 8));
    for (std::size_t n = 0; n < headerSize; ++n) {
        // An exact-size copy, so a read past it is caught by the sanitizer.
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        AsfParseResult r = ParseAsfHeader(cut.data(), cut.size());
        EXPECT_FALSE(r.header) << "cut at " << n;
    }
    EXPECT_FALSE(ParseAsfHeader(nullptr, 100).header);
    EXPECT_FALSE(PeekAsfHeaderSize(good.data(), 29));
    EXPECT_EQ(PeekAsfHeaderSize(good.data(), 30), std::optional<std::uint64_t>(headerSize));
}

TEST(AsfHeader, RandomDamageNeverCrashes)
{
    const Bytes good = RecordingBytes(Recording{});
    const std::size_t headerSize = static_cast<std::size_t>(GetLe(good, 16, 8));
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> b(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(headerSize));
        int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i)
            b[random() % b.size()] = static_cast<std::uint8_t>(random());
        AsfParseResult r = ParseAsfHeader(b.data(), b.size());
        if (r.header) {
            EXPECT_GE(r.header->Duration(), 0);
            EXPECT_LE(r.header->streams.size(), 127u);
        }
    }
}

} // namespace
} // namespace media_test
