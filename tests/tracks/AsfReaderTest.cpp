#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"

#include "tests/tracks/TrackFiles.h"
#include "tests/tracks/TrackLogProbe.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/win/Files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace trackfiles;
using asfwriter::FileOptions;
using asfwriter::PacketFormat;
using asfwriter::Width;

namespace {

// "$GX" with three axis steps, and its record.
std::string Gx(int a, int b, int c)
{
    char s[64];
    std::snprintf(s, sizeof s, "$GX,%02X,+,%02X,+,%02X,+", a & 0xFF, b & 0xFF, c & 0xFF);
    return s;
}

float G(int steps) { return static_cast<float>(static_cast<std::int8_t>(steps) * 0.063); }

TGSensorInfo GxRecord(int a, int b, int c, std::uint32_t ms)
{
    TGSensorInfo g;
    g.TimeMs = ms;
    g.GX = G(a);
    g.GY = G(b);
    g.GZ = G(c);
    return g;
}

struct ReadResult {
    int code = -1;
    std::vector<TGSensorInfo> gsensor;
    std::vector<TGpsInfo> gps;
    bool operator==(const ReadResult&) const = default;
};

void PrintTo(const ReadResult& r, std::ostream* os)
{
    *os << "code " << r.code << ", " << r.gps.size() << " fixes, samples:";
    for (const TGSensorInfo& g : r.gsensor)
        *os << " {" << g.TimeMs << ": " << g.GX << " " << g.GY << " " << g.GZ << "}";
}

class AsfReader : public ::testing::Test {
protected:
    ReadResult ReadBytes(const Bytes& bytes, const std::string& name = "REC.ASF")
    {
        return ReadPath(card.Put(name, bytes));
    }

    static ReadResult ReadPath(const rtl::UnicodeString& path)
    {
        TAsfFileInfo info;
        TGetGPSFromASF reader;
        ReadResult r;
        r.code = reader.GetGpsInfo(path, &info);
        EXPECT_FALSE(reader.IsOpen());
        for (int i = 0; i < info.GSensorList->Count(); ++i)
            r.gsensor.push_back(*info.GSensorList->Item(i));
        for (int i = 0; i < info.GpsList->Count(); ++i)
            r.gps.push_back(*info.GpsList->Item(i));
        return r;
    }

    static ReadResult Expect(int code, std::vector<TGSensorInfo> gsensor)
    {
        ReadResult r;
        r.code = code;
        r.gsensor = std::move(gsensor);
        return r;
    }

    Card card;
};

// A file whose first packet carries the prelude (never parsed) and one known
// sentence; further packets as given.
Bytes PreludeFile(std::vector<Packet> more, FileOptions options = {})
{
    std::vector<Packet> packets{
        Multi({Other(1, 500, 0), Track(Prelude, 0), Other(2, 100, 0), Track(Gx(1, 2, 3), 100)})};
    packets.insert(packets.end(), more.begin(), more.end());
    return File(packets, std::move(options));
}

TEST_F(AsfReader, FirstTrackPayloadIsNotParsedTheSecondIs)
{
    EXPECT_EQ(ReadBytes(PreludeFile({})), Expect(0, {GxRecord(1, 2, 3, 100)}));
}

TEST_F(AsfReader, ErrorCorrectionBytes)
{
    struct Row {
        std::uint8_t byte0, byte1;
        int code;
    };
    const Row rows[] = {
        {0x82, 0, 0},  {0x02, 0, 0},  {0x92, 0, 12}, {0xB2, 0, 12}, {0xA2, 0, 13}, {0xC2, 0, 13},
        {0xE2, 0, 13}, {0x83, 0, 14}, {0x80, 0, 14}, {0x8F, 0, 14}, {0x82, 1, 14}, {0x82, 0xFF, 14},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << "byte 0 " << int(row.byte0) << " byte 1 " << int(row.byte1));
        Packet second = Multi({Track(Gx(4, 5, 6), 200)});
        second.format.errorCorrectionFlags = row.byte0;
        second.format.errorCorrection[0] = row.byte1;
        TrackLogProbe log;
        std::vector<TGSensorInfo> expected{GxRecord(1, 2, 3, 100)};
        if (row.code == 0)
            expected.push_back(GxRecord(4, 5, 6, 200));
        EXPECT_EQ(ReadBytes(PreludeFile({second})), Expect(row.code, expected));
        if (row.code != 0) {
            EXPECT_EQ(log.Lines(),
                      std::vector<std::string>{"<GPS> File:T:\\REC.ASF Error:" + std::to_string(row.code)});
            EXPECT_EQ(log.Levels(), std::vector<int>{0}); // bad packets at debug level
        }
    }
}

