// Times the program's start: from just before its process is started to the
// moment it reports the first recording of the card cued (the list's first
// row, after the scan). The program writes the marker line
// "velmorastine: cued" to standard error when VELMORASTINE_CUE_MARK is set;
// the clock is the monotonic one, read here when the line arrives, and the
// program's resident memory is read then too. After the marker the program
// is asked to end (SIGTERM) and waited for. Runs headless.
//
//   start_time [--runs N] [--program PATH] [--empty PATH] [--baseline PATH]
//              [--card FOLDER] [--big-card FOLDER] [--count N] [--registry FOLDER]
//
// Each run starts, interleaved and each in turn first: the program, an
// empty main() linked against the libraries the program loads at start
// (start_empty, beside this tool) and, with --baseline, another build of the
// program (an older one, to compare with: tools/starttime/build_baseline.sh
// builds the one the start-up targets are measured against). On the sample card (--card,
// default build/card laid out by tools/run.sh: 3 recordings) and on a card
// of --count recordings (default 10000) laid out here (--big-card, default
// beside the sample card): the sample's three and header-only recordings of
// their full size (sparse), all later, so the first row is one that plays.
// Defaults: 9 runs after one unmeasured warm-up run of each, a fresh
// registry folder below $TMPDIR kept over the runs (the warm-up registers
// the decoder as a first start would), which also holds the single-instance
// lock files.
//
// Prints per card each one's times (min, median, max), the ratios of the
// program's time to the others' over the runs, and the program's resident
// memory at the cue, with the load average. Exits 1 when a target is missed.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tools/benchcommon/BenchFigures.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kMarker = "velmorastine: cued";
constexpr int kGiveUpMs = 30000;

// Resident memory of a process in KiB (0 when unknown).
long ResidentKiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string Folder(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string SelfPath()
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    buffer[n] = 0;
    return buffer;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// One start: milliseconds to the marker, or a negative value when the
// program ended or stayed silent without it; rssKiB its resident memory then.
double OneRun(const std::string& program, const std::string& card, std::vector<std::string> env, long& rssKiB)
{
    rssKiB = 0;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // The program looks for its card from its working folder.
    posix_spawn_file_actions_addchdir_np(&actions, card.c_str());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};

    pid_t child = 0;
    const double start = NowMs();
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return -1;
    }

    double result = -1;
    std::string seen;
    char buffer[4096];
    for (;;) {
        const double waited = NowMs() - start;
        if (waited > kGiveUpMs)
            break;
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(kGiveUpMs - waited) + 1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        const double at = NowMs();
        seen.append(buffer, static_cast<std::size_t>(n));
        if (seen.find(kMarker) != std::string::npos) {
            result = at - start;
            rssKiB = ResidentKiB(child);
            break;
        }
        if (seen.size() > 1 << 20)
            seen.erase(0, seen.size() - 64);
    }
    kill(child, SIGTERM);
    // Drain what the program still writes, so it never blocks on a full pipe.
    for (int i = 0; i < 1000; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            break;
        pollfd p{pipeFds[0], POLLIN, 0};
        if (poll(&p, 1, 10) > 0 && read(pipeFds[0], buffer, sizeof buffer) <= 0)
            usleep(10000);
        if (i == 999) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }
    close(pipeFds[0]);
    if (result < 0)
        std::fprintf(stderr, "no marker from the program; it wrote:\n%s\n", seen.c_str());
    return result;
}

