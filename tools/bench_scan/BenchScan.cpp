// The recording scan against the reads it needs, each in a fresh process as
// the program scans once after its start.
//
//   bench_scan [--count N] [--runs N] [--card FOLDER]
//
// Lays out (or reuses) a card of N recordings (default 10000) in FOLDER/DATA
// (default a temporary folder): each file is a recording's real header, made
// by our ASF writer for a 60 s 1280x960 recording with its own start time,
// extended to the recording's full size as a sparse file, named as the
// recorder names them. Then R interleaved runs (default 9), each two fresh
// processes of this program: one scans the card as the list does (E:\DATA
// and its subfolders, then the sort), one lists the folder and reads the
// first 102 bytes of each file (open, read, close). Each process times its
// own work only. Prints the two times of each run, the ratio scan / read as
// min, median and max, and the load average. Exits 1 when the median ratio
// is above 1.3 or the scan did not list every recording.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mainwindow/FileList.h"
#include "platform/win/DriveTable.h"
#include "tools/asfwriter/SampleRecording.h"
#include "tools/benchcommon/BenchFigures.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

extern char** environ;

namespace {

constexpr std::size_t kHeadBytes = 102;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The child that reads: what the scan cannot do without.
int ChildRead(const std::string& data)
{
    const auto t0 = Clock::now();
    std::size_t files = 0;
    char buffer[kHeadBytes];
    if (DIR* dir = opendir(data.c_str())) {
        while (const dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            const std::string path = data + "/" + e->d_name;
            const int fd = open(path.c_str(), O_RDONLY);
            if (fd < 0)
                continue;
            if (read(fd, buffer, sizeof buffer) == static_cast<ssize_t>(sizeof buffer))
                ++files;
            close(fd);
        }
        closedir(dir);
    }
    std::printf("%.6f %zu\n", Seconds(Clock::now() - t0), files);
    return 0;
}

// The child that scans, as the recording list does.
int ChildScan(const std::string& card)
{
    win::DriveTable::Instance().SetDrive(u'E', card, true);
    TFileList list;
    const auto t0 = Clock::now();
    ScanFileCount = 0;
    list.CreateList(u"E:\\DATA", 2);
    list.Sort(CompareFindData);
    const double s = Seconds(Clock::now() - t0);
    std::printf("%.6f %d\n", s, list.Count());
    return 0;
}

// Runs this program as a child; its time and count, or a negative time.
double RunChild(const char* mode, const std::string& folder, long& count)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::string self = fs::read_symlink("/proc/self/exe");
    char* argv[] = {self.data(), const_cast<char*>("--child"), const_cast<char*>(mode),
                    const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    double seconds = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || std::sscanf(out.c_str(), "%lf %ld", &seconds, &count) != 2)
        return -1;
    return seconds;
}

// The card's recordings: real headers, full size, sparse.
bool LayOut(const std::string& data, int count)
{
    fs::create_directories(data);
    int present = 0;
    for (const auto& e : fs::directory_iterator(data))
        present += e.is_regular_file() ? 1 : 0;
    if (present == count)
        return true;
    for (const auto& e : fs::directory_iterator(data))
        fs::remove_all(e.path());

    asfwriter::SampleOptions o;
    o.seconds = 60;
    o.framesPerSecond = 10;
    o.width = 1280;
    o.height = 960;
    o.distinctFrames = 1;
    const asfwriter::Bytes bytes = asfwriter::SampleRecordingBytes(o);
    // The header up to the data.
    const std::uint64_t headerSize = bench::ReadU64(bytes, bench::kHeaderSizeOffset);
    if (headerSize < kHeadBytes || headerSize > bytes.size())
        return false;
    std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(headerSize));
    for (int i = 0; i < count; ++i) {
        // One minute after another, every third an event recording.
        const int minute = i % 60, hour = (i / 60) % 24, day = 1 + (i / 1440) % 28;
        bench::WriteU64(header, bench::kCreationOffset, asfwriter::FileTimeOf(2024, 5, day, hour, minute, 0));
        char name[64];
        std::snprintf(name, sizeof name, "/202405%02d_%02d%02d00%s.ASF", day, hour, minute, i % 3 == 2 ? "_SAVE" : "");
        if (!bench::WriteSparseRecording(data + name, header, bytes.size()))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return std::strcmp(argv[2], "scan") == 0 ? ChildScan(argv[3]) : ChildRead(argv[3]);

    int count = 10000;
    int runs = 9;
    std::string card;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0)
            count = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--card") == 0)
            card = argv[i + 1];
    }
    const bool temporary = card.empty();
    if (temporary) {
        char pattern[] = "/tmp/bench-scan-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            return 2;
        }
        card = pattern;
    }
    const std::string data = card + "/DATA";
    if (!LayOut(data, count)) {
        std::fprintf(stderr, "cannot lay out the card in %s\n", card.c_str());
        return 2;
    }

    // Warm: the folder and the inodes in the caches, as a second scan finds them.
    long found = 0, read = 0;
    RunChild("scan", card, found);
    RunChild("read", data, read);
    std::vector<double> ratios;
    for (int r = 0; r < runs; ++r) {
        // Interleaved, the order alternating, so a change of load touches both.
        double scan = 0, plain = 0;
        if (r % 2 == 0) {
            scan = RunChild("scan", card, found);
            plain = RunChild("read", data, read);
        } else {
            plain = RunChild("read", data, read);
            scan = RunChild("scan", card, found);
        }
        if (scan < 0 || plain <= 0) {
            std::fprintf(stderr, "a child failed\n");
            return 2;
        }
        ratios.push_back(scan / plain);
        std::printf("run %d: scan %.4f s, read of %zu bytes each %.4f s, ratio %.2f\n", r + 1, scan, kHeadBytes, plain,
                    scan / plain);
    }
    std::printf("recordings: %d (%ld listed, %ld read)\n", count, found, read);
    const bench::Spread ratio = bench::SpreadOf(ratios);
    std::printf("scan / read ratio over %d runs: min %.2f, median %.2f, max %.2f (load average %s)\n", runs, ratio.min,
                ratio.median, ratio.max, bench::LoadAverage().c_str());
    if (temporary)
        fs::remove_all(card);
    const bool ok = found == count && ratio.median <= 1.3;
    std::printf("%s\n", ok ? "target met (<= 1.3)" : "target missed (<= 1.3)");
    return ok ? 0 : 1;
}