TEST_F(AsfReader, EveryFieldWidth)
{
    enum Field { PacketLength, Sequence, Padding, ObjectNumber, Offset, ReplicatedLength, PayloadLength };
    const char* names[] = {"packet length", "sequence",          "padding",       "object number",
                           "offset",        "replicated length", "payload length"};
    for (int field = PacketLength; field <= PayloadLength; ++field) {
        for (int width = 0; width <= 3; ++width) {
            SCOPED_TRACE(::testing::Message() << names[field] << " width " << width);
            PacketFormat f;
            const Width w = static_cast<Width>(width);
            switch (field) {
            case PacketLength:
                f.packetLength = w;
                break;
            case Sequence:
                f.sequence = w;
                break;
            case Padding:
                f.padding = w;
                break;
            case ObjectNumber:
                f.mediaObjectNumber = w;
                break;
            case Offset:
                f.offsetIntoObject = w;
                break;
            case ReplicatedLength:
                f.replicatedLength = w;
                break;
            case PayloadLength:
                f.payloadLength = w;
                break;
            }
            Packet p = Multi(
                {Other(1, 200, 0), Track(Prelude, 0), Other(2, 40, 0), Track(Gx(7, -8, 9), 300), Other(1, 30, 0)});
            std::uint32_t expectedTime = 300;
            if (field == ReplicatedLength && width == 0) {
                for (Payload& pl : p.payloads)
                    pl.replicated.clear();
                expectedTime = 0; // no replicated data: size 0, time 0
            }
            if (field == PayloadLength && width == 0) {
                // Without payload lengths a multiple-payload packet cannot
                // carry data; the single-payload form has none at all.
                p = Packet{};
                p.format = f;
                p.multiplePayloads = false;
                p.payloads = {Track(Gx(7, -8, 9), 300)};
                p.payloads[0].replicated.resize(2200, 0); // so the payload fits the collection buffer
                p.format.replicatedLength = Width::Word;
                Packet first = Multi({Track(Prelude, 0)});
                EXPECT_EQ(ReadBytes(File({first, p})), Expect(0, {GxRecord(7, -8, 9, 300)}));
                continue;
            }
            p.format = f;
            // Bits the reader never reads: the stream number's length type and bit 7 of the length types.
            p.format.streamNumberType = static_cast<std::uint8_t>(width);
            p.format.lengthTypeBit7 = (width & 1) != 0;
            EXPECT_EQ(ReadBytes(File({p})), Expect(0, {GxRecord(7, -8, 9, expectedTime)}));
        }
    }
}

TEST_F(AsfReader, SingleAgainstMultiplePayloads)
{
    // A single payload runs to the packet's end, padding included: with 8 bytes
    // of replicated data it is far above 1024 bytes and dropped.
    Packet single;
    single.multiplePayloads = false;
    single.payloads = {Track(Gx(1, 1, 1), 500)};
    Packet first = Multi({Track(Prelude, 0)});
    EXPECT_EQ(ReadBytes(File({first, single, Multi({Track(Gx(2, 2, 2), 600)})})), Expect(0, {GxRecord(2, 2, 2, 600)}));

    // Long replicated data leaves a payload of at most 1024 bytes: parsed, the
    // padding's zero bytes ignored.
    single.format.replicatedLength = Width::Word;
    for (std::size_t replicated : {2200u, 3200u - 21u - 1024u}) {
        SCOPED_TRACE(replicated);
        single.payloads[0].replicated.resize(replicated, 0);
        EXPECT_EQ(ReadBytes(File({first, single})), Expect(0, {GxRecord(1, 1, 1, 500)}));
    }
    single.payloads[0].replicated.resize(3200u - 21u - 1025u, 0);
    EXPECT_EQ(ReadBytes(File({first, single})), Expect(0, {}));
}

