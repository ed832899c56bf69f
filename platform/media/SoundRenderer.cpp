#include "platform/media/SoundRenderer.h"

#include "platform/media/FilterGraph.h"
#include "platform/media/TransformFilter.h"
#include "platform/media/Vmr9Interfaces.h"

namespace media::detail {

SoundRenderer::SoundRenderer() : FilterBase(CLSID_DSoundRender, u"Velmorastine media layer")
{
    AddPin(u"Audio Input pin (rendered)", PINDIR_INPUT);
}

HRESULT SoundRenderer::Create(REFIID riid, void** object)
{
    return CreateFilter(u"DSoundRender", riid, object, [] { return static_cast<IBaseFilter*>(new SoundRenderer()); });
}

bool SoundRenderer::Accepts(const Pin&, const MediaTypeValue& type) { return AudioFormatAccepted(type); }

void* SoundRenderer::ExtraInterface(REFIID riid)
{
    if (riid == IID_IBasicAudio)
        return static_cast<IBasicAudio*>(&audio_);
    return nullptr;
}

SoundPlayer& SoundRenderer::Player()
{
    if (!player_) {
        player_ = CurrentSoundOutput().CreatePlayer();
        if (!player_)
            player_ = std::make_unique<SoundPlayer>();
        player_->SetVolume(volume_);
    }
    return *player_;
}

void SoundRenderer::Halt()
{
    if (player_)
        player_->Halt();
}

void SoundRenderer::StateChanged(FILTER_STATE state)
{
    if (state != State_Running)
        Halt();
}

void SoundRenderer::Disconnected(Pin&) { Halt(); }

void SoundRenderer::Present(REFERENCE_TIME position)
{
    FilterGraph* graph = HostGraph();
    const Pin* input = Pins().empty() ? nullptr : Pins().front().get();
    const SourceStream* stream = input != nullptr ? StreamReaching(*input, 0) : nullptr;
    // Speed play and slow play are silent.
    if (HostState() != State_Running || graph == nullptr || graph->Rate() != 1.0 || stream == nullptr) {
        Halt();
        return;
    }
    Player().Play(*stream, position);
}

HRESULT SoundRenderer::BasicAudio::put_Volume(LONG volume)
{
    if (volume < -10000 || volume > 0)
        return E_INVALIDARG;
    renderer_.volume_ = volume;
    if (renderer_.player_)
        renderer_.player_->SetVolume(volume);
    return S_OK;
}

HRESULT SoundRenderer::BasicAudio::get_Volume(LONG* volume)
{
    if (volume == nullptr)
        return E_POINTER;
    *volume = renderer_.volume_;
    return S_OK;
}

HRESULT SoundRenderer::BasicAudio::put_Balance(LONG balance)
{
    if (balance < -10000 || balance > 10000)
        return E_INVALIDARG;
    renderer_.balance_ = balance;
    return S_OK;
}

HRESULT SoundRenderer::BasicAudio::get_Balance(LONG* balance)
{
    if (balance == nullptr)
        return E_POINTER;
    *balance = renderer_.balance_;
    return S_OK;
}

} // namespace media::detail
