// Pictures decoded by FFmpeg from the writer's recordings: the frame counter
// in the mosaic is read back from each picture, so a wrong frame shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "Recordings.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "platform/backends/ffmpeg/VideoDecoder.h"
#include "platform/vcl/PngWriter.h"

namespace backends_test {
namespace {

class DecodingTest : public ::testing::Test {
protected:
    test_support::TempFolder folder_{"vm-decoding"};
    std::string Write(const std::string& name, const asfwriter::SampleOptions& o)
    {
        std::string path = folder_.Path() + "/" + name;
        asfwriter::WriteSampleRecording(path, o);
        return path;
    }
};

int Counter(const media::Frame& f) { return asfwriter::ReadMosaicCounter(f.pixels.data(), f.width, f.height); }

TEST_F(DecodingTest, EveryFrameInOrderCarriesItsNumberAndTime)
{
    const auto o = Sample(3, 30);
    auto d = ffmpeg::VideoDecoder::Open(Write("A.ASF", o), 1);
    ASSERT_TRUE(d);
    ASSERT_EQ(d->FrameCount(), 90);
    for (int n = 0; n < 90; ++n) {
        SCOPED_TRACE(n);
        media::Frame f;
        ASSERT_TRUE(d->Draw(n, 320, 240, f));
        EXPECT_EQ(Counter(f), n);
        EXPECT_EQ(d->TimeOf(n), n * 1000LL / 30 * 10000); // whole milliseconds
        EXPECT_EQ(f.At(0, 0) >> 24, 0u); // the fourth byte of a DIB pixel is 0
    }
    EXPECT_EQ(d->Seeks(), 0);
}

TEST_F(DecodingTest, PositionsFindFramesByTheStreamsOwnTimes)
{
    const auto o = Sample(2, 30);
    auto d = ffmpeg::VideoDecoder::Open(Write("A.ASF", o), 1);
    ASSERT_TRUE(d);
    struct Row {
        media::REFERENCE_TIME position;
        std::int64_t frame;
    } rows[] = {
        {-5, 0},         {0, 0},      {320000, 0}, {320001, 1}, // frame 1 is stored at 33 ms and shown from 1 ms before
        {330000, 1}, // a division by 333333 would say 0
        {333333, 1},     {650000, 1}, {650001, 2}, // frame 2 at 66 ms
        {999999, 3}, // three frame times: frame 3, stored at 100 ms
        {10000000, 30}, // 1 s
        {19670000, 59}, // the last frame, at 1966 ms
        {999999999, 59}, // past the end: the last
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.position);
        EXPECT_EQ(d->FrameAt(r.position), r.frame);
    }
    // Stepping by the frame time from each frame's own time reaches the next frame.
    for (int n = 0; n + 1 < 60; ++n)
        EXPECT_EQ(d->FrameAt(d->TimeOf(n) + 333333), n + 1) << n;
}

TEST_F(DecodingTest, StepsAndSeeksShowWhatDecodingFromTheStartShows)
{
    const auto o = Sample(4, 25);
    const std::string path = Write("A.ASF", o);
    std::vector<media::Frame> reference(100);
    {
        auto d = ffmpeg::VideoDecoder::Open(path, 1);
        ASSERT_TRUE(d);
        for (int n = 0; n < 100; ++n)
            ASSERT_TRUE(d->Draw(n, 320, 240, reference[n]));
    }
    struct Row {
        const char* name;
        std::vector<int> frames;
    } rows[] = {
        {"steps forward", {10, 11, 12, 13, 14}},
        {"steps back", {40, 39, 38, 37, 36}},
        {"back and forth", {50, 49, 50, 51, 50}},
        {"jumps", {80, 3, 55, 0, 99, 99, 98, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto d = ffmpeg::VideoDecoder::Open(path, 1);
        ASSERT_TRUE(d);
        for (int n : r.frames) {
            SCOPED_TRACE(n);
            media::Frame f;
            ASSERT_TRUE(d->Draw(n, 320, 240, f));
            EXPECT_EQ(Counter(f), n);
            EXPECT_TRUE(f == reference[n]);
        }
    }
}

TEST_F(DecodingTest, TheFrameSourceScalesToTheRequestAndFollowsAChangedFile)
{
    auto o = Sample(1, 10, 640, 480);
    const std::string path = Write("A.ASF", o);
    ffmpeg::FfmpegFrameSource source;
    const media::SourceStream stream = StreamOf(path, o);
    media::Frame f;
    ASSERT_TRUE(source.DrawFrame({&stream, 0, source.FrameNumber(stream, 5000000), 640, 480}, f));
    EXPECT_EQ(Counter(f), 5);
    vcl::PixelBuffer picture(f.width, f.height);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            picture.SetPixel(x, y, f.At(x, y));
    EXPECT_TRUE(vcl::PngWriter::Save(picture, std::string(VM_BINARY_DIR) + "/backends_media_decoded_frame.png"));

    // A smaller picture than the stream's: scaled, still readable.
    ASSERT_TRUE(source.DrawFrame({&stream, 0, 7, 320, 240}, f));
    EXPECT_EQ(f.width, 320);
    EXPECT_EQ(Counter(f), 7);

    // The same name written again, longer: the new file's frames are found.
    o.seconds = 3;
    Write("A.ASF", o);
    EXPECT_EQ(source.FrameNumber(stream, 25000000), 25);
    ASSERT_TRUE(source.DrawFrame({&stream, 0, 25, 640, 480}, f));
    EXPECT_EQ(Counter(f), 25);
}

// Drawn where it shows, a picture has the very pixels of the native
// picture scaled nearest-neighbour, as the renderer's own scaling gives.
TEST_F(DecodingTest, APictureDrawnAtTheSizeItShowsHasThePixelsOfTheNativeOneScaled)
{
    const auto o = Sample(1, 10, 640, 480);
    const std::string path = Write("A.ASF", o);
    auto d = ffmpeg::VideoDecoder::Open(path, 1);
    ASSERT_TRUE(d);
    media::Frame native;
    ASSERT_TRUE(d->Draw(4, 640, 480, native));
    struct Case {
        const char* name;
        int width, height; // the target
        win::RECT source, picture;
    } cases[] = {
        {"the mosaic, cut by its window", 380, 284, {0, 0, 640, 480}, {0, 0, 384, 288}},
        {"upper left enlarged", 380, 284, {0, 0, 640, 480}, {0, 0, 768, 581}},
        {"lower right enlarged", 380, 284, {0, 0, 640, 480}, {-384, -288, 384, 288}},
        {"a band of the upper cameras", 380, 140, {0, 0, 640, 480}, {0, 0, 384, 288}},
        {"larger than the picture", 700, 500, {0, 0, 640, 480}, {10, 5, 690, 495}},
        {"a part of the picture", 200, 150, {101, 37, 503, 411}, {0, 0, 200, 150}},
        {"wholly outside: nothing drawn", 200, 150, {0, 0, 640, 480}, {300, 0, 500, 150}},
    };
    const std::uint32_t untouched = 0xAB000000u;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(c.width) * c.height, untouched);
        ASSERT_TRUE(d->DrawScaled(4, 640, 480, {pixels.data(), c.width, c.height, c.source, c.picture}));
        const std::int64_t sw = c.source.right - c.source.left, sh = c.source.bottom - c.source.top;
        const std::int64_t pw = c.picture.right - c.picture.left, ph = c.picture.bottom - c.picture.top;
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                std::uint32_t expected = untouched;
                if (x >= c.picture.left && x < c.picture.right && y >= c.picture.top && y < c.picture.bottom)
                    expected = native.At(static_cast<int>(c.source.left + (x - c.picture.left) * sw / pw),
                                         static_cast<int>(c.source.top + (y - c.picture.top) * sh / ph));
                wrong += pixels[static_cast<std::size_t>(y) * c.width + x] != expected;
            }
        EXPECT_EQ(wrong, 0);
    }