TEST_F(AsfReader, ObjectsAcrossPayloadsAndPackets)
{
    const std::string s = Gx(10, 20, 30);
    const std::uint32_t size = static_cast<std::uint32_t>(s.size());
    // Three pieces: end of packet 1, all of packet 2 (between video), start of packet 3.
    const Bytes bytes = File({
        Multi({Track(Prelude, 0), Other(1, 2000, 0), Track(s.substr(0, 5), 900, size)}),
        Multi({Other(1, 1000, 0), Track(s.substr(5, 6), 900, size), Other(2, 100, 0)}),
        Multi({Track(s.substr(11), 950, size), Track(Gx(1, 1, 1), 990)}),
    });
    // The time is the one of the payload that completes the object.
    EXPECT_EQ(ReadBytes(bytes), Expect(0, {GxRecord(10, 20, 30, 950), GxRecord(1, 1, 1, 990)}));

    // Object numbers and offsets are never consulted: only the collected length.
    Packet p = Multi({Track(Prelude, 0), Track(s.substr(0, 4), 5, size), Track(s.substr(4), 6, size)});
    p.payloads[1].objectNumber = 200;
    p.payloads[2].objectNumber = 7;
    p.payloads[2].offsetIntoObject = 12345;
    EXPECT_EQ(ReadBytes(File({p})), Expect(0, {GxRecord(10, 20, 30, 6)}));
}

TEST_F(AsfReader, ObjectOf1024BytesIsParsedOf1025Dropped)
{
    auto padded = [](const std::string& s, std::size_t n) {
        std::string t = s;
        t.resize(n, '\0');
        return t;
    };
    for (std::size_t size : {1023u, 1024u, 1025u}) {
        SCOPED_TRACE(size);
        const std::string big = padded(Gx(3, 3, 3), size);
        // In one payload, and in two that together reach the size.
        const Bytes one = File({Multi({Track(Prelude, 0), Track(big, 10)}), Multi({Track(Gx(4, 4, 4), 20)})});
        const std::uint32_t n = static_cast<std::uint32_t>(size);
        const Bytes two = File({Multi({Track(Prelude, 0), Track(big.substr(0, 600), 10, n)}),
                                Multi({Track(big.substr(600), 10, n), Track(Gx(4, 4, 4), 20)})});
        std::vector<TGSensorInfo> expected;
        if (size <= 1024)
            expected.push_back(GxRecord(3, 3, 3, 10));
        expected.push_back(GxRecord(4, 4, 4, 20));
        EXPECT_EQ(ReadBytes(one), Expect(0, expected));
        EXPECT_EQ(ReadBytes(two), Expect(0, expected));
    }
}

TEST_F(AsfReader, ShortReplicatedDataCompletesAnObjectWithTimeZero)
{
    for (std::size_t replicated : {0u, 1u, 7u, 8u, 20u}) {
        SCOPED_TRACE(replicated);
        Packet p = Multi({Track(Prelude, 0), Track(Gx(5, 6, 7), 4321)});
        // The object is announced larger than its first half, so only a short
        // replicated data (size 0) completes the half on its own.
        const std::string s = Gx(5, 6, 7);
        p.payloads[1] = Track(s.substr(0, 9), 4321, static_cast<std::int64_t>(s.size()));
        p.payloads[1].replicated.resize(replicated, 0);
        p.payloads.push_back(Track(s.substr(9), 4400, static_cast<std::int64_t>(s.size())));
        if (replicated < 8)
            EXPECT_EQ(ReadBytes(File({p})).gsensor.size(), 0u); // two halves: neither is a sentence
        else
            EXPECT_EQ(ReadBytes(File({p})), Expect(0, {GxRecord(5, 6, 7, 4400)}));
    }
    Packet whole = Multi({Track(Prelude, 0), Track(Gx(5, 6, 7), 4321)});
    whole.payloads[1].replicated.resize(7);
    EXPECT_EQ(ReadBytes(File({whole})), Expect(0, {GxRecord(5, 6, 7, 0)}));
}

