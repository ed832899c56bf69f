// Media types as pins offer and accept them (AM_MEDIA_TYPE with its format
// block), the format records of video and audio, and the task-memory
// allocator that media types and current images are allocated with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/media/Unknown.h"
#include "platform/media/Vfw.h"
#include "platform/win/Com.h"
#include "platform/win/Gdi.h"

namespace media {

using win::BYTE;
using win::WORD;

// What the layer hands out for the caller to free (media types, their
// format blocks, current images, pin ids) is task memory: win::CoTaskMemAlloc,
// freed with win::CoTaskMemFree.
using win::CoTaskMemAlloc;
using win::CoTaskMemFree;

struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat; // task memory
};

// Frees the format block (and pUnk) and clears them; the record stays.
void FreeMediaType(AM_MEDIA_TYPE& mt);
// FreeMediaType, then frees the record itself (as EnumMediaTypes gives it).
void DeleteMediaType(AM_MEDIA_TYPE* mt);
// Deep copy into dst (which holds nothing); E_OUTOFMEMORY leaves dst empty.
HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src);
// A new record in task memory with a deep copy of src; null on failure.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src);

// The DIB header is GDI's (platform/win/Gdi.h).
using win::BI_RGB;
using win::BITMAPINFOHEADER;

struct MediaRect { // the RECT of the format records
    LONG left, top, right, bottom;
};

struct VIDEOINFOHEADER {
    MediaRect rcSource;
    MediaRect rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};

#pragma pack(push, 2)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

inline constexpr WORD WAVE_FORMAT_PCM = 1;

constexpr DWORD MakeFourCC(char a, char b, char c, char d)
{
    return DWORD(std::uint8_t(a)) | DWORD(std::uint8_t(b)) << 8 | DWORD(std::uint8_t(c)) << 16 |
        DWORD(std::uint8_t(d)) << 24;
}

// A subtype of the FourCC family: {XXXXXXXX-0000-0010-8000-00AA00389B71}.
constexpr GUID FourCCSubtype(DWORD fourcc)
{
    return GUID{fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

inline constexpr GUID MEDIATYPE_Video = FourCCSubtype(MakeFourCC('v', 'i', 'd', 's'));
inline constexpr GUID MEDIATYPE_Audio = FourCCSubtype(MakeFourCC('a', 'u', 'd', 's'));
inline constexpr GUID MEDIASUBTYPE_MJPG = FourCCSubtype(MakeFourCC('M', 'J', 'P', 'G'));
inline constexpr GUID MEDIASUBTYPE_YUY2 = FourCCSubtype(MakeFourCC('Y', 'U', 'Y', '2'));
inline constexpr GUID MEDIASUBTYPE_YV12 = FourCCSubtype(MakeFourCC('Y', 'V', '1', '2'));
inline constexpr GUID MEDIASUBTYPE_PCM = FourCCSubtype(WAVE_FORMAT_PCM);
inline constexpr GUID MEDIASUBTYPE_RGB24{0xE436EB7D, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr GUID MEDIASUBTYPE_RGB32{0xE436EB7E, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr GUID FORMAT_VideoInfo{0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr GUID FORMAT_WaveFormatEx{0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

} // namespace media
