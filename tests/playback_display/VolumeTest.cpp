// The master volume: the 0..30 scale against the mixer and the volume bar,
// and the pane's operations against the recording mixer.
#include "DisplayFixture.h"

#include "platform/win/DriveTable.h"
#include "playback/Volume.h"

using namespace playback;
using mixer::DWORD;
using mixer::RecordingMixer;

namespace playback_test {

namespace {

constexpr std::uint32_t kTop = 0xFFFFFFFF;

TEST(VolumeScale, MixerValuesBothWaysAtTheBoundsAndWithOddBounds)
{
    struct Row {
        const char* what;
        std::int64_t volume;
        std::uint32_t min, max;
        std::uint32_t written;
    };
    const Row rows[] = {
        {"0 of 0..65535", 0, 0, 65535, 0},
        {"15 of 0..65535", 15, 0, 65535, 32767},
        {"30 of 0..65535", 30, 0, 65535, 65535},
        {"-5 counts as 0", -5, 0, 65535, 0},
        {"45 counts as 30", 45, 0, 65535, 65535},
        {"huge volume", std::int64_t(1) << 40, 10, 20, 20},
        {"offset bounds", 10, 1000, 1300, 1100},
        {"full 32-bit range: no wrap", 30, 0, kTop, kTop},
        {"full 32-bit range, half", 15, 0, kTop, 2147483647},
        {"range near the top", 1, kTop - 30, kTop, kTop - 29},
        {"no range", 20, 500, 500, 500},
        {"maximum below minimum", 20, 900, 100, 900},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(VolumeToMixerValue(row.volume, row.min, row.max), row.written);
    }

    struct Back {
        const char* what;
        std::uint32_t value, min, max;
        std::int32_t volume;
    };
    const Back back[] = {
        {"minimum", 0, 0, 65535, 0},
        {"maximum", 65535, 0, 65535, 30},
        {"just below a half step", 1091, 0, 65535, 0}, // 0.4994 of a step
        {"a half step goes up", 1093, 0, 65535, 1}, // 0.5003 of a step
        {"below the bounds", 3, 10, 20, 0},
        {"above the bounds", kTop, 10, 20, 30},
        {"full 32-bit range", kTop, 0, kTop, 30},
        {"full 32-bit range, just under half", 2147483647, 0, kTop, 15},
        {"no range", 500, 500, 500, 0},
        {"maximum below minimum", 500, 900, 100, 0},
    };
    for (const Back& row : back) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(VolumeFromMixerValue(row.value, row.min, row.max), row.volume);
    }

    // Every step survives the trip for ordinary and odd bounds.
    const std::pair<std::uint32_t, std::uint32_t> bounds[] = {
        {0, 65535}, {0, 100}, {7, 37}, {0, kTop}, {kTop - 60, kTop}};
    for (auto [min, max] : bounds)
        for (int v = 0; v <= 30; ++v) {
            SCOPED_TRACE(testing::Message() << min << ".." << max << " volume " << v);
            EXPECT_EQ(VolumeFromMixerValue(VolumeToMixerValue(v, min, max), min, max), v);
        }
}

TEST(VolumeScale, TheThumbBothWaysAtTheEndsOfItsTravel)
{
    // The largest layout: the bar from 1171, the thumb 13 wide, so the left
    // edge travels 1171..1403 (half a thumb short of 1409).
    const std::int32_t min = 1171, max = 1409, width = 13;
    EXPECT_EQ(VolumeThumbLeft(0, min, max, width), 1171);
    EXPECT_EQ(VolumeThumbLeft(30, min, max, width), 1403);
    EXPECT_EQ(VolumeThumbLeft(15, min, max, width), 1287);
    EXPECT_EQ(VolumeThumbLeft(-3, min, max, width), 1171);
    EXPECT_EQ(VolumeThumbLeft(99, min, max, width), 1403);

    struct Drag {
        std::int64_t x;
        std::int32_t left, volume;
    };
    const Drag drags[] = {{0, 1171, 0},     {1171, 1171, 0},  {1179, 1179, 1},  {1287, 1287, 15},
                          {1402, 1402, 29}, {1403, 1403, 30}, {1409, 1403, 30}, {std::int64_t(1) << 40, 1403, 30}};
    for (const Drag& d : drags) {
        SCOPED_TRACE(d.x);
        const std::int32_t left = VolumeThumbDragLeft(d.x, min, max, width);
        EXPECT_EQ(left, d.left);
        EXPECT_EQ(VolumeFromThumbLeft(left, min, max, width), d.volume);
    }

    // A bar no longer than half the thumb has no travel: no division by zero.
    EXPECT_EQ(VolumeThumbLeft(20, 500, 506, 13), 500);
    EXPECT_EQ(VolumeThumbDragLeft(900, 500, 506, 13), 500);
    EXPECT_EQ(VolumeFromThumbLeft(500, 500, 506, 13), 0);
    EXPECT_EQ(VolumeFromThumbLeft(700, 500, 400, 13), 0);
}

} // namespace

