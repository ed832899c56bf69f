// Megabytes per second of the track reader on a generated recording of at
// least 100 MB (MJPG video, PCM sound, track sentences every second), beside
// plain sequential reads of the same file and ffmpeg's stream copy of the
// track stream (when ffmpeg is installed); prints the ratios, taken from the
// median of the repetitions when there are several.
//   bench_asf [--file HOST_PATH] [benchmark options]
// Without --file the recording is written once to $TMPDIR/vm_bench_asf.
#include "tools/asfwriter/SampleRecording.h"

#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"

#include "platform/win/DriveTable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <algorithm>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint64_t MinimumBytes = 100ull * 1000 * 1000;

std::string g_hostPath;
std::uint64_t g_bytes = 0;
const rtl::UnicodeString g_windowsPath = u"B:\\BENCH.ASF";

std::uint64_t FileSize(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

void Prepare(std::string path)
{
    if (path.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/vm_bench_asf";
        mkdir(folder.c_str(), 0755);
        path = folder + "/BENCH.ASF";
    }
    if (FileSize(path) < MinimumBytes) {
        asfwriter::SampleOptions o;
        o.width = 640;
        o.height = 480;
        o.framesPerSecond = 30;
        o.distinctFrames = 30;
        o.sampleRate = 16000;
        // One second of pictures and sound, to size the recording.
        const std::uint64_t perSecond =
            30 * (asfwriter::EncodeMosaicJpeg(o.width, o.height, 0, o.jpegQuality).size() + 16000 * 2 / 30);
        o.seconds = static_cast<int>(MinimumBytes / perSecond) + 10;
        std::fprintf(stderr, "writing %s (%d s)...\n", path.c_str(), o.seconds);
        asfwriter::WriteSampleRecording(path, o);
    }
    g_hostPath = path;
    g_bytes = FileSize(path);
    const std::size_t slash = path.find_last_of('/');
    win::DriveTable::Instance().SetDrive(u'B', path.substr(0, slash));
    if (path.substr(slash + 1) != "BENCH.ASF") {
        std::fprintf(stderr, "the recording must be named BENCH.ASF\n");
        std::exit(2);
    }
}

void TrackReader(benchmark::State& state)
{
    TAsfFileInfo info;
    for (auto _ : state) {
        ClearGpsList(info.GpsList);
        ClearGSensorList(info.GSensorList);
        TGetGPSFromASF reader;
        if (reader.GetGpsInfo(g_windowsPath, &info) != 0)
            state.SkipWithError("the reader failed");
        benchmark::DoNotOptimize(info.GpsList->Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
    state.counters["fixes"] = info.GpsList->Count();
}

void PlainSequentialRead(benchmark::State& state)
{
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        const int fd = open(g_hostPath.c_str(), O_RDONLY);
        std::uint64_t total = 0;
        ssize_t n;
        while ((n = read(fd, buffer.data(), buffer.size())) > 0)
            total += static_cast<std::uint64_t>(n);
        close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

extern "C" char** environ;

// The ffmpeg program on PATH, or empty.
std::string FindFfmpeg()
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= folders.size()) {
        std::size_t end = folders.find(':', at);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(at, end - at) + "/ffmpeg";
        if (end > at && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = end + 1;
    }
    return {};
}

const std::string g_ffmpeg = FindFfmpeg();

// ffmpeg demuxes the whole recording and copies the track stream (its only
// data stream) out, discarding it: the same work as the track reader's.
void FfmpegStreamCopy(benchmark::State& state)
{
    const char* argv[] = {
        g_ffmpeg.c_str(), "-nostdin", "-v",        "error", "-i", g_hostPath.c_str(), "-map", "0:d", "-c", "copy", "-f",
        "data",           "-y",       "/dev/null", nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawn(&child, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            state.SkipWithError("ffmpeg cannot be started");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

BENCHMARK(TrackReader)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PlainSequentialRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the seconds per iteration of every repetition of each benchmark;
// the aggregate rows (mean, median, ...) are only printed.
class Capture : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !r.error_occurred)
                seconds[r.run_name.function_name].push_back(r.real_accumulated_time /
                                                            static_cast<double>(r.iterations));
    }
    // The median seconds per iteration, 0 when the benchmark did not run.
    double Median(const std::string& name) const
    {
        const auto found = seconds.find(name);
        if (found == seconds.end() || found->second.empty())
            return 0;
        std::vector<double> v = found->second;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    std::map<std::string, std::vector<double>> seconds;
};

} // namespace

int main(int argc, char** argv)
{
    std::string file;
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--file") == 0 && i + 1 < argc)
            file = argv[++i];
        else
            args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    Prepare(file);
    if (!g_ffmpeg.empty())
        benchmark::RegisterBenchmark("FfmpegStreamCopy", FfmpegStreamCopy)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0)
            ->UseRealTime();
    Capture capture;
    benchmark::RunSpecifiedBenchmarks(&capture);
    const double reader = capture.Median("TrackReader"), plain = capture.Median("PlainSequentialRead");
    const double ffmpeg = capture.Median("FfmpegStreamCopy");
    const double mb = static_cast<double>(g_bytes) / 1e6;
    if (reader > 0 && plain > 0)
        std::printf("recording %.1f MB: track reader %.0f MB/s, plain sequential reads %.0f MB/s, "
                    "ratio reader/plain %.2f\n",
                    mb, mb / reader, mb / plain, plain / reader);
    if (g_ffmpeg.empty())
        std::printf("ffmpeg is not installed: no comparison with its stream copy\n");
    else if (reader > 0 && ffmpeg > 0)
        std::printf("ffmpeg stream copy %.0f MB/s, ratio reader/ffmpeg %.2f\n", mb / ffmpeg, ffmpeg / reader);
    benchmark::Shutdown();
    return 0;
}