    // What it cannot take is left to the caller, the target as it was.
    std::vector<std::uint32_t> pixels(100 * 100, untouched);
    EXPECT_FALSE(d->DrawScaled(4, 320, 240, {pixels.data(), 100, 100, {0, 0, 320, 240}, {0, 0, 100, 100}}))
        << "a native size the decoder does not give";
    EXPECT_FALSE(d->DrawScaled(4, 640, 480, {pixels.data(), 100, 100, {0, 0, 641, 480}, {0, 0, 100, 100}}))
        << "a source outside the picture";
    EXPECT_FALSE(d->DrawScaled(4, 640, 480, {pixels.data(), 100, 100, {0, 0, 640, 480}, {0, 0, 0, 100}}))
        << "an empty picture";
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p == untouched; }));

    // After the scaled one, the native picture of the same frame (a still).
    media::Frame again;
    ASSERT_TRUE(d->Draw(4, 640, 480, again));
    EXPECT_TRUE(again == native);
}

} // namespace
} // namespace backends_test

namespace backends_test {
namespace {

// The decoder's worker reads ahead while frames are shown; seeks stop it
// and the end of the decoder ends it. Runs under ThreadSanitizer too.
TEST(DecoderReadAheadThreadTest, SeeksAndTheEndMeetTheWorkerAtAnyPoint)
{
    test_support::TempFolder folder("vm-readahead");
    const auto o = Sample(2, 25);
    const std::string path = folder.Path() + "/A.ASF";
    asfwriter::WriteSampleRecording(path, o);
    for (int stopAfter : {1, 2, 5, 20, 49}) {
        SCOPED_TRACE(stopAfter);
        auto d = ffmpeg::VideoDecoder::Open(path, 1);
        ASSERT_TRUE(d);
        media::Frame f;
        for (int n = 0; n < stopAfter; ++n) {
            ASSERT_TRUE(d->Draw(n, 320, 240, f));
            EXPECT_EQ(Counter(f), n);
        }
        ASSERT_TRUE(d->Draw(stopAfter / 2, 320, 240, f)); // back, while the worker runs
        EXPECT_EQ(Counter(f), stopAfter / 2);
        ASSERT_TRUE(d->Draw(49, 320, 240, f)); // to the end
        EXPECT_EQ(Counter(f), 49);
        ASSERT_TRUE(d->Draw(stopAfter, 320, 240, f));
        EXPECT_EQ(Counter(f), stopAfter);
        // The decoder ends here with its worker reading ahead.
    }
}

} // namespace
} // namespace backends_test
