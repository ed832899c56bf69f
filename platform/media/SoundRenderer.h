// The DirectSound renderer: one input, "Audio Input pin (rendered)", taking
// PCM, and IBasicAudio for its volume (-10000 silence .. 0 full, the
// default) and balance. No sound is played: the volume is kept for whoever
// asks, and for a sound back end later.
#pragma once

#include "platform/media/FilterBase.h"

namespace media::detail {

class SoundRenderer final : public FilterBase {
public:
    static HRESULT Create(REFIID riid, void** object);
    SoundRenderer();

    bool Accepts(const Pin& pin, const MediaTypeValue& type) override;
    IBasicAudio* Audio() override { return &audio_; }

    LONG Volume() const { return volume_; }

protected:
    void* ExtraInterface(REFIID riid) override;

private:
    ~SoundRenderer() override = default;

    class BasicAudio final : public ComFacet<IBasicAudio> {
    public:
        explicit BasicAudio(SoundRenderer& owner) : ComFacet(owner), renderer_(owner) {}
        HRESULT put_Volume(LONG volume) override;
        HRESULT get_Volume(LONG* volume) override;
        HRESULT put_Balance(LONG balance) override;
        HRESULT get_Balance(LONG* balance) override;

    private:
        SoundRenderer& renderer_;
    };

    BasicAudio audio_{*this};
    LONG volume_ = 0;
    LONG balance_ = 0;
};

} // namespace media::detail
