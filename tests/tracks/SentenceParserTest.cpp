#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"
#include "tracks/TrackFields.h"

#include "platform/rtl/CodePage.h"

#include "tests/tracks/TrackLogProbe.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Parsed {
    bool result = false;
    std::vector<TGpsInfo> gps;
    std::vector<TGSensorInfo> gsensor;
};

Parsed Parse(const std::string& bytes, std::uint32_t ms = 1234)
{
    TAsfFileInfo info;
    Parsed p;
    p.result = TGetGPSFromASF::ParseToGpsInfo(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              static_cast<std::int32_t>(bytes.size()), &info, ms);
    for (int i = 0; i < info.GpsList->Count(); ++i)
        p.gps.push_back(*info.GpsList->Item(i));
    for (int i = 0; i < info.GSensorList->Count(); ++i)
        p.gsensor.push_back(*info.GSensorList->Item(i));
    return p;
}

TGpsInfo Fix(const char* lat, const char* lon, const char* speed, float course, std::uint32_t ms = 1234)
{
    TGpsInfo g;
    g.TimeMs = ms;
    g.Latitude = lat;
    g.Longitude = lon;
    g.Speed = speed;
    g.Course = course;
    return g;
}

// One step of an axis is 0.063 G.
float G(int steps) { return static_cast<float>(steps * 0.063); }

std::string Rmc(const std::string& fields2to8) { return "$GPRMC,093000.000," + fields2to8 + ",170524,,,A*6B"; }

TEST(TrackSentence, RmcSentences)
{
    struct Row {
        std::string sentence;
        TGpsInfo expected;
    };
    const Row rows[] = {
        {Rmc("A,3539.1234,N,13945.6789,W,10.5,84.4"), Fix("35.6520566666667", "-139.761315", "19.446", 84.4f)},
        {Rmc("A,3500.0,N,13500.0,E,,"), Fix("35", "135", "", 0.0f)},
        {Rmc("A,3500.0,S,13500.0,E,0,0"), Fix("-35", "135", "", 0.0f)},
        {Rmc("A,3500.0,N,13500.0,E,0.0,0.0"), Fix("35", "135", "0", 0.0f)},
        // Lower-case hemispheres count as south and west.
        {Rmc("A,3500.0,n,13500.0,e,1,1"), Fix("-35", "-135", "1.852", 1.0f)},
        // A number that is no number reads as 0; south of 0 is still "0".
        {Rmc("A,xyz,N,abc,W,fast,north"), Fix("0", "0", "0", 0.0f)},
        {Rmc("A,,S,,W,,"), Fix("0", "0", "", 0.0f)},
        // Values beyond any range are bad numbers too, never undefined behaviour.
        {Rmc("A,1e300,N,-1e300,E,1e308,1e300"), Fix("0", "0", "0", 0.0f)},
        {Rmc("A,1e22,N,13500,E,1e300,1e39"), Fix("0", "135", "1.852E300", 0.0f)},
        {Rmc("A,3500,N,13500,E,5,-3.4e38"), Fix("35", "135", "9.26", -3.4e38f)},
        // Exactly the fields 0 to 8, and the minimal 9 fields.
        {"$GPRMC,1,A,1234.5,N,01234.5,E,1,2", Fix("12.575", "12.575", "1.852", 2.0f)},
        // Zero bytes after the sentence and its line end change nothing.
        {Rmc("A,3539.1234,N,13945.6789,E,10.5,84.4") + "\r\n" + std::string(40, '\0'),
         Fix("35.6520566666667", "139.761315", "19.446", 84.4f)},
        // Quoted fields and blanks follow the comma-text rules.
        {"$GPRMC,x,\"A\",\"3500\",N, 13500 ,E,1,1", Fix("35", "135", "1.852", 1.0f)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sentence);
        TrackLogProbe log;
        const Parsed p = Parse(row.sentence);
        EXPECT_TRUE(p.result);
        ASSERT_EQ(p.gps.size(), 1u);
        EXPECT_EQ(p.gps[0], row.expected);
        EXPECT_TRUE(p.gsensor.empty());
        EXPECT_EQ(log.Lines(), std::vector<std::string>{});
    }
}

TEST(TrackSentence, GxSentences)
{
    struct Row {
        std::string sentence;
        float gx, gy, gz;
    };
    const Row rows[] = {
        {"$GX,7F,+,FF,-,80,-", G(127), G(-1), G(-128)},
        {"$GX,1FF,a,ff,b,00", G(-1), G(-1), 0.0f},
        {"$GX,FFFFFFFF,,7f,,01", G(-1), G(127), G(1)},
        {"$GX,10,+,F0,-,08,+\r\n", G(16), G(-16), G(8)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sentence);
        TrackLogProbe log;
        const Parsed p = Parse(row.sentence, 77);
        EXPECT_TRUE(p.result);
        ASSERT_EQ(p.gsensor.size(), 1u);
        TGSensorInfo expected;
        expected.TimeMs = 77;
        expected.GX = row.gx;
        expected.GY = row.gy;
        expected.GZ = row.gz;
        EXPECT_EQ(p.gsensor[0], expected);
        EXPECT_EQ(log.Lines(), std::vector<std::string>{});
    }
    // The range of one axis: -8.064 G to 8.001 G.
    EXPECT_FLOAT_EQ(Parse("$GX,7F,,80,,0").gsensor.at(0).GX, 8.001f);
    EXPECT_FLOAT_EQ(Parse("$GX,7F,,80,,0").gsensor.at(0).GY, -8.064f);
}

