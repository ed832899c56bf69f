// One tick of the track timer against a recording graph and map: which ticks
// move the cursor, which search, what the read-out shows and when the marker
// moves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/SeekPosition.h"
#include "platform/rtl/Exception.h"
#include "tracks/TrackTimer.h"

namespace {

// Records the targets' calls as "pos 1000", "speed 52", "car 35.1 139.1 90".
class Recorder : public TTrackTimerTargets {
public:
    void SetPos(std::int32_t ms) override { calls.push_back("pos " + std::to_string(ms)); }
    void SetSpeedText(const rtl::UnicodeString& text) override
    {
        calls.push_back("speed " + std::string(rtl::AnsiString(text).c_str()));
    }
    bool SetCarPos(const rtl::AnsiString& lat, const rtl::AnsiString& lng, float heading) override
    {
        calls.push_back("car " + std::string(lat.c_str()) + " " + std::string(lng.c_str()) + " " +
                        std::to_string(static_cast<int>(heading)));
        return true;
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

// One pixel of the seek track per millisecond: thumb left == ms.
constexpr double kScale = 1.0 / 10000.0;

class TrackTimerTest : public ::testing::Test {
protected:
    void Add(std::uint32_t ms, const char* lat, const char* lng, const char* speed, float course = 90.0f)
    {
        auto* r = new TGpsInfo();
        r->TimeMs = ms;
        r->Latitude = lat;
        r->Longitude = lng;
        r->Speed = speed;
        r->Course = course;
        info.AddGpsInfo(r);
        info.Loaded = 1;
    }
    Calls Tick(std::int32_t ms)
    {
        TrackTimerTick(ms, 0, kScale, &info, TTrackTimerFields{lastPos, lastGps, lastLat, lastLng}, rec);
        return rec.Take();
    }

    TAsfFileInfo info;
    Recorder rec;
    std::int32_t lastPos = -1;
    std::int32_t lastGps = -1;
    float lastLat = 0.0f;
    float lastLng = 0.0f;
};

TEST_F(TrackTimerTest, OneSearchPerSecondOfRecording)
{
    Add(0, "35.1", "139.1", "50");
    Add(1000, "35.2", "139.2", "51.5");
    Add(2000, "35.3", "139.3", "52.5");
    EXPECT_EQ(Tick(0), (Calls{"pos 0", "speed 50", "car 35.1 139.1 90"}));
    EXPECT_EQ(Tick(0), Calls{}); // paused: the thumb does not move
    EXPECT_EQ(Tick(100), Calls{"pos 100"});
    EXPECT_EQ(Tick(999), Calls{"pos 999"});
    EXPECT_EQ(Tick(1000), (Calls{"pos 1000", "speed 52", "car 35.2 139.2 90"}));
    EXPECT_EQ(Tick(1500), Calls{"pos 1500"});
    EXPECT_EQ(Tick(2100), (Calls{"pos 2100", "speed 52", "car 35.3 139.3 90"}));
    EXPECT_EQ(info.GpsCursor, 3);
    EXPECT_EQ(lastGps, 2000);
    EXPECT_FLOAT_EQ(lastLat, 35.3f);
    EXPECT_FLOAT_EQ(lastLng, 139.3f);
}

TEST_F(TrackTimerTest, TheReadOutOutlivesItsRecordBy1800Ms)
{
    Add(5000, "35.1", "139.1", "40");
    EXPECT_EQ(Tick(5000), (Calls{"pos 5000", "speed 40", "car 35.1 139.1 90"}));
    EXPECT_EQ(Tick(6000), Calls{"pos 6000"});
    EXPECT_EQ(Tick(6800), Calls{"pos 6800"});
    EXPECT_EQ(Tick(6801), (Calls{"pos 6801", "speed "}));
    // Before the record: emptied at once.
    lastGps = 5000;
    EXPECT_EQ(Tick(4000), (Calls{"pos 4000", "speed "}));
}

TEST_F(TrackTimerTest, ASeekBackSearchesBehindTheCursor)
{
    for (std::uint32_t t = 0; t <= 30000; t += 1000)
        Add(t, "35.0", std::to_string(139.0 + t / 1000 * 0.01).c_str(), "60");
    Tick(30000);
    EXPECT_EQ(info.GpsCursor, 31);
    EXPECT_EQ(Tick(10000), (Calls{"pos 10000", "speed 60", "car 35.0 139.100000 90"}));
    EXPECT_EQ(info.GpsCursor, 11);
    EXPECT_EQ(lastGps, 10000);
}

TEST_F(TrackTimerTest, AStandingVehicleKeepsTheMarker)
{
    struct Row {
        const char* name;
        const char* speed;
        const char* lat;
        const char* lng;
        bool moves;
        const char* readOut;
    };
    const Row rows[] = {
        {"slow and close", "1.4", "35.0004", "139.0009", false, "1"},
        {"speed at the limit", "2.0", "35.0004", "139.0009", true, "2"},
        {"no speed, close", "", "35.0004", "139.0009", false, ""},
        {"no speed, drifted north", "", "35.0005", "139.0", true, ""},
        {"slow, drifted east", "1", "35.0", "139.001", true, "1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ClearGpsList(info.GpsList);
        info.GpsCursor = 0;
        lastPos = lastGps = -1;
        lastLat = 35.0f;
        lastLng = 139.0f;
        Add(0, row.lat, row.lng, row.speed);
        Calls expected{"pos 0", std::string("speed ") + row.readOut};
        if (row.moves)
            expected.push_back(std::string("car ") + row.lat + " " + row.lng + " 90");
        EXPECT_EQ(Tick(0), expected);
        EXPECT_EQ(info.GpsCursor, row.moves ? 1 : 0);
    }
}

TEST_F(TrackTimerTest, NothingHappensWithoutTracksOrPosition)
{
    Add(0, "35.1", "139.1", "50");
    info.Loaded = 0;
    EXPECT_EQ(Tick(0), Calls{});
    EXPECT_EQ(lastPos, -1);
    info.Loaded = 1;
    const double badScales[] = {0.0, std::numeric_limits<double>::infinity(), std::nan(""), 1e-300};
    for (double scale : badScales) {
        TrackTimerTick(7, 0, scale, &info, TTrackTimerFields{lastPos, lastGps, lastLat, lastLng}, rec);
        EXPECT_EQ(rec.Take(), Calls{}) << scale;
    }
    TrackTimerTick(0, 0, kScale, nullptr, TTrackTimerFields{lastPos, lastGps, lastLat, lastLng}, rec);
    EXPECT_EQ(rec.Take(), Calls{});
}

TEST_F(TrackTimerTest, TimesAtTheEndsOf32BitsNeverOverflow)
{
    Add(0xFFFFFFFFu, "35.1", "139.1", "50");
    Add(0x80000000u, "35.2", "139.2", "50");
    lastGps = INT32_MIN;
    EXPECT_EQ(Tick(2147480000), (Calls{"pos 2147480000", "speed "}));
    // 0 - 0xFFFFFFFF is 1 on the 32-bit clock: that record is 1 ms old.
    EXPECT_EQ(Tick(0), (Calls{"pos 0", "speed 50", "car 35.1 139.1 90"}));
}

TEST_F(TrackTimerTest, ABadLatitudeEndsTheTickAfterTheMarkerMoved)
{
    Add(0, "35.1x", "139.1", "50");
    EXPECT_THROW(Tick(0), rtl::Exception);
    EXPECT_EQ(rec.Take(), (Calls{"pos 0", "speed 50", "car 35.1x 139.1 90"}));
    EXPECT_EQ(info.GpsCursor, 1);
    EXPECT_EQ(lastGps, 0);
    EXPECT_FLOAT_EQ(lastLat, 0.0f);
}

TEST(SeekPosition, ThumbToPositionTruncatesAndRefusesWhatDoesNotConvert)
{
    std::int64_t pos = -7;
    EXPECT_TRUE(ThumbToPosition(110, 10, 1e-5, pos));
    EXPECT_EQ(pos, 10000000);
    EXPECT_TRUE(ThumbToPosition(3, 10, 0.5, pos));
    EXPECT_EQ(pos, -14);
    EXPECT_TRUE(ThumbToPosition(INT32_MAX, INT32_MIN, 1.0, pos));
    EXPECT_EQ(pos, 4294967295LL);
    pos = -7;
    EXPECT_FALSE(ThumbToPosition(1, 0, 0.0, pos));
    EXPECT_FALSE(ThumbToPosition(1, 0, 1e-300, pos));
    EXPECT_FALSE(ThumbToPosition(1, 0, std::nan(""), pos));
    EXPECT_EQ(pos, -7);
    EXPECT_FALSE(ThumbToPosition(0, 0, std::numeric_limits<double>::infinity(), pos));
}

} // namespace
