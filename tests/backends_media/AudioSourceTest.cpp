// The recording's sound read through FFmpeg: exactly the writer's samples,
// from the start and from a position sought.
#include <gtest/gtest.h>

#include "Recordings.h"
#include "platform/backends/ffmpeg/FfmpegAudioSource.h"

namespace backends_test {
namespace {

std::vector<std::int16_t> ReadSamples(media::AudioReader& r, std::size_t count)
{
    std::vector<std::int16_t> out(count);
    std::size_t got = 0;
    while (got < count) {
        // Odd chunk sizes: the reader returns whole samples only.
        std::size_t n =
            r.Read(reinterpret_cast<std::uint8_t*>(out.data() + got), std::min<std::size_t>(333, (count - got) * 2));
        if (n == 0)
            break;
        EXPECT_EQ(n % 2, 0u);
        got += n / 2;
    }
    out.resize(got);
    return out;
}

TEST(AudioSourceTest, ReadsTheToneFromTheStartAndFromAPositionSought)
{
    test_support::TempFolder folder("vm-audio");
    const auto o = Sample(3, 10);
    const std::string path = folder.Path() + "/A.ASF";
    asfwriter::WriteSampleRecording(path, o);
    ffmpeg::FfmpegAudioSource source;
    auto reader = source.OpenAudio(StreamOf(path, o, false));
    ASSERT_TRUE(reader);

    std::vector<std::int16_t> all = ReadSamples(*reader, 100000);
    ASSERT_EQ(all.size(), 24000u); // 3 s at 8000 Hz
    for (std::uint32_t i = 0; i < all.size(); ++i)
        if (all[i] != ToneSample(i, 8000))
            FAIL() << "sample " << i;

    struct Row {
        media::REFERENCE_TIME position;
        std::uint32_t firstSample;
    } rows[] = {{0, 0}, {15000000, 12000}, {15500000, 12400}, {1250, 1}, {29990000, 23992}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.position);
        ASSERT_TRUE(reader->Seek(r.position));
        std::vector<std::int16_t> s = ReadSamples(*reader, 8);
        ASSERT_FALSE(s.empty());
        for (std::uint32_t i = 0; i < s.size(); ++i)
            EXPECT_EQ(s[i], ToneSample(r.firstSample + i, 8000)) << i;
    }
    EXPECT_FALSE(source.OpenAudio(StreamOf(folder.Path() + "/NONE.ASF", o, false)));
}

} // namespace
} // namespace backends_test