TEST_F(AsfReader, ObjectsNeverSeeBytesOfAnEarlierObject)
{
    // The second object is shorter and has five fields only: it must be
    // rejected, not completed by the tail of the first.
    const Bytes bytes =
        File({Multi({Track(Prelude, 0), Track(Gx(1, 2, 3) + ",AAAAAAAAAAAA", 10), Track("$GX,7F,+,7F,+", 20)})});
    EXPECT_EQ(ReadBytes(bytes), Expect(0, {GxRecord(1, 2, 3, 10)}));
}

TEST_F(AsfReader, PacketCounts)
{
    const std::vector<Packet> three{Multi({Track(Prelude, 0), Track(Gx(1, 1, 1), 1)}), Multi({Track(Gx(2, 2, 2), 2)}),
                                    Multi({Track(Gx(3, 3, 3), 3)})};
    struct Row {
        std::uint64_t total;
        int code;
        std::size_t records;
    };
    const Row rows[] = {{0, 0, 1}, {1, 0, 1}, {2, 0, 2}, {3, 0, 3}, {4, 2, 3}, {~0ull, 2, 3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.total);
        FileOptions o;
        o.totalPacketsField = row.total;
        const ReadResult r = ReadBytes(File(three, o));
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.gsensor.size(), row.records);
    }
    // Packets count 0 and no packet at all: the one read fails.
    FileOptions o;
    o.totalPacketsField = 0;
    EXPECT_EQ(ReadBytes(File({}, o)), Expect(2, {}));
}

TEST_F(AsfReader, TruncatedFilesAndBadDataOffsets)
{
    const Bytes whole = PreludeFile({Multi({Track(Gx(4, 4, 4), 4)})});
    for (std::size_t size : {0u, 1u, 16u, 29u}) {
        SCOPED_TRACE(size);
        TrackLogProbe log;
        EXPECT_EQ(ReadBytes(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))), Expect(2, {}));
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"TGetGPSFromASF::Read ERROR:Reached the end of the file."});
    }
    // Cut inside the Data Object header, and inside the second packet.
    asfwriter::AsfWriter probe(FileOptions{});
    const std::size_t dataOffset = probe.HeaderSize();
    EXPECT_EQ(ReadBytes(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(dataOffset + 49))),
              Expect(2, {}));
    EXPECT_EQ(ReadBytes(Bytes(whole.begin(), whole.end() - 1)), Expect(2, {GxRecord(1, 2, 3, 100)}));

    // A Data Object offset beyond the file, or one a signed 32-bit seek cannot hold.
    for (std::uint64_t offset :
         {std::uint64_t(whole.size()), std::uint64_t(whole.size() - 49), std::uint64_t(0x7FFFFFFF),
          std::uint64_t(0x80000000), std::uint64_t(0xFFFFFFFF), std::uint64_t(0x1FFFFFFFF)}) {
        SCOPED_TRACE(offset);
        FileOptions o;
        o.headerSizeField = offset;
        const Bytes bytes = PreludeFile({}, o);
        // Only the low half of the size counts: 0x1FFFFFFFF reads as 0xFFFFFFFF.
        EXPECT_EQ(ReadBytes(bytes), Expect(2, {}));
    }
}