TEST(TrackSentence, RejectedAndIgnoredSentences)
{
    struct Row {
        std::string sentence;
        bool result;
        std::optional<std::string> logLine; // the one error line, if any
    };
    const std::string prefix = "TGetGPSFromASF::ParseToGpsInfo ERROR:";
    const Row rows[] = {
        {Rmc("V,3539.1234,N,13945.6789,E,10.5,84.4"), false, {}},
        {Rmc("a,3539.1234,N,13945.6789,E,10.5,84.4"), false, {}},
        {"$GPRMC,1,A,2,N", false, {}}, // fewer than 6 fields
        {"", false, {}},
        {std::string(10, '\0'), false, {}},
        {"$GPRMC,1,A,3500,N,13500", false, prefix + "List index out of bounds (6)"},
        {"$GPRMC,1,A,3500,N,13500,E", false, prefix + "List index out of bounds (7)"},
        {"$GPRMC,1,A,3500,N,13500,E,1", false, prefix + "List index out of bounds (8)"},
        {"$GX,,+,01,+,01", false, prefix + "'0x' is not a valid integer value"},
        {"$GX,01,+,1FFFFFFFF,+,01", false, prefix + "'0x1FFFFFFFF' is not a valid integer value"},
        {"$GX,01,+,01,+,-1", false, prefix + "'0x-1' is not a valid integer value"},
        {"$GX,01,+,01,+,0x1", false, prefix + "'0x0x1' is not a valid integer value"},
        {"$GX,01,+,01,+,\"1 \"", false, prefix + "'0x1 ' is not a valid integer value"},
        // Other sentence names are no failure: true, nothing stored.
        {"$GNRMC,1,A,3500,N,13500,E,1,1", true, {}},
        {"$gprmc,1,A,3500,N,13500,E,1,1", true, {}},
        {"$GXX,1,2,3,4,5", true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sentence);
        TrackLogProbe log;
        const Parsed p = Parse(row.sentence);
        EXPECT_EQ(p.result, row.result);
        EXPECT_TRUE(p.gps.empty());
        EXPECT_TRUE(p.gsensor.empty());
        std::vector<std::string> expected;
        if (row.logLine)
            expected.push_back(*row.logLine);
        EXPECT_EQ(log.Lines(), expected);
        EXPECT_EQ(log.Levels(), std::vector<int>(expected.size(), 3));
    }
}

TEST(TrackSentence, InputIsTakenByItsLength)
{
    // Bytes past the length are never read, and a text without a zero byte is
    // taken whole.
    const std::string buffer = "$GX,01,+,02,+,03,+,trailing";
    TAsfFileInfo info;
    EXPECT_FALSE(TGetGPSFromASF::ParseToGpsInfo(reinterpret_cast<const std::uint8_t*>(buffer.data()), 13, &info, 0));
    EXPECT_TRUE(TGetGPSFromASF::ParseToGpsInfo(reinterpret_cast<const std::uint8_t*>(buffer.data()), 18, &info, 0));
    ASSERT_EQ(info.GSensorList->Count(), 1);
    EXPECT_EQ(info.GSensorList->Item(0)->GZ, G(3));
    EXPECT_FALSE(TGetGPSFromASF::ParseToGpsInfo(nullptr, 10, &info, 0));
    EXPECT_FALSE(TGetGPSFromASF::ParseToGpsInfo(reinterpret_cast<const std::uint8_t*>(buffer.data()), -5, &info, 0));
}

TEST(TrackSentence, FieldSplitting)
{
    struct Row {
        std::u16string text;
        std::vector<std::u16string> fields;
    };
    const Row rows[] = {
        {u"a,,b", {u"a", u"", u"b"}},
        {u"a,b,", {u"a", u"b", u""}},
        {u",a", {u"", u"a"}},
        {u"", {}},
        {u"  \r\n", {}},
        {u"a b\tc", {u"a", u"b", u"c"}},
        {u" a , b ,c\r\n", {u"a", u"b", u"c"}},
        {u"\"x,y\",z", {u"x,y", u"z"}},
        {u"\"a\"\"b\",c", {u"a\"b", u"c"}},
        {u"\"open", {u"open"}},
        {u"\"ab\"cd,e", {u"ab", u"cd", u"e"}},
        {std::u16string(u"a,b\0c,d", 7), {u"a", u"b"}},
        {u"a,\u00e9t\u00e9", {u"a", u"\u00e9t\u00e9"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(rtl::ToUtf8(rtl::UnicodeString(row.text)));
        std::vector<std::u16string> got;
        for (const rtl::UnicodeString& f : SplitTrackFields(row.text))
            got.push_back(f.str());
        EXPECT_EQ(got, row.fields);
    }
}

TEST(TrackSentence, NumberText)
{
    struct Row {
        double value;
        const char* text;
    };
    const Row rows[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {35.0, "35"},
        {-35.0, "-35"},
        {19.446, "19.446"},
        {35.6520566666666667, "35.6520566666667"},
        {-139.761315, "-139.761315"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.1 + 0.2, "0.3"},
        {1e-5, "0.00001"},
        {9.99e-6, "9.99E-6"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {-1.852e300, "-1.852E300"},
        {123456.7890123456789, "123456.789012346"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(TrackNumberText(row.value), row.text);
    }
}

} // namespace
