// The sound renderer and its player: sound while the graph runs at rate 1,
// halted by a pause, a stop or another rate, told of each position shown
// (a seek, a new frame), and the renderer's volume passed on.
#include "MediaFixture.h"

#include <ostream>

namespace media_test {
namespace {

struct Call {
    std::string what;
    REFERENCE_TIME position = 0;
    friend bool operator==(const Call&, const Call&) = default;
};
std::ostream& operator<<(std::ostream& out, const Call& c) { return out << c.what << " " << c.position; }

class RecordingPlayer final : public SoundPlayer {
public:
    explicit RecordingPlayer(std::vector<Call>& calls) : calls_(calls) {}
    void Play(const SourceStream& stream, REFERENCE_TIME position) override
    {
        calls_.push_back({stream.stream.kind == AsfStreamKind::Audio ? "play" : "play video?", position});
    }
    void Halt() override
    {
        if (calls_.empty() || calls_.back().what != "halt")
            calls_.push_back({"halt", 0});
    }
    void SetVolume(std::int32_t volume) override { calls_.push_back({"volume", volume}); }

private:
    std::vector<Call>& calls_;
};

class RecordingOutput final : public SoundOutput {
public:
    std::unique_ptr<SoundPlayer> CreatePlayer() override { return std::make_unique<RecordingPlayer>(calls); }
    std::vector<Call> calls;
};

class SoundTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        InstallSoundOutput(&output_);
        BuildProgramGraph(g_, window_.Handle());
        ASSERT_EQ(LoadRecording(g_, WriteRecording("A.ASF")), S_OK);
    }
    void TearDown() override
    {
        g_ = ProgramGraph{};
        InstallSoundOutput(nullptr);
        MediaTest::TearDown();
    }
    HRESULT Seek(LONGLONG to)
    {
        return g_.seeking->SetPositions(&to, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    }
    void Tick(std::uint64_t ms)
    {
        clock_.Advance(ms);
        LONGLONG p = 0;
        ASSERT_EQ(g_.seeking->GetCurrentPosition(&p), S_OK);
    }

    RecordingOutput output_;
    RecordingWindow window_;
    ProgramGraph g_;
};

TEST_F(SoundTest, PlaysAtRateOneOnlyAndFollowsTheGraph)
{
    ASSERT_EQ(g_.audio->put_Volume(-600), S_OK);
    ASSERT_EQ(g_.control->Pause(), S_OK); // paused: no sound
    ASSERT_EQ(g_.control->Run(), S_OK);
    Tick(500);
    ASSERT_EQ(Seek(30000000), S_OK); // a seek while running
    Tick(100);
    ASSERT_EQ(g_.control->Pause(), S_OK);
    ASSERT_EQ(Seek(10000000), S_OK); // a seek while paused: still silent
    ASSERT_EQ(g_.control->Run(), S_OK);
    ASSERT_EQ(g_.seeking->SetRate(2.0), S_OK); // speed play is silent
    Tick(100);
    ASSERT_EQ(g_.seeking->SetRate(1.0), S_OK);
    ASSERT_EQ(g_.audio->put_Volume(-10000), S_OK);
    ASSERT_EQ(g_.control->Stop(), S_OK);
    const std::vector<Call> expected = {
        {"volume", -600},   {"play", 0}, {"play", 5000000},  {"play", 30000000}, {"play", 31000000}, {"halt", 0},
        {"play", 10000000}, {"halt", 0}, {"play", 12000000}, {"volume", -10000}, {"halt", 0},
    };
    EXPECT_EQ(output_.calls, expected);
}

} // namespace
} // namespace media_test
