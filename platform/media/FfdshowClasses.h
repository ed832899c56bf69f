// The filters that the decoder module "ffdshow.ax" holds: what the
// registration tool writes into the classes root for it, and the classes the
// media layer creates when such a filter is bound.
#pragma once

#include <span>

#include "platform/media/Unknown.h"

namespace media {

inline constexpr CLSID CLSID_FfdshowVideoDecoder{
    0x04FE9017, 0xF873, 0x410E, {0x87, 0x1E, 0xAB, 0x91, 0x66, 0x1A, 0x4E, 0xF7}};
inline constexpr CLSID CLSID_FfdshowAudioDecoder{
    0x0F40E1E5, 0x4F79, 0x4988, {0xB1, 0xA9, 0xCC, 0x98, 0x79, 0x4E, 0x6B, 0x55}};

struct ModuleFilter {
    CLSID clsid;
    const char16_t* friendlyName;
    DWORD merit;
};

inline constexpr ModuleFilter kFfdshowFilters[] = {
    {CLSID_FfdshowVideoDecoder, u"ffdshow Video Decoder", 0xFF800001u},
    {CLSID_FfdshowAudioDecoder, u"ffdshow Audio Decoder", 0xFF800001u},
};

// The filters a module file holds, by its file name (without regard to case);
// empty for a module the layer does not know.
std::span<const ModuleFilter> FiltersOfModule(std::u16string_view fileName);

} // namespace media
