#include "platform/mixer/MixerApi.h"

#include <algorithm>
#include <cstring>

namespace mixer {

namespace {

MixerBackend* NoMixer()
{
    static MixerBackend none;
    return &none;
}

constinit host::Seam<MixerBackend*, host::SeamReaders::UserInterfaceThread> gMixers(&NoMixer);

// Mixer device 0 by id is the only object there is.
MMRESULT CheckObject(HMIXEROBJ object, DWORD flags)
{
    switch (flags & MIXER_OBJECTF_TYPEMASK) {
    case MIXER_OBJECTF_MIXER:
        return object == nullptr ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
    case MIXER_OBJECTF_HMIXER:
        return MMSYSERR_INVALHANDLE;
    default:
        return MMSYSERR_INVALFLAG;
    }
}

template <std::size_t N>
void CopyName(char (&out)[N], const std::string& name)
{
    std::memset(out, 0, N);
    std::memcpy(out, name.data(), std::min(name.size(), N - 1));
}

// One channel of one unsigned value: the only details record we take.
MMRESULT CheckDetails(const MIXERCONTROLDETAILS* details)
{
    if (details == nullptr || details->cbStruct != sizeof(MIXERCONTROLDETAILS))
        return MMSYSERR_INVALPARAM;
    if (details->cChannels != 1 || details->cMultipleItems != 0 ||
        details->cbDetails != sizeof(MIXERCONTROLDETAILS_UNSIGNED) || details->paDetails == nullptr)
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

} // namespace

MixerBackend::~MixerBackend() = default;
MMRESULT MixerBackend::SpeakersLine(MixerLineInfo&) { return MIXERR_INVALLINE; }
MMRESULT MixerBackend::VolumeControl(DWORD, MixerVolumeInfo&) { return MIXERR_INVALLINE; }
MMRESULT MixerBackend::ReadVolume(DWORD, DWORD&) { return MIXERR_INVALCONTROL; }
MMRESULT MixerBackend::WriteVolume(DWORD, DWORD) { return MIXERR_INVALCONTROL; }

MixerBackend& CurrentMixer() { return *gMixers.Current(); }

MixerBackend* InstallMixer(MixerBackend* backend) { return gMixers.Install(backend); }

UINT mixerGetNumDevs() { return 1; }

MMRESULT mixerGetLineInfoA(HMIXEROBJ object, MIXERLINEA* line, DWORD flags)
{
    if (MMRESULT r = CheckObject(object, flags))
        return r;
    if (line == nullptr || line->cbStruct != sizeof(MIXERLINEA))
        return MMSYSERR_INVALPARAM;
    const DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
    if (query > MIXER_GETLINEINFOF_TARGETTYPE)
        return MMSYSERR_INVALFLAG;
    if (query != MIXER_GETLINEINFOF_COMPONENTTYPE)
        return MMSYSERR_NOTSUPPORTED;
    if (line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS)
        return MIXERR_INVALLINE;

    MixerLineInfo info;
    if (MMRESULT r = CurrentMixer().SpeakersLine(info))
        return r;
    line->dwDestination = 0;
    line->dwSource = 0;
    line->dwLineID = info.lineId;
    line->fdwLine = info.active ? MIXERLINE_LINEF_ACTIVE : 0;
    line->dwUser = 0;
    line->cChannels = info.channels;
    line->cConnections = 0;
    line->cControls = info.controls;
    CopyName(line->szShortName, info.shortName);
    CopyName(line->szName, info.name);
    line->Target.dwType = MIXERLINE_TARGETTYPE_WAVEOUT;
    line->Target.dwDeviceID = 0;
    CopyName(line->Target.szPname, info.name);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineControlsA(HMIXEROBJ object, MIXERLINECONTROLSA* controls, DWORD flags)
{
    if (MMRESULT r = CheckObject(object, flags))
        return r;
    if (controls == nullptr || controls->cbStruct != sizeof(MIXERLINECONTROLSA))
        return MMSYSERR_INVALPARAM;
    const DWORD query = flags & MIXER_GETLINECONTROLSF_QUERYMASK;
    if (query > MIXER_GETLINECONTROLSF_ONEBYTYPE)
        return MMSYSERR_INVALFLAG;
    if (query != MIXER_GETLINECONTROLSF_ONEBYTYPE)
        return MMSYSERR_NOTSUPPORTED;
    if (controls->cControls != 1 || controls->cbmxctrl != sizeof(MIXERCONTROLA) || controls->pamxctrl == nullptr)
        return MMSYSERR_INVALPARAM;
    if (controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
        return MIXERR_INVALCONTROL;

    MixerVolumeInfo info;
    if (MMRESULT r = CurrentMixer().VolumeControl(controls->dwLineID, info))
        return r;
    MIXERCONTROLA& c = *controls->pamxctrl;
    c = MIXERCONTROLA{};
    c.cbStruct = sizeof(MIXERCONTROLA);
    c.dwControlID = info.controlId;
    c.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    c.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM;
    CopyName(c.szShortName, info.shortName);
    CopyName(c.szName, info.name);
    c.Bounds.dwMinimum = info.minimum;
    c.Bounds.dwMaximum = info.maximum;
    c.Metrics.cSteps = info.steps;
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetControlDetailsA(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags)
{
    if (MMRESULT r = CheckObject(object, flags))
        return r;
    if (MMRESULT r = CheckDetails(details))
        return r;
    const DWORD query = flags & MIXER_GETCONTROLDETAILSF_QUERYMASK;
    if (query > MIXER_GETCONTROLDETAILSF_LISTTEXT)
        return MMSYSERR_INVALFLAG;
    if (query != MIXER_GETCONTROLDETAILSF_VALUE)
        return MMSYSERR_NOTSUPPORTED;

    DWORD value = 0;
    if (MMRESULT r = CurrentMixer().ReadVolume(details->dwControlID, value))
        return r;
    static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue = value;
    return MMSYSERR_NOERROR;
}

MMRESULT mixerSetControlDetails(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags)
{
    if (MMRESULT r = CheckObject(object, flags))
        return r;
    if (MMRESULT r = CheckDetails(details))
        return r;
    const DWORD query = flags & MIXER_SETCONTROLDETAILSF_QUERYMASK;
    if (query > MIXER_SETCONTROLDETAILSF_CUSTOM)
        return MMSYSERR_INVALFLAG;
    if (query != MIXER_SETCONTROLDETAILSF_VALUE)
        return MMSYSERR_NOTSUPPORTED;

    const DWORD value = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue;
    return CurrentMixer().WriteVolume(details->dwControlID, value);
}

} // namespace mixer
