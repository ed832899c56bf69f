// Damaged and cut-short recordings: the decoder shows what it can and never
// crashes or reads out of bounds (this program runs under the sanitizers).
// FFmpeg's complaints go to the debugger output.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "Recordings.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "platform/win/DebugOutput.h"

namespace backends_test {
namespace {

class DamagedRecordingTest : public ::testing::Test {
protected:
    test_support::TempFolder folder_{"vm-damaged"};
    asfwriter::SampleOptions options_ = Sample(3, 10);
    asfwriter::Bytes good_ = asfwriter::SampleRecordingBytes(options_);

    std::string Write(const std::string& name, const asfwriter::Bytes& bytes)
    {
        std::string path = folder_.Path() + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Every frame forward, then back, then a few jumps.
    const std::vector<std::int64_t> order_ = [] {
        std::vector<std::int64_t> order;
        for (int n = 0; n < 30; ++n)
            order.push_back(n);
        for (int n = 29; n >= 0; --n)
            order.push_back(n);
        for (int n : {25, 2, 17, 0, 29})
            order.push_back(n);
        return order;
    }();

    static constexpr int kNotDrawn = -1;
    static constexpr int kUnreadable = -2; // a picture cut short: the counter may be gone

    // Plays order_; returns the frame numbers read from the pictures drawn.
    std::vector<int> PlayThrough(const std::string& path)
    {
        ffmpeg::FfmpegFrameSource source;
        const media::SourceStream stream = StreamOf(path, options_);
        std::vector<int> seen;
        for (std::int64_t n : order_) {
            const std::int64_t number = source.FrameNumber(stream, n * 1000000);
            media::Frame f;
            const bool drawn = source.DrawFrame({&stream, n * 1000000, number, 320, 240}, f);
            const int counter = asfwriter::ReadMosaicCounter(f.pixels.data(), f.width, f.height);
            seen.push_back(!drawn ? kNotDrawn : counter < 0 ? kUnreadable : counter);
        }
        return seen;
    }
};

TEST_F(DamagedRecordingTest, ACutShortRecordingPlaysUpToTheCut)
{
    const std::size_t header = 1000; // well inside the first data packet
    for (double part : {0.0, 0.25, 0.5, 0.9}) {
        SCOPED_TRACE(part);
        asfwriter::Bytes cut(good_.begin(),
                             good_.begin() + static_cast<std::ptrdiff_t>(header + part * (good_.size() - header)));
        const std::vector<int> seen = PlayThrough(Write("CUT.ASF", cut));
        if (part == 0.0)
            continue; // nothing to show, and nothing crashed
        // Frames before the cut show themselves; later ones the last frame there is.
        EXPECT_EQ(seen[0], 0);
        // Frames before the cut show themselves, forward, back and after
        // jumps; the one the cut goes through shows what of it decodes.
        int whole = 0;
        while (whole < 30 && seen[whole] == whole)
            ++whole;
        EXPECT_GE(whole, static_cast<int>(part * 30) - 3);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const int asked = static_cast<int>(order_[i]);
            if (asked < whole)
                EXPECT_EQ(seen[i], asked) << i;
            else
                EXPECT_NE(seen[i], kNotDrawn) << i;
        }
    }
}

TEST_F(DamagedRecordingTest, DamagedBytesNeverCrashAndFfmpegTalksToTheDebuggerOutput)
{
    win::ClearDebugOutput();
    struct Row {
        const char* name;
        std::size_t every;
        std::uint8_t mask;
    } rows[] = {
        {"a byte in every 97 flipped", 97, 0x5A},
        {"a byte in every 3001 zeroed", 3001, 0xFF},
        {"a byte in every 13 flipped", 13, 0x81},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        asfwriter::Bytes bad = good_;
        for (std::size_t i = 800; i < bad.size(); i += r.every)
            bad[i] = r.mask == 0xFF ? 0 : bad[i] ^ r.mask;
        PlayThrough(Write("BAD.ASF", bad));
    }
    EXPECT_FALSE(win::DebugOutputTexts().empty());
}

TEST_F(DamagedRecordingTest, WhatIsNoRecordingDrawsNothing)
{
    ffmpeg::FfmpegFrameSource source;
    struct Row {
        const char* name;
        asfwriter::Bytes bytes;
    } rows[] = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o'}},
        {"header only", asfwriter::Bytes(good_.begin(), good_.begin() + 600)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const media::SourceStream stream = StreamOf(Write("X.ASF", r.bytes), options_);
        // Frame numbers fall back to the frame time.
        EXPECT_EQ(source.FrameNumber(stream, 25000000), 25);
        media::Frame f;
        EXPECT_FALSE(source.DrawFrame({&stream, 0, 3, 320, 240}, f));
    }
    const media::SourceStream missing = StreamOf(folder_.Path() + "/NONE.ASF", options_);
    media::Frame f;
    EXPECT_FALSE(source.DrawFrame({&missing, 0, 0, 320, 240}, f));
}

} // namespace
} // namespace backends_test
