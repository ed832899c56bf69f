// Megabytes per second of the track reader on a generated recording of at
// least 100 MB (MJPG video, PCM sound, track sentences every second), beside
// plain sequential reads of the same file; prints the ratio.
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
#include <map>
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

BENCHMARK(TrackReader)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PlainSequentialRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the seconds per iteration of each benchmark for the ratio.
class Capture : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.iterations > 0 && !r.error_occurred)
                seconds[r.run_name.function_name] = r.real_accumulated_time / static_cast<double>(r.iterations);
    }
    std::map<std::string, double> seconds;
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
    Capture capture;
    benchmark::RunSpecifiedBenchmarks(&capture);
    const double reader = capture.seconds["TrackReader"], plain = capture.seconds["PlainSequentialRead"];
    if (reader > 0 && plain > 0) {
        const double mb = static_cast<double>(g_bytes) / 1e6;
        std::printf("recording %.1f MB: track reader %.0f MB/s, plain sequential reads %.0f MB/s, "
                "ratio reader/plain %.2f\n", mb,
                    mb / reader, mb / plain, plain / reader);
    }
    benchmark::Shutdown();
    return 0;
}
