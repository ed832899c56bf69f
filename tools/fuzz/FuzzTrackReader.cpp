// libFuzzer target: a whole recording through the track reader. The input is
// written to a file on the fuzz card, as the reader opens files by path.
#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"

#include "tools/fuzz/FuzzCard.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcard::Put("REC.ASF", data, size);
    TAsfFileInfo info;
    TGetGPSFromASF reader;
    const int code = reader.GetGpsInfo(u"F:\\REC.ASF", &info);
    if (reader.IsOpen() || reader.ObjectLength() > TGetGPSFromASF::ObjectCapacity)
        __builtin_trap();
    switch (code) {
    case 0:
    case 2:
    case 12:
    case 13:
    case 14:
    case 15:
        break;
    default:
        __builtin_trap(); // nothing else can come of file contents
    }
    return 0;
}
