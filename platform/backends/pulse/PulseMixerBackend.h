// The mixer back end of the program: the speakers line is the sound
// server's default sink, its volume control spans 0..65535 and maps
// linearly onto PulseAudio's own volume scale up to the sink's normal
// volume (see PulseMixer.h: the program's 0..30 steps thus fall evenly on
// the scale desktop sliders show). No server, no default sink or no
// answer within the time limit gives the answers of a computer without a
// sound line (MIXERR_INVALLINE, MIXERR_INVALCONTROL).
//
// Thread: the user interface thread; each call waits at most
// PulseConnection::kTimeout per server request.
#pragma once

#include "platform/backends/pulse/PulseMixer.h"
#include "platform/mixer/MixerApi.h"

namespace pulse {

class PulseMixerBackend final : public mixer::MixerBackend {
public:
    PulseMixerBackend() = default;
    explicit PulseMixerBackend(PulseConnection& connection) : mixer_(connection) {}

    static constexpr mixer::DWORD kLineId = 0xFFFF0000;
    static constexpr mixer::DWORD kControlId = 1;
    static constexpr mixer::DWORD kMaximum = 65535;

    mixer::MMRESULT SpeakersLine(mixer::MixerLineInfo& line) override;
    mixer::MMRESULT VolumeControl(mixer::DWORD lineId, mixer::MixerVolumeInfo& control) override;
    mixer::MMRESULT ReadVolume(mixer::DWORD controlId, mixer::DWORD& value) override;
    mixer::MMRESULT WriteVolume(mixer::DWORD controlId, mixer::DWORD value) override;

private:
    PulseMixer mixer_;
};

} // namespace pulse
