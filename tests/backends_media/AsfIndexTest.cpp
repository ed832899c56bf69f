// The index read from the packet headers is the one the demuxer gives, for
// every layout it takes; the others it leaves to the demuxer.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

#include "Recordings.h"
#include "platform/backends/ffmpeg/AsfIndex.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace backends_test {
namespace {

// The entries of ASF stream `number` as libavformat reads them, in its order.
std::vector<ffmpeg::IndexEntry> DemuxerIndex(const std::string& path, int number)
{
    std::vector<ffmpeg::IndexEntry> out;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), av_find_input_format("asf"), nullptr) < 0)
        return out;
    int stream = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (format->streams[i]->id == number)
            stream = static_cast<int>(i);
    AVPacket* packet = av_packet_alloc();
    while (stream >= 0 && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream && packet->pts != AV_NOPTS_VALUE)
            out.push_back({packet->pts * 10000, packet->pos, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return out;
}

void ExpectSame(const std::vector<ffmpeg::IndexEntry>& a, const std::vector<ffmpeg::IndexEntry>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].time, b[i].time);
        EXPECT_EQ(a[i].pos, b[i].pos);
        EXPECT_EQ(a[i].key, b[i].key);
    }
}

class AsfIndexTest : public ::testing::Test {
protected:
    test_support::TempFolder folder_{"vm-asf-index"};

    std::string Write(const std::string& name, const asfwriter::Bytes& bytes)
    {
        std::string path = folder_.Path() + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

TEST_F(AsfIndexTest, TheRecordersLayoutsGiveWhatTheDemuxerGives)
{
    struct Case {
        const char* name;
        std::uint32_t prerollMs;
        bool multiplePayloads;
        std::size_t maxFragment;
        bool packetPerObject;
        asfwriter::Width packetLength;
    };
    const Case cases[] = {
        {"as the recorder writes", 0, true, SIZE_MAX, false, asfwriter::Width::None},
        {"with a preroll", 3000, true, SIZE_MAX, false, asfwriter::Width::None},
        {"one payload a packet", 0, false, 1000, false, asfwriter::Width::None},
        {"objects in many fragments", 500, true, 700, false, asfwriter::Width::Word},
        {"a packet for each object", 0, true, SIZE_MAX, true, asfwriter::Width::Dword},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        asfwriter::SampleOptions o = Sample(3, 10);
        o.prerollMs = c.prerollMs;
        o.mux.multiplePayloads = c.multiplePayloads;
        o.mux.maxFragment = c.maxFragment;
        o.mux.packetPerObject = c.packetPerObject;
        o.mux.format.packetLength = c.packetLength;
        const std::string path = Write("r.asf", asfwriter::SampleRecordingBytes(o));
        for (int stream : {1, 2, 3}) {
            SCOPED_TRACE(stream);
            std::vector<ffmpeg::IndexEntry> ours;
            ASSERT_TRUE(ffmpeg::ReadAsfIndex(path, stream, ours));
            const std::vector<ffmpeg::IndexEntry> theirs = DemuxerIndex(path, stream);
            ASSERT_FALSE(theirs.empty());
            ExpectSame(ours, theirs);
        }
    }
}

// A file cut short, damaged or of another layout is the demuxer's: the
// decoder plays it as before.
TEST_F(AsfIndexTest, WhatItDoesNotTakeIsLeftToTheDemuxer)
{
    const asfwriter::SampleOptions o = Sample(3, 10);
    const asfwriter::Bytes good = asfwriter::SampleRecordingBytes(o);
    asfwriter::SampleOptions compressed = o;
    compressed.mux.replicatedSize = 1;
    // Two packets' worth: at least one packet header is hit.
    asfwriter::Bytes damaged = good;
    for (std::size_t i = good.size() / 2; i < good.size() / 2 + 2 * asfwriter::DefaultPacketSize; ++i)
        damaged[i] = 0xEE;
    const struct {
        const char* name;
        asfwriter::Bytes bytes;
    } cases[] = {
        {"cut short", asfwriter::Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() * 2 / 3))},
        {"damaged packets", damaged},
        {"no time in the payloads", asfwriter::SampleRecordingBytes(compressed)},
        {"no recording", asfwriter::Bytes(100, 0x30)},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write("r.asf", c.bytes);
        std::vector<ffmpeg::IndexEntry> ours{{1, 2, true}};
        EXPECT_FALSE(ffmpeg::ReadAsfIndex(path, 1, ours));
        EXPECT_TRUE(ours.empty());
    }
    std::vector<ffmpeg::IndexEntry> ours;
    EXPECT_FALSE(ffmpeg::ReadAsfIndex(folder_.Path() + "/missing.asf", 1, ours));
    EXPECT_FALSE(ffmpeg::ReadAsfIndex(folder_.Path(), 1, ours));
    EXPECT_FALSE(ffmpeg::ReadAsfIndex(Write("r.asf", good), 0, ours));

    // Damage inside the pictures leaves the layout, and the index, as it was.
    asfwriter::Bytes pictures = good;
    for (std::size_t i = good.size() / 2; i < good.size() / 2 + 16; ++i)
        pictures[i] ^= 0x55;
    const std::string hit = Write("hit.asf", pictures);
    ASSERT_TRUE(ffmpeg::ReadAsfIndex(hit, 1, ours));
    ExpectSame(ours, DemuxerIndex(hit, 1));

    // The decoder still finds every frame of the cut recording the demuxer reads.
    const std::string cut = Write("cut.asf", cases[0].bytes);
    ffmpeg::FfmpegFrameSource source;
    const media::SourceStream stream = StreamOf(cut, o);
    media::Frame f;
    EXPECT_TRUE(source.DrawFrame({&stream, 0, source.FrameNumber(stream, 0), 320, 240}, f));
    EXPECT_GT(source.FrameNumber(stream, 30000000), 0);
}

// A file cut after it was measured (a card pulled mid-read) fails the
// walk at the first page gone, as a failed read does, and nothing else.
TEST_F(AsfIndexTest, PagesGoneWhileReadEndTheWalk)
{
    const asfwriter::Bytes good = asfwriter::SampleRecordingBytes(Sample(3, 10));
    const std::string path = Write("r.asf", good);
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::vector<ffmpeg::IndexEntry> ours;
    ASSERT_TRUE(ffmpeg::detail::ReadAsfIndexOf(fd, static_cast<std::int64_t>(good.size()), 1, ours));
    // At a page's start: the next packet lies wholly in pages that are gone.
    const off_t cut = static_cast<off_t>(good.size() / 4) & ~off_t{4095};
    ASSERT_GT(cut, 4096);
    ASSERT_EQ(ftruncate(fd, cut), 0);
    EXPECT_FALSE(ffmpeg::detail::ReadAsfIndexOf(fd, static_cast<std::int64_t>(good.size()), 1, ours));
    EXPECT_TRUE(ours.empty());
    close(fd);
    // And the next walk is guarded as the first.
    EXPECT_FALSE(ffmpeg::ReadAsfIndex(path, 1, ours));
}

} // namespace
} // namespace backends_test
