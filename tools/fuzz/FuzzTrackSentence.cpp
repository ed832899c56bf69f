// libFuzzer target: one media object of the track stream through the sentence
// parser, and its text through the field splitter.
#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"
#include "tracks/TrackFields.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096)
        return 0;
    TAsfFileInfo info;
    TGetGPSFromASF::ParseToGpsInfo(data, static_cast<std::int32_t>(size), &info, 1000);
    for (int i = 0; i < info.GpsList->Count(); ++i) {
        const TGpsInfo* g = info.GpsList->Item(i);
        // The texts are number texts: never "-0", at most 15 digits and a few signs.
        if (g->Latitude == "-0" || g->Longitude == "-0" || g->Speed == "-0" || g->Latitude.Length() > 24 ||
            g->Longitude.Length() > 24 || g->Speed.Length() > 24)
            __builtin_trap();
    }
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[i / 2] = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    SplitTrackFields(text);
    return 0;
}
