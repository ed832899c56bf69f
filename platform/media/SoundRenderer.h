// The DirectSound renderer: one input, "Audio Input pin (rendered)", taking
// PCM, and IBasicAudio for its volume (-10000 silence .. 0 full, the
// default) and balance. The sound itself goes to a player of the sound
// output seam (SoundOutput.h): it plays while the graph runs at rate 1 and
// is halted otherwise.
#pragma once

#include <memory>

#include "platform/media/FilterBase.h"
#include "platform/media/SoundOutput.h"

namespace media::detail {

class SoundRenderer final : public FilterBase {
public:
    static HRESULT Create(REFIID riid, void** object);
    SoundRenderer();

    bool Accepts(const Pin& pin, const MediaTypeValue& type) override;
    IBasicAudio* Audio() override { return &audio_; }

    LONG Volume() const { return volume_; }
    void Present(REFERENCE_TIME position) override;
    void Disconnected(Pin& pin) override;

protected:
    void* ExtraInterface(REFIID riid) override;
    void StateChanged(FILTER_STATE state) override;

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

    SoundPlayer& Player();
    void Halt();

    std::unique_ptr<SoundPlayer> player_;
    BasicAudio audio_{*this};
    LONG volume_ = 0;
    LONG balance_ = 0;
};

} // namespace media::detail