TEST_F(AsfReader, FieldsThatRunPastThePacketEnd)
{
    struct Row {
        const char* name;
        Packet packet;
    };
    std::vector<Row> rows;
    {
        Packet p = Multi({Track(Gx(9, 9, 9), 9)});
        p.payloads[0].lengthField = 3200;
        rows.push_back({"payload length beyond the packet", p});
    }
    {
        Packet p = Multi({Track(Gx(9, 9, 9), 9)});
        p.format.payloadLength = Width::Dword;
        p.payloads[0].lengthField = 0xFFFFFFFFu;
        rows.push_back({"payload length 2^32-1", p});
    }
    {
        Packet p = Multi({Track(Gx(9, 9, 9), 9)});
        p.format.replicatedLength = Width::Word;
        p.payloads[0].replicatedLengthField = 0xFFFF;
        rows.push_back({"replicated data past the end", p});
        p.format.replicatedLength = Width::Dword;
        p.payloads[0].replicatedLengthField = 0xFFFFFFF8u;
        rows.push_back({"replicated length 2^32-8", p});
    }
    {
        Packet p = Multi({Other(1, 3100, 0)});
        p.payloadCountField = 63; // payload headers of zeros until the end, then past it
        rows.push_back({"more payloads than fit", p});
    }
    {
        Packet p = Multi({Other(1, 3200 - 14 - 17 - 1, 0)});
        p.payloadCountField = 2; // the second payload's header lies beyond the end
        rows.push_back({"a header past the end", p});
    }
    for (Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.packet.allowOverflow = true;
        TrackLogProbe log;
        EXPECT_EQ(ReadBytes(PreludeFile({row.packet, Multi({Track(Gx(5, 5, 5), 5)})})),
                  Expect(AsfPacketOverrun, {GxRecord(1, 2, 3, 100)}));
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"<GPS> File:T:\\REC.ASF Error:15"});
    }
    // Exactly filling the packet is fine.
    Packet full = Multi({Track(Gx(6, 6, 6), 6), Other(1, 3200 - 14 - 2 * 17 - 18, 0)});
    ASSERT_EQ(asfwriter::EncodePacket(full).size(), 3200u);
    EXPECT_EQ(ReadBytes(PreludeFile({full})), Expect(0, {GxRecord(1, 2, 3, 100), GxRecord(6, 6, 6, 6)}));
}

TEST_F(AsfReader, RecordingsWithoutTrackStreamOrWithALateOne)
{
    EXPECT_EQ(ReadBytes(File({Multi({Other(1, 1000, 0), Other(2, 100, 0)}), Multi({Other(1, 3000, 40)})})),
              Expect(0, {}));
    EXPECT_EQ(ReadBytes(File({Multi({Other(1, 1000, 0)}), Multi({Other(1, 1000, 0)}),
                              Multi({Track(Prelude, 0), Track(Gx(8, 8, 8), 8)}), Multi({Other(2, 10, 0)})})),
              Expect(0, {GxRecord(8, 8, 8, 8)}));
}

TEST_F(AsfReader, GpsFixesAndGSensorSamplesInFileOrder)
{
    const std::string rmc = "$GPRMC,093000.000,A,3539.1234,N,13945.6789,W,10.5,84.4,170524,,,A*6B\r\n";
    const ReadResult r = ReadBytes(File({Multi({Track(Prelude, 0), Track(rmc, 1000), Track(Gx(1, 2, 3), 1000),
                                                Track("$GPRMC,1,V,1,N,1,E,1,1", 2000), Track(rmc, 3000)})}));
    EXPECT_EQ(r.code, 0);
    ASSERT_EQ(r.gps.size(), 2u);
    TGpsInfo g;
    g.TimeMs = 1000;
    g.Latitude = "35.6520566666667";
    g.Longitude = "-139.761315";
    g.Speed = "19.446";
    g.Course = 84.4f;
    EXPECT_EQ(r.gps[0], g);
    g.TimeMs = 3000;
    EXPECT_EQ(r.gps[1], g);
    EXPECT_EQ(r.gsensor, std::vector<TGSensorInfo>{GxRecord(1, 2, 3, 1000)});
}

