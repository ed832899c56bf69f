// bench_media [FOLDER] [ROUNDS]: writes two recordings into FOLDER (default:
// the current folder) and measures
//   1. decoding a recording of the card's size (1280x960 MJPEG) frame by
//      frame through the frame source into 32-bit pixels (bytes B, G, R, 0),
//      against `ffmpeg -i FILE -pix_fmt bgr0 -f null -`, which decodes and
//      converts to the same pixel format, in interleaved rounds: the ratio
//      is ffmpeg's time over ours (target at least 1.0), min/median/max;
//   2. one frame step forward and one back at 1280x960, as the renderer
//      asks for them (the target is under 30 ms each).
// Build it optimised (Release or RelWithDebInfo): a sanitizer build
// measures the sanitizers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "tools/asfwriter/SampleRecording.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

media::SourceStream StreamOf(const std::string& path, const asfwriter::SampleOptions& o)
{
    media::SourceStream s;
    s.hostPath = path;
    s.stream.number = 1;
    s.stream.kind = media::AsfStreamKind::Video;
    s.stream.video = {static_cast<std::int32_t>(o.width), static_cast<std::int32_t>(o.height), 24, 0x47504A4D};
    s.stream.avgTimePerFrame = 10000000 / o.framesPerSecond;
    s.duration = static_cast<std::int64_t>(o.seconds) * 10000000;
    return s;
}

std::string Write(const std::string& folder, const char* name, int seconds, int fps, std::uint32_t w, std::uint32_t h)
{
    asfwriter::SampleOptions o;
    o.seconds = seconds;
    o.framesPerSecond = fps;
    o.width = w;
    o.height = h;
    o.distinctFrames = fps * 3; // pictures repeat every 3 s: writing stays quick
    const std::string path = folder + "/" + name;
    asfwriter::WriteSampleRecording(path, o);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : ".";

    // 1. Throughput at the card's size.
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    asfwriter::SampleOptions longOptions;
    longOptions.seconds = 20;
    longOptions.framesPerSecond = 30;
    longOptions.width = 1280;
    longOptions.height = 960;
    const std::string longPath = Write(folder, "BENCH_LONG.ASF", 20, 30, 1280, 960);
    const int frames = 20 * 30;

    const std::string command = "ffmpeg -v error -nostdin -i '" + longPath + "' -an -pix_fmt bgr0 -f null - ";
    const media::SourceStream longStream = StreamOf(longPath, longOptions);
    std::vector<double> ratios, ffmpegTimes, ourTimes;
    int drawn = 0;
    auto t0 = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        t0 = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bench_media: ffmpeg failed\n");
            return 1;
        }
        const double ffmpegMs = Ms(Clock::now() - t0);

        ffmpeg::FfmpegFrameSource source; // a new one each round: the index is read every time
        media::Frame pictures[2]; // as the renderer does: the picture before last is drawn over
        drawn = 0;
        t0 = Clock::now();
        for (int n = 0; n < frames; ++n) {
            const std::int64_t position = static_cast<std::int64_t>(n) * 10000000 / 30;
            media::Frame& f = pictures[n % 2];
            if (source.DrawFrame({&longStream, position, source.FrameNumber(longStream, position), 1280, 960}, f))
                ++drawn;
        }
        const double oursMs = Ms(Clock::now() - t0);
        ffmpegTimes.push_back(ffmpegMs);
        ourTimes.push_back(oursMs);
        ratios.push_back(ffmpegMs / oursMs);
        std::printf("  round %d: ffmpeg %7.1f ms, frame source %7.1f ms (%d drawn), ratio %.2f\n", round + 1, ffmpegMs,
                    oursMs, drawn, ffmpegMs / oursMs);
    }
    auto spread = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        char text[96];
        std::snprintf(text, sizeof text, "min %.2f  median %.2f  max %.2f", v.front(), v[v.size() / 2], v.back());
        return std::string(text);
    };
    std::printf("decoding %d frames of 1280x960 MJPEG to 32-bit B, G, R, 0 (index included), %d interleaved rounds:\n",
                frames, rounds);
    std::printf("  ffmpeg -pix_fmt bgr0 ms:  %s\n", spread(ffmpegTimes).c_str());
    std::printf("  frame source ms:          %s\n", spread(ourTimes).c_str());
    std::printf("  ratio (ffmpeg / ours):    %s (target >= 1.00)\n", spread(ratios).c_str());
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        double a = 0, b = 0, c = 0;
        if (std::fscanf(f, "%lf %lf %lf", &a, &b, &c) == 3)
            std::printf("  load average: %.2f %.2f %.2f\n", a, b, c);
        std::fclose(f);
    }

    // 2. Frame steps at 1280x960.
    asfwriter::SampleOptions bigOptions;
    bigOptions.seconds = 10;
    bigOptions.framesPerSecond = 30;
    bigOptions.width = 1280;
    bigOptions.height = 960;
    const std::string bigPath = Write(folder, "BENCH_1280.ASF", 10, 30, 1280, 960);
    const media::SourceStream big = StreamOf(bigPath, bigOptions);
    ffmpeg::FfmpegFrameSource source;
    media::Frame f;
    source.DrawFrame({&big, 0, 150, 1280, 960}, f); // opened and indexed, at frame 150
    std::vector<double> forward, back;
    std::int64_t n = 150;
    for (int i = 0; i < 40; ++i) {
        const bool ahead = i % 2 == 0;
        n += ahead ? 1 : -1;
        if (!ahead)
            n -= 0; // back to where it was
        t0 = Clock::now();
        source.DrawFrame({&big, 0, n, 1280, 960}, f);
        (ahead ? forward : back).push_back(Ms(Clock::now() - t0));
        if (!ahead) {
            // Next round steps forward from a frame further on.
            n += 5;
            source.DrawFrame({&big, 0, n, 1280, 960}, f);
        }
    }
    auto report = [](const char* name, std::vector<double> v) {
        std::sort(v.begin(), v.end());
        std::printf("  %-8s median %6.2f ms, worst %6.2f ms (target < 30 ms)\n", name, v[v.size() / 2], v.back());
    };
    std::printf("one frame step at 1280x960 (decode and convert to 32-bit RGB):\n");
    report("forward", forward);
    report("back", back);
    std::remove(longPath.c_str());
    std::remove(bigPath.c_str());
    return 0;
}
