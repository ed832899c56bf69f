// The one-input, one-output filters of the chain: the ffdshow video and
// audio decoders, the AVI Decompressor and the Colour Space Converter. Each
// takes the types of its table on its input and, once the input is
// connected, offers on its output what it makes of that type; the output
// refuses to connect while the input is free (E_UNEXPECTED). Samples are
// not moved: pictures come from the frame source at the renderer.
#pragma once

#include "platform/media/Faults.h"
#include "platform/media/FilterBase.h"

namespace media::detail {

enum class TransformKind { FfdshowVideo, FfdshowAudio, AviDecompressor, ColourConverter };

class TransformFilter final : public FilterBase {
public:
    // The creators of the classes (CoCreateInstance), with the Create
    // failure switch under the class's name.
    static HRESULT CreateFfdshowVideo(REFIID riid, void** object);
    static HRESULT CreateFfdshowAudio(REFIID riid, void** object);
    static HRESULT CreateAviDecompressor(REFIID riid, void** object);
    static HRESULT CreateColourConverter(REFIID riid, void** object);

    explicit TransformFilter(TransformKind kind);

    HRESULT CheckConnect(const Pin& pin) override;
    std::vector<MediaTypeValue> OfferedTypes(const Pin& pin) override;
    bool Accepts(const Pin& pin, const MediaTypeValue& type) override;
    void Connected(Pin& pin) override;
    void TypeChanged(Pin& pin) override;

private:
    ~TransformFilter() override = default;

    TransformKind kind_;
    Pin* input_;
    Pin* output_;
};

// Video sizes the filters take: 1..4096 pixels a side.
inline constexpr LONG kMaxVideoSide = 4096;
bool VideoSizeOk(const MediaTypeValue& type);
// PCM that the sound renderer plays: 8, 16, 24 or 32 bits, 1..8 channels.
bool AudioFormatAccepted(const MediaTypeValue& type);

// Creates `object` (one reference, queried for riid) unless the Create
// switch of `className` fails.
template <class Make>
HRESULT CreateFilter(const char16_t* className, REFIID riid, void** object, Make make)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (auto f = Faults::Check(Fault::Create, className))
        return *f;
    IUnknown* made = make();
    HRESULT hr = made->QueryInterface(riid, object);
    made->Release();
    return hr;
}

} // namespace media::detail
