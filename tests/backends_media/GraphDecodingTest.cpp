// The program's graph with FFmpeg's pictures: frame steps, seeks and a run
// on the virtual clock, the picture taken with GetCurrentImage.
#include <gtest/gtest.h>

#include <cstring>

#include "Recordings.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "tests/platform/media/MediaFixture.h"

namespace backends_test {
namespace {

class GraphDecodingTest : public media_test::MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        InstallFrameSource(&source_);
        BuildProgramGraph(g_, window_.Handle());
        ASSERT_EQ(LoadRecording(g_, WriteFile("A.ASF", asfwriter::SampleRecordingBytes(Sample(3, 30)))), S_OK);
    }
    void TearDown() override
    {
        g_ = media_test::ProgramGraph{};
        MediaTest::TearDown();
    }
    HRESULT Seek(LONGLONG to)
    {
        return g_.seeking->SetPositions(&to, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    }
    // The counter of the picture the renderer hands out (bottom-up DIB).
    int CounterShown()
    {
        BYTE* dib = nullptr;
        if (g_.windowless->GetCurrentImage(&dib) != S_OK)
            return -2;
        BITMAPINFOHEADER h;
        std::memcpy(&h, dib, sizeof h);
        std::vector<std::uint32_t> top(static_cast<std::size_t>(h.biWidth) * h.biHeight);
        for (LONG y = 0; y < h.biHeight; ++y)
            std::memcpy(&top[static_cast<std::size_t>(y) * h.biWidth],
                        dib + sizeof h + static_cast<std::size_t>(h.biHeight - 1 - y) * h.biWidth * 4,
                        static_cast<std::size_t>(h.biWidth) * 4);
        CoTaskMemFree(dib);
        return asfwriter::ReadMosaicCounter(top.data(), h.biWidth, h.biHeight);
    }

    ffmpeg::FfmpegFrameSource source_;
    media_test::RecordingWindow window_;
    media_test::ProgramGraph g_;
};

TEST_F(GraphDecodingTest, FrameStepsAndSeeksWhilePausedShowTheFrameAsked)
{
    ASSERT_EQ(g_.control->Pause(), S_OK);
    EXPECT_EQ(CounterShown(), 0);
    // Steps of one frame time forward, then back, as the transport does them.
    LONGLONG position = 0;
    for (int n = 1; n <= 7; ++n) {
        position += 333333;
        ASSERT_EQ(Seek(position), S_OK);
        EXPECT_EQ(CounterShown(), n);
    }
    for (int n = 6; n >= 0; --n) {
        position -= 333333;
        ASSERT_EQ(Seek(position), S_OK);
        EXPECT_EQ(CounterShown(), n);
    }
    struct Row {
        LONGLONG position;
        int frame;
    } rows[] = {{25000000, 75}, {330000, 1}, {320001, 1}, {320000, 0}, {29990000, 89}, {40000000, 89}, {10000000, 30}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.position);
        ASSERT_EQ(Seek(r.position), S_OK);
        EXPECT_EQ(CounterShown(), r.frame);
    }
}

TEST_F(GraphDecodingTest, ARunShowsTheFrameOfTheClock)
{
    ASSERT_EQ(Seek(10000000), S_OK);
    ASSERT_EQ(g_.control->Run(), S_OK);
    EXPECT_EQ(CounterShown(), 30);
    clock_.Advance(500);
    EXPECT_EQ(CounterShown(), 45);
    clock_.Advance(40);
    EXPECT_EQ(CounterShown(), 46); // 1.54 s: frame 46 is at 1533 ms
    ASSERT_EQ(g_.control->Stop(), S_OK);
    EXPECT_EQ(CounterShown(), 46); // a stop keeps the picture
}

} // namespace
} // namespace backends_test