// The big card: the sample card's folders, its recordings (linked, not
// copied) and header-only recordings of the same size after them.
bool LayOutBigCard(const std::string& sample, const std::string& big, int count)
{
    std::error_code ec;
    fs::create_directories(big + "/DATA", ec);
    int present = 0;
    for (const auto& e : fs::directory_iterator(big + "/DATA", ec))
        present += e.is_regular_file() ? 1 : 0;
    if (present == count)
        return true;
    for (const char* folder : {"Icon", "ffdshow"}) {
        fs::remove_all(big + "/" + folder, ec);
        fs::copy(sample + "/" + folder, big + "/" + folder, fs::copy_options::recursive, ec);
        if (ec)
            return false;
    }
    fs::remove_all(big + "/DATA", ec);
    fs::create_directories(big + "/DATA", ec);
    std::vector<std::string> real;
    for (const auto& e : fs::directory_iterator(sample + "/DATA", ec))
        if (e.is_regular_file())
            real.push_back(e.path().string());
    std::sort(real.begin(), real.end());
    if (real.empty() || static_cast<int>(real.size()) >= count)
        return false;
    for (const std::string& r : real) {
        const std::string target = big + "/DATA/" + fs::path(r).filename().string();
        fs::create_hard_link(r, target, ec);
        if (ec && !fs::copy_file(r, target, ec))
            return false;
    }
    // The header of the first recording, up to its Data Object.
    std::ifstream in(real.front(), std::ios::binary);
    std::vector<std::uint8_t> header(30);
    in.read(reinterpret_cast<char*>(header.data()), 30);
    const std::uint64_t size = bench::ReadU64(header, bench::kHeaderSizeOffset);
    if (!in || size < 102 || size > (1u << 20))
        return false;
    header.resize(size);
    in.read(reinterpret_cast<char*>(header.data()) + 30, static_cast<std::streamsize>(size - 30));
    if (!in)
        return false;
    const std::uintmax_t fullSize = fs::file_size(real.front(), ec);
    // From 2024-05-18 00:00 UTC (100 ns since 1601), one a minute: after
    // the sample's own.
    const std::uint64_t first = 133604928000000000ull;
    for (int i = 0; i < count - static_cast<int>(real.size()); ++i) {
        bench::WriteU64(header, bench::kCreationOffset, first + static_cast<std::uint64_t>(i) * 600000000ull);
        char name[64];
        std::snprintf(name, sizeof name, "/DATA/REC_%05d%s.ASF", i, i % 3 == 2 ? "_SAVE" : "");
        if (!bench::WriteSparseRecording(big + name, header, fullSize))
            return false;
    }
    return true;
}

struct Contender {
    const char* name;
    std::string path;
    std::vector<double> ms;
    std::vector<double> mib;
};

} // namespace

