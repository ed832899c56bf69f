#include "platform/media/MediaTypeValue.h"

#include <cstdlib>
#include <cstring>

namespace media {

void FreeMediaType(AM_MEDIA_TYPE& mt)
{
    if (mt.pbFormat != nullptr)
        CoTaskMemFree(mt.pbFormat);
    mt.pbFormat = nullptr;
    mt.cbFormat = 0;
    if (mt.pUnk != nullptr)
        mt.pUnk->Release();
    mt.pUnk = nullptr;
}

void DeleteMediaType(AM_MEDIA_TYPE* mt)
{
    if (mt == nullptr)
        return;
    FreeMediaType(*mt);
    CoTaskMemFree(mt);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src)
{
    if (dst == nullptr || src == nullptr)
        return E_POINTER;
    *dst = *src;
    dst->pbFormat = nullptr;
    dst->cbFormat = 0;
    if (src->cbFormat != 0 && src->pbFormat != nullptr) {
        dst->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src->cbFormat));
        if (dst->pbFormat == nullptr) {
            dst->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(dst->pbFormat, src->pbFormat, src->cbFormat);
        dst->cbFormat = src->cbFormat;
    }
    if (dst->pUnk != nullptr)
        dst->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src)
{
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (mt == nullptr)
        return nullptr;
    if (src == nullptr || FAILED(CopyMediaType(mt, src))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

} // namespace media

namespace media::detail {

bool MediaTypeValue::From(const AM_MEDIA_TYPE* mt, MediaTypeValue& out)
{
    if (mt == nullptr)
        return false;
    if (mt->cbFormat != 0 && mt->pbFormat == nullptr)
        return false;
    out.major = mt->majortype;
    out.sub = mt->subtype;
    out.format = mt->formattype;
    out.fixedSize = mt->bFixedSizeSamples != 0;
    out.temporalCompression = mt->bTemporalCompression != 0;
    out.sampleSize = mt->lSampleSize;
    out.block.assign(mt->pbFormat, mt->pbFormat + mt->cbFormat);
    return true;
}

HRESULT MediaTypeValue::To(AM_MEDIA_TYPE& mt) const
{
    std::memset(&mt, 0, sizeof mt);
    mt.majortype = major;
    mt.subtype = sub;
    mt.formattype = format;
    mt.bFixedSizeSamples = fixedSize ? 1 : 0;
    mt.bTemporalCompression = temporalCompression ? 1 : 0;
    mt.lSampleSize = sampleSize;
    if (!block.empty()) {
        mt.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(block.size()));
        if (mt.pbFormat == nullptr)
            return E_OUTOFMEMORY;
        std::memcpy(mt.pbFormat, block.data(), block.size());
        mt.cbFormat = static_cast<ULONG>(block.size());
    }
    return S_OK;
}

const VIDEOINFOHEADER* MediaTypeValue::Video() const
{
    if (!(format == FORMAT_VideoInfo) || block.size() < sizeof(VIDEOINFOHEADER))
        return nullptr;
    return reinterpret_cast<const VIDEOINFOHEADER*>(block.data());
}

const WAVEFORMATEX* MediaTypeValue::Audio() const
{
    if (!(format == FORMAT_WaveFormatEx) || block.size() < sizeof(WAVEFORMATEX))
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(block.data());
}

bool MediaTypeValue::Matches(const MediaTypeValue& partial) const
{
    if (!(partial.major == GUID_NULL) && !(partial.major == major))
        return false;
    if (!(partial.sub == GUID_NULL) && !(partial.sub == sub))
        return false;
    if (!(partial.format == GUID_NULL) && !(partial.format == format))
        return false;
    if (!partial.block.empty() && partial.block != block)
        return false;
    return true;
}

MediaTypeValue MediaTypeValue::MakeVideo(const GUID& subtype, LONG width, LONG height, WORD bitCount, DWORD compression,
                                         REFERENCE_TIME avgTimePerFrame)
{
    MediaTypeValue v;
    v.major = MEDIATYPE_Video;
    v.sub = subtype;
    v.format = FORMAT_VideoInfo;
    VIDEOINFOHEADER vih{};
    vih.AvgTimePerFrame = avgTimePerFrame;
    vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biPlanes = 1;
    vih.bmiHeader.biBitCount = bitCount;
    vih.bmiHeader.biCompression = compression;
    std::uint64_t w = width < 0 ? 0u - std::uint64_t(std::int64_t(width)) : std::uint64_t(width);
    std::uint64_t h = height < 0 ? 0u - std::uint64_t(std::int64_t(height)) : std::uint64_t(height);
    std::uint64_t bytes = w * h * bitCount / 8; // both below 2^31: no overflow
    vih.bmiHeader.biSizeImage = bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(bytes);
    v.sampleSize = vih.bmiHeader.biSizeImage;
    v.fixedSize = compression == BI_RGB;
    v.temporalCompression = false;
    v.block.resize(sizeof vih);
    std::memcpy(v.block.data(), &vih, sizeof vih);
    return v;
}

MediaTypeValue MediaTypeValue::MakeAudio(const GUID& subtype, const WAVEFORMATEX& format)
{
    MediaTypeValue v;
    v.major = MEDIATYPE_Audio;
    v.sub = subtype;
    v.format = FORMAT_WaveFormatEx;
    v.sampleSize = format.nBlockAlign;
    v.block.resize(sizeof format);
    std::memcpy(v.block.data(), &format, sizeof format);
    return v;
}

} // namespace media::detail
