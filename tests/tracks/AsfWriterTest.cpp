// Our ASF writer: the header fields other parts of the program read, the
// packing of media objects, and a sample recording read back by the track
// reader and, where it is installed, by ffprobe.
#include "tools/asfwriter/AsfWriter.h"
#include "tools/asfwriter/SampleRecording.h"

#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"

#include "tests/tracks/TrackFiles.h"

#include "platform/media/AsfHeader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using namespace asfwriter;

namespace {

std::uint64_t Le(const Bytes& b, std::size_t at, int n)
{
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b.at(at + static_cast<std::size_t>(i));
    return v;
}

TEST(AsfWriterFile, HeaderFieldsWhereTheProgramReadsThem)
{
    FileOptions o;
    o.creationTime = FileTimeOf(2024, 5, 17, 9, 30, 0);
    o.playDuration = 650000000; // 65 s
    AsfWriter w(o);
    Packet p;
    p.payloads = {trackfiles::Track("$GX,01,+,02,+,03,+", 10)};
    w.AddPacket(p);
    w.AddPacket(p);
    const Bytes b = w.Finish();

    EXPECT_EQ(o.creationTime, 133604118000000000ull);
    EXPECT_EQ(FileTimeOf(1601, 1, 1, 0, 0, 0), 0u);
    EXPECT_EQ(FileTimeOf(1970, 1, 1, 0, 0, 0), 116444736000000000ull);
    EXPECT_EQ(Le(b, 78, 8), o.creationTime);
    EXPECT_EQ(Le(b, 86, 8), 2u); // data packets count
    EXPECT_EQ(Le(b, 94, 8), 650000000u); // play duration
    const std::size_t dataOffset = static_cast<std::size_t>(Le(b, 16, 4));
    EXPECT_EQ(dataOffset, w.HeaderSize());
    EXPECT_EQ(Le(b, dataOffset + 40, 8), 2u);
    EXPECT_EQ(b.size(), dataOffset + 50 + 2 * 3200);
    EXPECT_EQ(Le(b, 24, 4), 5u); // file properties, three streams, header extension
    // Header Object and Data Object identifiers.
    EXPECT_EQ(Le(b, 0, 4), 0x75B22630u);
    EXPECT_EQ(Le(b, dataOffset, 4), 0x75B22636u);
    // The first packet starts with the standard error correction bytes.
    EXPECT_EQ(b[dataOffset + 50], 0x82);
    EXPECT_EQ(b[dataOffset + 51], 0);
}

TEST(AsfWriterFile, FalsifiedCountsOffsetsAndTruncation)
{
    FileOptions o;
    o.totalPacketsField = 99;
    o.headerSizeField = 0x80000000ull;
    o.truncateAt = 100;
    AsfWriter w(o);
    w.AddPacket(Packet{});
    const Bytes b = w.Finish();
    ASSERT_EQ(b.size(), 100u);
    EXPECT_EQ(Le(b, 16, 8), 0x80000000ull);
    EXPECT_EQ(Le(b, 86, 8), 99u);
}

TEST(AsfWriterPacket, LayoutByteByByte)
{
    Packet p;
    p.sendTimeMs = 0x01020304;
    p.durationMs = 0x0506;
    Payload pl = trackfiles::Track("AB", 0x0A0B0C0D);
    pl.objectNumber = 7;
    pl.offsetIntoObject = 0x11223344;
    p.payloads = {pl};
    const Bytes b = EncodePacket(p);
    ASSERT_EQ(b.size(), 3200u);
    const Bytes head(b.begin(), b.begin() + 33);
    const Bytes expected{0x82, 0,    0,    0x11, 0x5D, 0x5F, 0x0C, 0x04, 0x03, 0x02, 0x01,
                         0x06, 0x05, 0x81, 0x83, 7,    0x44, 0x33, 0x22, 0x11, 8,    2,
                         0,    0,    0,    0x0D, 0x0C, 0x0B, 0x0A, 2,    0,    'A',  'B'};
    EXPECT_EQ(head, expected);

    Packet tooBig;
    tooBig.payloads = {trackfiles::Other(1, 3200, 0)};
    EXPECT_THROW(EncodePacket(tooBig), std::length_error);
    tooBig.allowOverflow = true;
    EXPECT_EQ(EncodePacket(tooBig).size(), 3200u);
}

TEST(AsfWriterMuxer, SplitsObjectsAcrossPayloadsAndPackets)
{
    for (bool multiple : {true, false}) {
        SCOPED_TRACE(multiple ? "multiple payloads" : "single payload");
        FileOptions o;
        AsfWriter w(o);
        MuxOptions m;
        m.multiplePayloads = multiple;
        Muxer mux(w, m);
        MediaObject big{1, 40, true, Bytes(10000, 0x33)};
        mux.Add(big);
        mux.Add(MediaObject{3, 40, true, Bytes(20, 0x44)});
        mux.Flush();
        // 10000 bytes need four packets of at most 3200 - 14 - 17 bytes.
        EXPECT_EQ(w.PacketCount(), multiple ? 4u : 5u);
    }
}

std::string Shell(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

TEST(AsfWriterSample, TrackReaderReadsEverySentenceButTheFirst)
{
    trackfiles::Card card;
    SampleOptions o;
    o.seconds = 6;
    o.framesPerSecond = 5;
    o.distinctFrames = 3;
    const SampleResult written = WriteSampleRecording(card.HostPath("SAMPLE.ASF"), o);
    ASSERT_EQ(written.sentences.size(), 12u); // "$GPRMC" and "$GX" each second

    // What the parser makes of each sentence but the first is what the reader returns.
    TAsfFileInfo expected;
    for (std::size_t i = 1; i < written.sentences.size(); ++i) {
        const std::string& s = written.sentences[i].text;
        EXPECT_TRUE(TGetGPSFromASF::ParseToGpsInfo(reinterpret_cast<const std::uint8_t*>(s.data()),
                                                   static_cast<std::int32_t>(s.size()), &expected,
                                                   written.sentences[i].presentationMs));
    }
    TAsfFileInfo info;
    TGetGPSFromASF reader;
    ASSERT_EQ(reader.GetGpsInfo(card.WindowsPath("SAMPLE.ASF"), &info), 0);
    ASSERT_EQ(info.GpsList->Count(), 5);
    ASSERT_EQ(info.GSensorList->Count(), 6);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(*info.GpsList->Item(i), *expected.GpsList->Item(i));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(*info.GSensorList->Item(i), *expected.GSensorList->Item(i));
    EXPECT_EQ(info.GpsList->Item(0)->TimeMs, 1000u);
    EXPECT_EQ(info.GpsList->Item(0)->Speed, "19.446");
}

TEST(AsfWriterSample, SentencesOfTheRecorder)
{
    EXPECT_EQ(RmcSentence(9, 30, 0, 35.652056666667, -139.761315, 10.5, 84.4, 17, 5, 2024),
              "$GPRMC,093000.000,A,3539.1234,N,13945.6789,W,10.5,84.4,170524,,,A*7D\r\n");
    EXPECT_EQ(GxSentence(-1, 127, -128), "$GX,FF,-,7F,+,80,-\r\n");
}

TEST(AsfWriterSample, StandardDemuxerReadsIt)
{
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffprobe is not installed";
    trackfiles::Card card;
    for (bool multiple : {true, false}) {
        SCOPED_TRACE(multiple ? "multiple payloads" : "single payload");
        SampleOptions o;
        o.seconds = 3;
        o.framesPerSecond = 10;
        o.mux.multiplePayloads = multiple;
        const std::string path = card.HostPath(multiple ? "M.ASF" : "S.ASF");
        WriteSampleRecording(path, o);
        const std::string out =
            Shell("ffprobe -v error -count_packets -show_entries "
                  "stream=codec_type,codec_name,width,height,sample_rate,nb_read_packets -of compact=p=0:nk=0 '" +
                  path + "' 2>&1");
        SCOPED_TRACE(out);
        EXPECT_NE(out.find("codec_name=mjpeg|codec_type=video|width=320|height=240|nb_read_packets=30"),
                  std::string::npos);
        EXPECT_NE(out.find("codec_name=pcm_s16le|codec_type=audio|sample_rate=8000|nb_read_packets=30"),
                  std::string::npos);
        EXPECT_NE(out.find("codec_type=data|nb_read_packets=6"), std::string::npos);
        // And the pictures decode.
        EXPECT_EQ(Shell("ffmpeg -v error -i '" + path + "' -f null - 2>&1"), "");
    }
}

TEST(AsfWriterSample, PlatformAsfSourceReadsTheHeader)
{
    SampleOptions o;
    o.seconds = 2;
    o.framesPerSecond = 10;
    o.prerollMs = 500;
    const Bytes b = SampleRecordingBytes(o);
    const media::AsfParseResult r = media::ParseAsfHeader(b.data(), b.size());
    ASSERT_EQ(r.error, media::AsfParseError::None);
    ASSERT_TRUE(r.header);
    const media::AsfHeader& h = *r.header;
    EXPECT_EQ(h.prerollMs, 500u);
    EXPECT_EQ(h.playDuration, 25000000u);
    EXPECT_EQ(h.Duration(), 20000000);
    EXPECT_EQ(h.packetSize, 3200u);
    EXPECT_EQ(h.creationDate, FileTimeOf(2024, 5, 17, 9, 30, 0));
    ASSERT_EQ(h.streams.size(), 3u);
    EXPECT_EQ(h.streams[0].kind, media::AsfStreamKind::Video);
    EXPECT_EQ(h.streams[0].video.width, 320);
    EXPECT_EQ(h.streams[0].video.height, 240);
    EXPECT_EQ(h.streams[0].video.compression, 0x47504A4Du); // "MJPG"
    EXPECT_EQ(h.streams[0].avgTimePerFrame, 1000000);
    EXPECT_EQ(h.streams[1].kind, media::AsfStreamKind::Audio);
    EXPECT_EQ(h.streams[1].audio.formatTag, 1);
    EXPECT_EQ(h.streams[1].audio.samplesPerSec, 8000u);
    EXPECT_EQ(h.streams[2].number, 3);
    EXPECT_EQ(h.streams[2].kind, media::AsfStreamKind::Other);
}

} // namespace