int main(int argc, char** argv)
{
    int runs = 9;
    int count = 10000;
    const std::string self = SelfPath();
    std::string top = Folder(Folder(Folder(Folder(Folder(self))))); // <top>/build/<dir>/tools/starttime/start_time
    std::string program = Folder(Folder(Folder(self))) + "/velmorastine";
    std::string empty = Folder(self) + "/start_empty";
    std::string baseline;
    std::string card = top + "/build/card";
    std::string bigCard;
    std::string registry;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--runs" && value)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--count" && value)
            count = std::max(4, std::atoi(argv[++i]));
        else if (a == "--program" && value)
            program = argv[++i];
        else if (a == "--empty" && value)
            empty = argv[++i];
        else if (a == "--baseline" && value)
            baseline = argv[++i];
        else if (a == "--card" && value)
            card = argv[++i];
        else if (a == "--big-card" && value)
            bigCard = argv[++i];
        else if (a == "--registry" && value)
            registry = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: start_time [--runs N] [--program PATH] [--empty PATH] [--baseline PATH] "
                         "[--card FOLDER] [--big-card FOLDER] [--count N] [--registry FOLDER]\n");
            return 2;
        }
    }
    // The program starts in the card's folder: relative paths would not hold there.
    for (std::string* path : {&program, &empty, &baseline, &card}) {
        if (path->empty())
            continue;
        if (char* full = realpath(path->c_str(), nullptr)) {
            *path = full;
            std::free(full);
        }
    }
    if (!Exists(program) || !Exists(empty) || (!baseline.empty() && !Exists(baseline)) ||
        !Exists(card + "/ffdshow/DummyFile.ASF")) {
        std::fprintf(stderr, "needs the program (%s), start_empty (%s) and a card laid out by tools/run.sh (%s)\n",
                     program.c_str(), empty.c_str(), card.c_str());
        return 2;
    }
    if (bigCard.empty())
        bigCard = Folder(card) + "/card-" + std::to_string(count);
    if (!LayOutBigCard(card, bigCard, count)) {
        std::fprintf(stderr, "cannot lay out the card of %d recordings in %s\n", count, bigCard.c_str());
        return 2;
    }
    if (registry.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vm_start_time.XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            return 2;
        registry = pattern;
    }

    std::vector<std::string> common;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "VELMORASTINE_REGISTRY" && name != "VELMORASTINE_CUE_MARK" && name != "VELMORASTINE_DISPLAY" &&
            name != "VELMORASTINE_MUTEX_DIR" && name != "VELMORASTINE_DRIVES")
            common.push_back(entry);
    }
    common.push_back("VELMORASTINE_REGISTRY=" + registry);
    // A lock folder of its own: an instance started elsewhere must not count.
    common.push_back("VELMORASTINE_MUTEX_DIR=" + registry);
    common.push_back("VELMORASTINE_CUE_MARK=1");
    common.push_back("VELMORASTINE_DISPLAY=headless");
    const char* home = std::getenv("HOME");

    int exitCode = 0;
    for (const std::string& folder : {card, bigCard}) {
        std::vector<std::string> env = common;
        env.push_back("VELMORASTINE_DRIVES=E=" + folder + ":removable;C=" + (home ? home : "/root"));
        std::vector<Contender> all = {{"program", program, {}, {}}, {"empty main", empty, {}, {}}};
        if (!baseline.empty())
            all.push_back({"baseline", baseline, {}, {}});
        long rss = 0;
        for (Contender& c : all) // warm-up: first start, page cache
            if (OneRun(c.path, folder, env, rss) < 0)
                return 1;
        for (int r = 0; r < runs; ++r) {
            for (std::size_t k = 0; k < all.size(); ++k) {
                Contender& c = all[(k + static_cast<std::size_t>(r)) % all.size()];
                const double ms = OneRun(c.path, folder, env, rss);
                if (ms < 0)
                    return 1;
                c.ms.push_back(ms);
                c.mib.push_back(static_cast<double>(rss) / 1024);
            }
        }
        std::size_t recordings = 0;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder + "/DATA", ec))
            recordings += e.is_regular_file() ? 1 : 0;
        std::printf("card %s (%zu recordings), %d runs, load average %s\n", folder.c_str(), recordings, runs,
                    bench::LoadAverage().c_str());
        for (const Contender& c : all) {
            const bench::Spread ms = bench::SpreadOf(c.ms);
            std::printf("  %-10s start to cue: median %.1f ms (min %.1f, max %.1f); resident at the cue %.1f MiB\n",
                        c.name, ms.median, ms.min, ms.max, bench::Median(c.mib));
        }
        for (std::size_t k = 1; k < all.size(); ++k) {
            std::vector<double> ratios;
            for (std::size_t r = 0; r < all[0].ms.size(); ++r)
                ratios.push_back(all[0].ms[r] / all[k].ms[r]);
            const double target = k == 1 ? 1.5 : 0.5;
            const bench::Spread ratio = bench::SpreadOf(ratios);
            std::printf("  program / %-10s min %.2f, median %.2f, max %.2f (target <= %.1f: %s)\n", all[k].name,
                        ratio.min, ratio.median, ratio.max, target, ratio.median <= target ? "met" : "missed");
            if (ratio.median > target)
                exitCode = 1;
        }
        const double mib = bench::Median(all[0].mib);
        std::printf("  program resident at the cue: %.1f MiB (target <= 40: %s)\n", mib, mib <= 40 ? "met" : "missed");
        if (mib > 40)
            exitCode = 1;
    }
    if (!baseline.empty())
        std::printf("(an older build may mark its cue earlier than the card's first recording: its ratio is then "
                    "the harder one)\n");
    return exitCode;
}