class MasterVolume : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        BuildIn(575, 430);
        mixer->ClearCalls();
    }
    bool Silent()
    {
        for (const std::string& line : TaggedLog())
            if (line.find("ERROR") != std::string::npos)
                return false;
        return BoxTexts().empty();
    }
};

TEST_F(MasterVolume, SetClampsWritesAndRemembers)
{
    struct Row {
        std::int32_t volume;
        DWORD written;
        std::int32_t cached;
    };
    const Row rows[] = {{15, 32767, 15}, {-5, 0, 0}, {45, 65535, 30}, {30, 65535, 30}, {1, 2184, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.volume);
        mixer->ClearCalls();
        EXPECT_TRUE(pane->SetVolume(row.volume));
        EXPECT_EQ(mixer->Writes(), std::vector<DWORD>{row.written});
        EXPECT_EQ(pane->CachedVolume, row.cached);
        EXPECT_EQ(pane->GetVolume(), row.cached);
    }
    EXPECT_EQ(pane->VolumeMinimum, 0u);
    EXPECT_EQ(pane->VolumeMaximum, 65535u);
    EXPECT_EQ(pane->VolumeControlId, mixer->controlId);
}

TEST_F(MasterVolume, OddMixerBoundsNeitherDivideByZeroNorWrap)
{
    mixer->minimum = mixer->maximum = 4000;
    EXPECT_TRUE(pane->SetVolume(20));
    EXPECT_EQ(mixer->Writes(), std::vector<DWORD>{4000});
    EXPECT_EQ(pane->GetVolume(), 0);

    mixer->minimum = 0;
    mixer->maximum = kTop;
    EXPECT_TRUE(pane->SetVolume(30));
    EXPECT_EQ(mixer->value, kTop);
    EXPECT_EQ(pane->GetVolume(), 30);
}

TEST_F(MasterVolume, MixerFailuresStaySilentAndKeepTheLastVolume)
{
    struct Row {
        const char* what;
        void (*arrange)(RecordingMixer&);
        bool setWorks;
        std::int32_t read; // what GetVolume gives afterwards
    };
    // Set 12, the volume is moved to 3 elsewhere, the failure comes, set 25.
    const Row rows[] = {
        {"no speakers line", [](RecordingMixer& m) { m.hasLine = false; }, false, 12},
        {"no volume control", [](RecordingMixer& m) { m.hasControl = false; }, false, 12},
        {"line query fails", [](RecordingMixer& m) { m.lineFailure = mixer::MMSYSERR_NODRIVER; }, false, 12},
        {"control query fails", [](RecordingMixer& m) { m.controlFailure = mixer::MMSYSERR_ERROR; }, false, 12},
        {"reads fail", [](RecordingMixer& m) { m.readFailure = mixer::MMSYSERR_ERROR; }, true, 25},
        {"writes fail", [](RecordingMixer& m) { m.writeFailure = mixer::MMSYSERR_ERROR; }, false, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        mixer.reset();
        mixer = std::make_unique<RecordingMixer>();
        ASSERT_TRUE(pane->SetVolume(12));
        mixer->value = VolumeToMixerValue(3, mixer->minimum, mixer->maximum);
        row.arrange(*mixer);
        EXPECT_EQ(pane->SetVolume(25), row.setWorks);
        EXPECT_EQ(pane->CachedVolume, row.setWorks ? 25 : 12);
        EXPECT_EQ(pane->GetVolume(), row.read);
        EXPECT_EQ(pane->CachedVolume, row.read);
        EXPECT_TRUE(Silent());
    }
}

TEST_F(MasterVolume, BeforeAnyVolumeAnUnreadableMixerGivesZero)
{
    mixer->hasLine = false;
    EXPECT_EQ(pane->GetVolume(), 0);
    EXPECT_EQ(pane->CachedVolume, 0);
    mixer.reset(); // the default back end: a computer without a sound line
    EXPECT_FALSE(pane->SetVolume(10));
    EXPECT_EQ(pane->GetVolume(), 0);
    EXPECT_TRUE(Silent());
}

TEST_F(MasterVolume, WithTheCardGoneNothingReachesTheMixer)
{
    ASSERT_TRUE(pane->SetVolume(18));
    mixer->ClearCalls();
    win::DriveTable::Instance().SetPresent(u'E', false);
    EXPECT_TRUE(pane->SetVolume(3));
    EXPECT_EQ(pane->GetVolume(), 0);
    EXPECT_EQ(pane->CachedVolume, 18);
    EXPECT_TRUE(mixer->Calls().empty());
    win::DriveTable::Instance().SetPresent(u'E', true);
}

TEST_F(MasterVolume, CreationAndAFitReadTheMixerForTheThumb)
{
    Destroy();
    mixer->value = 65535;
    mixer->ClearCalls();
    BuildIn(575, 430);
    EXPECT_EQ(pane->CachedVolume, 30);
    mixer->value = 0;
    pane->FitToPanelVideo();
    EXPECT_EQ(pane->CachedVolume, 0);
    EXPECT_TRUE(mixer->Writes().empty()) << "reading the volume never writes it";
}

} // namespace playback_test
