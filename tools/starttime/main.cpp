// Times the program's start: from just before its process is started to the
// moment it reports the first cued recording. The program writes the marker
// line "velmorastine: cued" to standard error when VELMORASTINE_CUE_MARK is
// set; the clock is the monotonic one, read here when the line arrives.
// After the marker the program is asked to end (SIGTERM) and waited for.
//
//   start_time [--runs N] [--program PATH] [--card FOLDER] [--registry FOLDER]
//
// Defaults: 9 runs after one unmeasured warm-up run, the program beside this
// tool's folder (build/<dir>/velmorastine), the card build/card laid out by
// tools/run.sh, a fresh registry folder below $TMPDIR kept over the runs (the
// warm-up run registers the decoder as a first start would), which also holds
// the single-instance lock files.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kMarker = "velmorastine: cued";
constexpr int kGiveUpMs = 30000;

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
// program ended or stayed silent without it.
double OneRun(const std::string& program, const std::string& card, std::vector<std::string> env)
{
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

} // namespace

int main(int argc, char** argv)
{
    int runs = 9;
    const std::string self = SelfPath();
    std::string top = Folder(Folder(Folder(Folder(Folder(self))))); // <top>/build/<dir>/tools/starttime/start_time
    std::string program = Folder(Folder(Folder(self))) + "/velmorastine";
    std::string card = top + "/build/card";
    std::string registry;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (a == "--card" && i + 1 < argc)
            card = argv[++i];
        else if (a == "--registry" && i + 1 < argc)
            registry = argv[++i];
        else {
            std::fprintf(stderr, "usage: start_time [--runs N] [--program PATH] [--card FOLDER] [--registry FOLDER]\n");
            return 2;
        }
    }
    // The program starts in the card's folder: relative paths would not hold there.
    if (char* full = realpath(program.c_str(), nullptr)) {
        program = full;
        std::free(full);
    }
    if (!Exists(program) || !Exists(card + "/ffdshow/DummyFile.ASF")) {
        std::fprintf(stderr, "needs the program (%s) and a card laid out by tools/run.sh (%s)\n", program.c_str(),
                     card.c_str());
        return 2;
    }
    if (registry.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vm_start_time.XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            return 2;
        registry = pattern;
    }

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "VELMORASTINE_REGISTRY" && name != "VELMORASTINE_CUE_MARK" && name != "VELMORASTINE_DISPLAY" &&
            name != "VELMORASTINE_MUTEX_DIR")
            env.push_back(entry);
    }
    env.push_back("VELMORASTINE_REGISTRY=" + registry);
    // A lock folder of its own: an instance started elsewhere must not count.
    env.push_back("VELMORASTINE_MUTEX_DIR=" + registry);
    env.push_back("VELMORASTINE_CUE_MARK=1");
    env.push_back("VELMORASTINE_DISPLAY=headless");
    if (std::getenv("VELMORASTINE_DRIVES") == nullptr) {
        const char* home = std::getenv("HOME");
        env.push_back("VELMORASTINE_DRIVES=E=" + card + ":removable;C=" + (home ? home : "/root"));
    }

    if (OneRun(program, card, env) < 0) // warm-up: first start, page cache
        return 1;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = OneRun(program, card, env);
        if (ms < 0)
            return 1;
        times.push_back(ms);
        std::printf("run %d: %.1f ms\n", i + 1, ms);
    }
    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 ? times[times.size() / 2]
                                            : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("start to first cue: median %.1f ms of %d runs (min %.1f, max %.1f)\n", median, runs,
                times.front(), times.back());
    return 0;
}
