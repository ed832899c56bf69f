#include "tools/fuzz/FuzzCard.h"

#include "platform/win/DriveTable.h"

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <unistd.h>

namespace fuzzcard {

const std::string& Folder()
{
    static const std::string folder = [] {
        const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(shm) + "/vm_fuzz_XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        win::DriveTable::Instance().SetDrive(u'F', pattern);
        static std::string removed = pattern;
        std::atexit([] { std::filesystem::remove_all(removed); });
        return pattern;
    }();
    return folder;
}

std::string Put(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string host = Folder() + "/" + name;
    std::FILE* f = std::fopen(host.c_str(), "wb");
    if (!f)
        std::abort();
    if (size && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return host;
}

std::string Read(const std::string& hostPath)
{
    std::string out;
    if (std::FILE* f = std::fopen(hostPath.c_str(), "rb")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            out.append(buffer, n);
        std::fclose(f);
    }
    return out;
}

} // namespace fuzzcard
