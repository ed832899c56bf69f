#include "platform/backends/pulse/PulseMixerBackend.h"

namespace pulse {

using namespace mixer;

MMRESULT PulseMixerBackend::SpeakersLine(MixerLineInfo& line)
{
    if (!mixer_.Volume())
        return MIXERR_INVALLINE;
    line.lineId = kLineId;
    line.channels = 1;
    line.controls = 1;
    line.active = true;
    line.shortName = "Master";
    line.name = "Master Volume";
    return MMSYSERR_NOERROR;
}

MMRESULT PulseMixerBackend::VolumeControl(DWORD lineId, MixerVolumeInfo& control)
{
    if (lineId != kLineId || !mixer_.Volume())
        return MIXERR_INVALLINE;
    control.controlId = kControlId;
    control.minimum = 0;
    control.maximum = kMaximum;
    control.steps = kMaximum + 1;
    control.shortName = "Volume";
    control.name = "Master Volume";
    return MMSYSERR_NOERROR;
}

MMRESULT PulseMixerBackend::ReadVolume(DWORD controlId, DWORD& value)
{
    if (controlId != kControlId)
        return MIXERR_INVALCONTROL;
    std::optional<std::uint32_t> v = mixer_.Volume();
    if (!v)
        return MIXERR_INVALCONTROL;
    value = PulseMixer::ControlOfVolume(*v);
    return MMSYSERR_NOERROR;
}

MMRESULT PulseMixerBackend::WriteVolume(DWORD controlId, DWORD value)
{
    if (controlId != kControlId)
        return MIXERR_INVALCONTROL;
    if (value > kMaximum)
        return MIXERR_INVALVALUE;
    return mixer_.SetVolume(PulseMixer::VolumeOfControl(value)) ? MMSYSERR_NOERROR : MIXERR_INVALCONTROL;
}

} // namespace pulse
