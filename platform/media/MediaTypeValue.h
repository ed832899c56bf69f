// A media type held by value (the format block in a vector), as pins keep
// their offered and connected types. Converts to and from AM_MEDIA_TYPE.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/MediaType.h"

namespace media::detail {

struct MediaTypeValue {
    GUID major{};
    GUID sub{};
    GUID format{};
    bool fixedSize = true;
    bool temporalCompression = false;
    ULONG sampleSize = 0;
    std::vector<std::uint8_t> block;

    // A copy of `mt`: false for null or a format block claimed but absent.
    static bool From(const AM_MEDIA_TYPE* mt, MediaTypeValue& out);
    // Fills `mt` (which holds nothing) with a deep copy in task memory.
    HRESULT To(AM_MEDIA_TYPE& mt) const;

    // The format block as a record, or null when it is not that format or too short.
    const VIDEOINFOHEADER* Video() const;
    const WAVEFORMATEX* Audio() const;

    // True when `partial` (GUID_NULL meaning any) describes this type.
    bool Matches(const MediaTypeValue& partial) const;

    static MediaTypeValue MakeVideo(const GUID& subtype, LONG width, LONG height, WORD bitCount, DWORD compression,
                                    REFERENCE_TIME avgTimePerFrame);
    static MediaTypeValue MakeAudio(const GUID& subtype, const WAVEFORMATEX& format);

    friend bool operator==(const MediaTypeValue&, const MediaTypeValue&) = default;
};

} // namespace media::detail
