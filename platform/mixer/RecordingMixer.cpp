#include "platform/mixer/RecordingMixer.h"

namespace mixer {

RecordingMixer::RecordingMixer() { previous_ = InstallMixer(this); }

RecordingMixer::~RecordingMixer() { InstallMixer(previous_); }

std::vector<DWORD> RecordingMixer::Writes() const
{
    std::vector<DWORD> out;
    for (const Call& c : calls_)
        if (c.op == Op::Write)
            out.push_back(c.value);
    return out;
}

MMRESULT RecordingMixer::SpeakersLine(MixerLineInfo& line)
{
    calls_.push_back({Op::Line, 0, 0});
    if (lineFailure != MMSYSERR_NOERROR)
        return lineFailure;
    if (!hasLine)
        return MIXERR_INVALLINE;
    line.lineId = lineId;
    line.channels = 2;
    line.controls = hasControl ? 1 : 0;
    line.shortName = "Speakers";
    line.name = "Speakers";
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::VolumeControl(DWORD line, MixerVolumeInfo& control)
{
    calls_.push_back({Op::Control, line, 0});
    if (controlFailure != MMSYSERR_NOERROR)
        return controlFailure;
    if (!hasLine || line != lineId)
        return MIXERR_INVALLINE;
    if (!hasControl)
        return MIXERR_INVALCONTROL;
    control.controlId = controlId;
    control.minimum = minimum;
    control.maximum = maximum;
    control.steps = maximum >= minimum ? maximum - minimum : 0;
    control.shortName = "Volume";
    control.name = "Master Volume";
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::ReadVolume(DWORD control, DWORD& out)
{
    calls_.push_back({Op::Read, control, 0});
    if (readFailure != MMSYSERR_NOERROR)
        return readFailure;
    if (!hasLine || !hasControl || control != controlId)
        return MIXERR_INVALCONTROL;
    out = value;
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixer::WriteVolume(DWORD control, DWORD in)
{
    calls_.push_back({Op::Write, control, in});
    if (writeFailure != MMSYSERR_NOERROR)
        return writeFailure;
    if (!hasLine || !hasControl || control != controlId)
        return MIXERR_INVALCONTROL;
    value = in;
    return MMSYSERR_NOERROR;
}

} // namespace mixer
