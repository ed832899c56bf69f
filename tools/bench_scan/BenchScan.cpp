// The recording scan on a warm folder of many small recordings, against a
// plain read of each file's first 64 KiB in the same run.
//
//   bench_scan [--count N] [--rounds N]
//
// Writes N recordings (default 10000) made by our ASF writer into a
// temporary folder mapped as drive E:, scans it once to warm the caches,
// then times the best of R rounds (default 5) of each: the scan as the list
// runs it (E:\DATA and its subfolders) and the plain read (list the folder,
// open each file, read up to 64 KiB, close). Prints both times and their
// ratio; exits 1 when the scan took more than 1 s or more than twice the
// plain read.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mainwindow/FileList.h"
#include "platform/win/DriveTable.h"
#include "tools/asfwriter/SampleRecording.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::size_t PlainRead(const std::string& folder)
{
    static std::vector<char> buffer(64 * 1024);
    std::size_t total = 0;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        const std::string path = folder + "/" + e->d_name;
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n > 0)
            total += static_cast<std::size_t>(n);
        close(fd);
    }
    closedir(dir);
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 10000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0)
            count = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }

    char pattern[] = "/tmp/bench-scan-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string root = pattern;
    const std::string data = root + "/DATA";
    fs::create_directories(data);

    // One small recording (one second, a tiny picture); each copy gets its
    // own creation date, so the sort has work to do.
    asfwriter::SampleOptions o;
    o.seconds = 1;
    o.framesPerSecond = 2;
    o.width = 64;
    o.height = 48;
    o.distinctFrames = 1;
    asfwriter::Bytes bytes = asfwriter::SampleRecordingBytes(o);
    for (int i = 0; i < count; ++i) {
        const std::uint64_t t = asfwriter::FileTimeOf(2024, 5, 17, 9, 0, 0) + static_cast<std::uint64_t>(i) * 600000000u;
        for (int b = 0; b < 8; ++b)
            bytes[78 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(t >> (8 * b));
        char name[64];
        std::snprintf(name, sizeof name, "/REC_%05d.ASF", count - i);
        std::ofstream(data + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    win::DriveTable::Instance().SetDrive(u'E', root, true);

    TFileList list;
    auto scan = [&] {
        ScanFileCount = 0;
        ClearFileList(&list);
        list.CreateList(u"E:\\DATA", 2);
        list.Sort(CompareFindData);
    };
    scan();
    PlainRead(data);
    const int found = list.Count();

    double bestScan = 1e9;
    double bestRead = 1e9;
    std::size_t readBytes = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        scan();
        bestScan = std::min(bestScan, Seconds(Clock::now() - t0));
        t0 = Clock::now();
        readBytes = PlainRead(data);
        bestRead = std::min(bestRead, Seconds(Clock::now() - t0));
    }

    std::printf("recordings: %d of %zu bytes each, %d listed\n", count, bytes.size(), found);
    std::printf("scan (warm, best of %d):       %.3f s\n", rounds, bestScan);
    std::printf("plain read of 64 KiB each:    %.3f s (%zu bytes)\n", bestRead, readBytes);
    std::printf("ratio scan / plain read:      %.2f\n", bestScan / bestRead);

    win::DriveTable::Instance().Forget(u'E');
    ClearFileList(&list);
    fs::remove_all(root);
    const bool ok = found == count && bestScan < 1.0 && bestScan <= 2.0 * bestRead;
    std::printf("%s\n", ok ? "target met" : "target missed");
    return ok ? 0 : 1;
}
