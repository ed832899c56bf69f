#include "platform/media/TransformFilter.h"

#include "platform/media/ClassFactory.h"
#include "platform/media/FfdshowClasses.h"
#include "platform/media/Vmr9Interfaces.h"

namespace media::detail {

namespace {

struct KindInfo {
    const CLSID* clsid;
    const char16_t* input;
    const char16_t* output;
};

KindInfo InfoOf(TransformKind kind)
{
    switch (kind) {
    case TransformKind::FfdshowVideo:
        return {&CLSID_FfdshowVideoDecoder, u"In", u"Out"};
    case TransformKind::FfdshowAudio:
        return {&CLSID_FfdshowAudioDecoder, u"In", u"Out"};
    case TransformKind::AviDecompressor:
        return {&CLSID_AVIDec, u"XForm In", u"XForm Out"};
    case TransformKind::ColourConverter:
        return {&CLSID_Colour, u"Input", u"XForm Out"};
    }
    return {&GUID_NULL, u"In", u"Out"};
}

bool SubtypeIn(const GUID& sub, std::initializer_list<GUID> list)
{
    for (const GUID& g : list)
        if (g == sub)
            return true;
    return false;
}

const GUID kFfdshowVideoInputs[] = {
    MEDIASUBTYPE_MJPG,
    FourCCSubtype(MakeFourCC('M', 'P', '4', 'V')),
    FourCCSubtype(MakeFourCC('X', 'V', 'I', 'D')),
    FourCCSubtype(MakeFourCC('D', 'I', 'V', 'X')),
    FourCCSubtype(MakeFourCC('H', '2', '6', '4')),
    FourCCSubtype(MakeFourCC('W', 'M', 'V', '3')),
};

bool AudioFormatOk(const MediaTypeValue& type, bool pcmOnly)
{
    const WAVEFORMATEX* w = type.Audio();
    if (!(type.major == MEDIATYPE_Audio) || w == nullptr)
        return false;
    if (w->nChannels < 1 || w->nChannels > 8 || w->nSamplesPerSec < 1 || w->nSamplesPerSec > 384000)
        return false;
    if (pcmOnly) {
        bool bitsOk =
            w->wBitsPerSample == 8 || w->wBitsPerSample == 16 || w->wBitsPerSample == 24 || w->wBitsPerSample == 32;
        return w->wFormatTag == WAVE_FORMAT_PCM && type.sub == MEDIASUBTYPE_PCM && bitsOk;
    }
    switch (w->wFormatTag) {
    case WAVE_FORMAT_PCM:
    case 0x0002:
    case 0x0006:
    case 0x0007:
    case 0x0011:
    case 0x0055:
    case 0x00FF:
    case 0x0161:
        return true;
    default:
        return false;
    }
}

MediaTypeValue VideoOut(const MediaTypeValue& in, const GUID& subtype, WORD bits, DWORD compression)
{
    const VIDEOINFOHEADER* v = in.Video();
    return MediaTypeValue::MakeVideo(subtype, v->bmiHeader.biWidth, v->bmiHeader.biHeight, bits, compression,
                                     v->AvgTimePerFrame);
}

} // namespace

bool AudioFormatAccepted(const MediaTypeValue& type) { return AudioFormatOk(type, true); }

bool VideoSizeOk(const MediaTypeValue& type)
{
    const VIDEOINFOHEADER* v = type.Video();
    if (!(type.major == MEDIATYPE_Video) || v == nullptr)
        return false;
    LONG w = v->bmiHeader.biWidth;
    LONG h = v->bmiHeader.biHeight;
    if (h < 0 && h != INT32_MIN)
        h = -h;
    return w >= 1 && w <= kMaxVideoSide && h >= 1 && h <= kMaxVideoSide;
}

TransformFilter::TransformFilter(TransformKind kind)
    : FilterBase(*InfoOf(kind).clsid, u"Velmorastine media layer"), kind_(kind)
{
    KindInfo info = InfoOf(kind);
    input_ = &AddPin(info.input, PINDIR_INPUT);
    output_ = &AddPin(info.output, PINDIR_OUTPUT);
}

HRESULT TransformFilter::CheckConnect(const Pin& pin)
{
    if (&pin == output_ && !input_->IsConnected())
        return E_UNEXPECTED;
    return S_OK;
}

bool TransformFilter::Accepts(const Pin& pin, const MediaTypeValue& type)
{
    if (&pin != input_)
        return false;
    switch (kind_) {
    case TransformKind::FfdshowVideo:
        for (const GUID& g : kFfdshowVideoInputs)
            if (type.sub == g)
                return VideoSizeOk(type);
        return false;
    case TransformKind::FfdshowAudio:
        return AudioFormatOk(type, false);
    case TransformKind::AviDecompressor:
        return SubtypeIn(type.sub, {MEDIASUBTYPE_MJPG, MEDIASUBTYPE_YV12, MEDIASUBTYPE_YUY2}) && VideoSizeOk(type);
    case TransformKind::ColourConverter:
        return SubtypeIn(type.sub, {MEDIASUBTYPE_RGB32, MEDIASUBTYPE_RGB24, MEDIASUBTYPE_YUY2}) && VideoSizeOk(type);
    }
    return false;
}

std::vector<MediaTypeValue> TransformFilter::OfferedTypes(const Pin& pin)
{
    if (&pin != output_ || !input_->IsConnected())
        return {};
    const MediaTypeValue& in = input_->Type();
    switch (kind_) {
    case TransformKind::FfdshowVideo:
        return {VideoOut(in, MEDIASUBTYPE_YV12, 12, MakeFourCC('Y', 'V', '1', '2')),
                VideoOut(in, MEDIASUBTYPE_RGB32, 32, BI_RGB)};
    case TransformKind::AviDecompressor:
    case TransformKind::ColourConverter:
        return {VideoOut(in, MEDIASUBTYPE_RGB32, 32, BI_RGB), VideoOut(in, MEDIASUBTYPE_RGB24, 24, BI_RGB)};
    case TransformKind::FfdshowAudio: {
        WAVEFORMATEX w = *in.Audio();
        w.wFormatTag = WAVE_FORMAT_PCM;
        w.wBitsPerSample = 16;
        w.nBlockAlign = static_cast<WORD>(w.nChannels * 2);
        w.nAvgBytesPerSec = w.nSamplesPerSec * w.nBlockAlign;
        w.cbSize = 0;
        return {MediaTypeValue::MakeAudio(MEDIASUBTYPE_PCM, w)};
    }
    }
    return {};
}

void TransformFilter::Connected(Pin& pin)
{
    if (&pin == input_)
        TypeChanged(pin);
}

// A kept output follows its input: the offered type of the same subtype as
// the connection's (the size may be new).
void TransformFilter::TypeChanged(Pin& pin)
{
    if (&pin != input_ || !output_->IsConnected())
        return;
    for (const MediaTypeValue& offered : OfferedTypes(*output_))
        if (offered.sub == output_->Type().sub) {
            output_->ChangeType(offered);
            return;
        }
}

HRESULT TransformFilter::CreateFfdshowVideo(REFIID riid, void** object)
{
    return CreateFilter(u"ffdshow Video Decoder", riid, object,
                        [] { return static_cast<IBaseFilter*>(new TransformFilter(TransformKind::FfdshowVideo)); });
}

HRESULT TransformFilter::CreateFfdshowAudio(REFIID riid, void** object)
{
    return CreateFilter(u"ffdshow Audio Decoder", riid, object,
                        [] { return static_cast<IBaseFilter*>(new TransformFilter(TransformKind::FfdshowAudio)); });
}

HRESULT TransformFilter::CreateAviDecompressor(REFIID riid, void** object)
{
    return CreateFilter(u"AVIDec", riid, object,
                        [] { return static_cast<IBaseFilter*>(new TransformFilter(TransformKind::AviDecompressor)); });
}

HRESULT TransformFilter::CreateColourConverter(REFIID riid, void** object)
{
    return CreateFilter(u"Colour", riid, object,
                        [] { return static_cast<IBaseFilter*>(new TransformFilter(TransformKind::ColourConverter)); });
}

} // namespace media::detail
