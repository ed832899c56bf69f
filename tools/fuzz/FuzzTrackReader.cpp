// libFuzzer target: a whole recording through the track reader. The input is
// written to a file on a drive of its own, as the reader opens files by path.
#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"

#include "platform/win/DriveTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string Folder()
{
    static const std::string folder = [] {
        const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(shm) + "/vm_fuzz_XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        win::DriveTable::Instance().SetDrive(u'F', pattern);
        return pattern;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string host = Folder() + "/REC.ASF";
    std::FILE* f = std::fopen(host.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    TAsfFileInfo info;
    TGetGPSFromASF reader;
    const int code = reader.GetGpsInfo(u"F:\\REC.ASF", &info);
    if (reader.IsOpen() || reader.ObjectLength() > TGetGPSFromASF::ObjectCapacity)
        __builtin_trap();
    switch (code) {
    case 0: case 2: case 12: case 13: case 14: case 15:
        break;
    default:
        __builtin_trap();  // nothing else can come of file contents
    }
    return 0;
}