// The packets are walked where they lie in the reader's read-ahead block:
// a recording several blocks long, whose packets straddle every block
// boundary, gives every sample in order; cut inside a packet it ends with 2
// and keeps what came before.
TEST_F(AsfReader, LongRecordingsAcrossReadAheadBlocks)
{
    constexpr int kPackets = 400; // 1.28 MB
    std::vector<Packet> packets;
    std::vector<TGSensorInfo> expected;
    packets.push_back(Multi({Track(Prelude, 0), Other(1, 2000, 0)}));
    for (int i = 1; i < kPackets; ++i) {
        packets.push_back(Multi({Other(1, 1500, 0), Track(Gx(i, i + 1, i + 2), static_cast<std::uint32_t>(i)),
                                 Other(2, static_cast<std::size_t>(i % 700), 0)}));
        expected.push_back(GxRecord(i, i + 1, i + 2, static_cast<std::uint32_t>(i)));
    }
    const Bytes whole = File(packets);
    EXPECT_EQ(ReadBytes(whole), Expect(0, expected));

    const std::size_t packetSize = asfwriter::DefaultPacketSize;
    const std::size_t firstPacket =
        (whole[16] | whole[17] << 8 | whole[18] << 16 | static_cast<std::size_t>(whole[19]) << 24) + 50;
    for (const int keep : {kPackets - 1, 41, 1}) {
        SCOPED_TRACE(keep);
        // keep whole packets and all but the last byte of the next one
        const Bytes cut(whole.begin(),
                        whole.begin() + static_cast<std::ptrdiff_t>(firstPacket + (keep + 1) * packetSize - 1));
        const std::vector<TGSensorInfo> before(expected.begin(), expected.begin() + (keep - 1));
        EXPECT_EQ(ReadBytes(cut, "CUT.ASF"), Expect(AsfShortRead, before));
    }
}

TEST_F(AsfReader, MisuseCodes)
{
    const rtl::UnicodeString path = card.Put("A.ASF", PreludeFile({}));
    TrackLogProbe log;
    TGetGPSFromASF reader;
    EXPECT_EQ(reader.Read(10), AsfMisuse);
    EXPECT_EQ(reader.Seek(0, 0), AsfMisuse);
    EXPECT_EQ(reader.Close(), AsfOk);
    EXPECT_EQ(reader.Open(card.WindowsPath("MISSING.ASF")), AsfOpenFailed);
    EXPECT_FALSE(reader.IsOpen());

    EXPECT_EQ(reader.Open(path), AsfOk);
    EXPECT_EQ(reader.Read(0), AsfMisuse);
    EXPECT_EQ(reader.Read(-1), AsfMisuse);
    EXPECT_EQ(reader.Seek(0, 3), AsfMisuse);
    EXPECT_EQ(reader.Seek(-1, 0), AsfMisuse);
    EXPECT_EQ(reader.Read(30), AsfOk);
    EXPECT_EQ(reader.BufferSize(), 30);
    EXPECT_EQ(std::memcmp(reader.Buffer(), PreludeFile({}).data(), 30), 0);
    // A second open fails and leaves no file open.
    EXPECT_EQ(reader.Open(path), AsfMisuse);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.Read(1), AsfMisuse);
    const std::vector<std::string> expected{
        "TGetGPSFromASF::Read ERROR:Asf file isn't opening.", "TGetGPSFromASF::Seek ERROR:Asf file isn't opening.",
        log.Lines().size() > 2 ? log.Lines()[2] : "",         "TGetGPSFromASF::Read ERROR:Parameter [Size] error",
        "TGetGPSFromASF::Read ERROR:Parameter [Size] error",  "TGetGPSFromASF::Seek ERROR:Invalid seek origin",
        "TGetGPSFromASF::Seek ERROR:Stream seek error",       "TGetGPSFromASF::Open ERROR:Asf file open error.",
        "TGetGPSFromASF::Read ERROR:Asf file isn't opening.",
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(log.Levels(), std::vector<int>(expected.size(), 3));
    EXPECT_EQ(log.Lines().at(2).rfind("TGetGPSFromASF::Open ERROR:", 0), 0u);
}

