// bench_media [FOLDER]: writes two recordings into FOLDER (default: the
// current folder) and measures
//   1. decoding a long recording frame by frame through the frame source,
//      against `ffmpeg -i FILE -f null -` on the same file in the same run
//      (the target is at least 0.9 of ffmpeg's frame rate);
//   2. one frame step forward and one back at 1280x960, as the renderer
//      asks for them (the target is under 30 ms each).
// Build it optimised (RelWithDebInfo): a sanitizer build measures the
// sanitizers.
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

    // 1. Throughput.
    asfwriter::SampleOptions longOptions;
    longOptions.seconds = 120;
    longOptions.framesPerSecond = 30;
    longOptions.width = 640;
    longOptions.height = 480;
    const std::string longPath = Write(folder, "BENCH_LONG.ASF", 120, 30, 640, 480);
    const int frames = 120 * 30;

    // Three rounds, alternating, the best of each counted: the machine may be busy.
    const std::string command = "ffmpeg -v error -nostdin -i '" + longPath + "' -an -f null - ";
    const media::SourceStream longStream = StreamOf(longPath, longOptions);
    double ffmpegMs = 1e300, oursMs = 1e300, firstMs = 0;
    int drawn = 0;
    auto t0 = Clock::now();
    for (int round = 0; round < 3; ++round) {
        t0 = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bench_media: ffmpeg failed\n");
            return 1;
        }
        ffmpegMs = std::min(ffmpegMs, Ms(Clock::now() - t0));

        ffmpeg::FfmpegFrameSource source; // a new one each round: the index is read every time
        media::Frame pictures[2];         // as the renderer does: the picture before last is drawn over
        drawn = 0;
        t0 = Clock::now();
        for (int n = 0; n < frames; ++n) {
            if (n == 1) firstMs = Ms(Clock::now() - t0);
            const std::int64_t position = static_cast<std::int64_t>(n) * 10000000 / 30;
            media::Frame& f = pictures[n % 2];
            if (source.DrawFrame({&longStream, position, source.FrameNumber(longStream, position), 640, 480}, f)) ++drawn;
        }
        oursMs = std::min(oursMs, Ms(Clock::now() - t0));
    }
    const double ffmpegFps = frames * 1000.0 / ffmpegMs;
    const double oursFps = drawn * 1000.0 / oursMs;
    std::printf("decoding %d frames of 640x480 MJPEG (index included; best of 3):\n", frames);
    std::printf("  ffmpeg -f null:  %8.1f ms  %7.1f frames/s\n", ffmpegMs, ffmpegFps);
    std::printf("  frame source:    %8.1f ms  %7.1f frames/s  (%d drawn, 32-bit RGB)\n", oursMs, oursFps, drawn);
    std::printf("  of which opening and indexing with the first frame: %.1f ms\n", firstMs);
    std::printf("  ratio:           %.2f (target >= 0.90)\n", oursFps / ffmpegFps);

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
        if (!ahead) n -= 0; // back to where it was
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
