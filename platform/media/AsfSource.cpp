#include "platform/media/AsfSource.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/media/FilterClasses.h"
#include "platform/win/HostFileIo.h"
#include "platform/win/PathResolver.h"

namespace media::detail {

namespace {

HRESULT FromWin32(win::DWORD error) { return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu)); }

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

MediaTypeValue VideoType(const AsfStream& s)
{
    const AsfVideoFormat& v = s.video;
    GUID subtype = FourCCSubtype(v.compression);
    if (v.compression == BI_RGB)
        subtype = v.bitCount == 24 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32;
    MediaTypeValue t =
        MediaTypeValue::MakeVideo(subtype, v.width, v.height, v.bitCount, v.compression, s.avgTimePerFrame);
    t.temporalCompression = v.compression != BI_RGB;
    return t;
}

MediaTypeValue AudioType(const AsfStream& s)
{
    WAVEFORMATEX w{};
    w.wFormatTag = s.audio.formatTag;
    w.nChannels = s.audio.channels;
    w.nSamplesPerSec = s.audio.samplesPerSec;
    w.nAvgBytesPerSec = s.audio.avgBytesPerSec;
    w.nBlockAlign = s.audio.blockAlign;
    w.wBitsPerSample = s.audio.bitsPerSample;
    return MediaTypeValue::MakeAudio(FourCCSubtype(s.audio.formatTag), w);
}

} // namespace

HRESULT AsfSource::Open(const std::u16string& windowsPath, ComPtr<IBaseFilter>& filter)
{
    win::ResolvedPath resolved = win::ResolvePath(windowsPath);
    if (!resolved.ok())
        return FromWin32(resolved.error);
    std::unique_ptr<std::FILE, FileCloser> file(win::OpenRegularCFile(resolved.host, "rb"));
    if (!file)
        return HRESULT_FILE_NOT_FOUND;

    std::uint8_t prefix[kAsfHeaderObjectPrefix];
    std::size_t got = std::fread(prefix, 1, sizeof prefix, file.get());
    static const AsfGuid kHeaderGuid = MakeAsfGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull);
    if (got < 16 || std::memcmp(prefix, kHeaderGuid.bytes, 16) != 0)
        return VFW_E_UNKNOWN_FILE_TYPE;
    std::optional<std::uint64_t> size = PeekAsfHeaderSize(prefix, got);
    if (!size)
        return VFW_E_INVALID_FILE_FORMAT;

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
    std::memcpy(bytes.data(), prefix, sizeof prefix);
    std::size_t rest = bytes.size() - sizeof prefix;
    if (std::fread(bytes.data() + sizeof prefix, 1, rest, file.get()) != rest)
        return VFW_E_INVALID_FILE_FORMAT;
    AsfParseResult parsed = ParseAsfHeader(bytes.data(), bytes.size());
    if (!parsed.header)
        return VFW_E_INVALID_FILE_FORMAT;

    auto* source = new AsfSource(std::move(*parsed.header), windowsPath, resolved.host);
    filter = ComPtr<IBaseFilter>::Attach(source);
    return S_OK;
}

AsfSource::AsfSource(AsfHeader header, const std::u16string& path, std::string hostPath)
    : FilterBase(CLSID_WMAsfReader, u"Velmorastine media layer"), header_(std::move(header)), hold_(path)
{
    for (const AsfStream& s : header_.streams) {
        if (s.kind == AsfStreamKind::Other)
            continue;
        std::u16string index;
        for (char c : std::to_string(outputs_.size()))
            index.push_back(static_cast<char16_t>(c));
        bool video = s.kind == AsfStreamKind::Video;
        Pin& pin = AddPin((video ? u"Raw Video " : u"Raw Audio ") + index, PINDIR_OUTPUT);
        SourceStream stream{path, hostPath, s, header_.Duration()};
        outputs_.push_back(Output{&pin, std::move(stream), video ? VideoType(s) : AudioType(s)});
    }
}

std::vector<MediaTypeValue> AsfSource::OfferedTypes(const Pin& pin)
{
    for (const Output& o : outputs_)
        if (o.pin == &pin)
            return {o.type};
    return {};
}

const SourceStream* AsfSource::StreamAt(const Pin& output, int) const
{
    for (const Output& o : outputs_)
        if (o.pin == &output)
            return &o.stream;
    return nullptr;
}

bool AsfSource::SourceDuration(REFERENCE_TIME& duration) const
{
    for (const Output& o : outputs_)
        if (o.pin->IsConnected()) {
            duration = header_.Duration();
            return true;
        }
    return false;
}

} // namespace media::detail