TEST_F(AsfReader, SeekAndReadThroughTheReadAhead)
{
    const Bytes bytes = PreludeFile({Multi({Track(Gx(4, 4, 4), 4)})});
    const rtl::UnicodeString path = card.Put("S.ASF", bytes);
    TGetGPSFromASF reader;
    ASSERT_EQ(reader.Open(path), AsfOk);
    ASSERT_EQ(reader.Read(10), AsfOk);
    ASSERT_EQ(reader.Seek(5, 1), AsfOk); // from the current position: 15
    ASSERT_EQ(reader.Read(4), AsfOk);
    EXPECT_EQ(std::memcmp(reader.Buffer(), bytes.data() + 15, 4), 0);
    ASSERT_EQ(reader.Seek(-8, 2), AsfOk);
    ASSERT_EQ(reader.Read(8), AsfOk);
    EXPECT_EQ(std::memcmp(reader.Buffer(), bytes.data() + bytes.size() - 8, 8), 0);
    EXPECT_EQ(reader.Read(1), AsfShortRead);
    ASSERT_EQ(reader.Seek(0, 0), AsfOk);
    ASSERT_EQ(reader.Read(static_cast<std::int32_t>(bytes.size())), AsfOk);
    EXPECT_EQ(std::memcmp(reader.Buffer(), bytes.data(), bytes.size()), 0);
    EXPECT_EQ(reader.Close(), AsfOk);
    EXPECT_EQ(reader.Buffer(), nullptr);
}

TEST_F(AsfReader, PathIsCutAtCarriageReturnAndMissingFilesGiveOne)
{
    card.Put("CR.ASF", PreludeFile({}));
    EXPECT_EQ(ReadPath(card.WindowsPath("CR.ASF") + u"\r\nrest"), Expect(0, {GxRecord(1, 2, 3, 100)}));
    {
        // One error line with the file stream's own message, nothing more.
        std::string message;
        try {
            rtl::TFileStream probe(card.WindowsPath("NONE.ASF"), rtl::fmOpenRead | rtl::fmShareDenyNone);
        } catch (rtl::Exception& e) {
            message = rtl::ToUtf8(e.Message);
        }
        ASSERT_FALSE(message.empty());
        TrackLogProbe log;
        EXPECT_EQ(ReadPath(card.WindowsPath("NONE.ASF")), Expect(1, {}));
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"TGetGPSFromASF::Open ERROR:" + message});
        EXPECT_EQ(log.Levels(), std::vector<int>{3});
    }
}

TEST_F(AsfReader, NamesOutsideTheCodePageOpenAsListed)
{
    // The scan lists these by their full names; the reader opens the same files.
    for (const char* name : {"b\xF0\x9F\x98\x80.ASF",
                             "\xC3\xB1"
                             "and\xC3\xBA.ASF",
                             "\xC3\xA9t\xC3\xA9.ASF"}) {
        SCOPED_TRACE(name);
        TrackLogProbe log;
        EXPECT_EQ(ReadBytes(PreludeFile({}), name), Expect(0, {GxRecord(1, 2, 3, 100)}));
        EXPECT_TRUE(log.Lines().empty());
    }
}

TEST_F(AsfReader, OpenRecordingCannotBeDeleted)
{
    const rtl::UnicodeString path = card.Put("HELD.ASF", PreludeFile({}));
    TGetGPSFromASF reader;
    ASSERT_EQ(reader.Open(path), AsfOk);
    EXPECT_FALSE(win::DeleteFile(path));
    EXPECT_EQ(reader.Close(), AsfOk);
    EXPECT_TRUE(win::DeleteFile(path));
}

} // namespace
