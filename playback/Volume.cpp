#include "playback/Volume.h"

#include <algorithm>

#include "app/Common.h"
#include "app/Globals.h"
#include "playback/PlayLog.h"
#include "playback/VideoView.h"
#include "platform/mixer/MixerApi.h"

using namespace playback;

namespace playback {

std::int32_t ClampVolume(std::int64_t volume)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(volume, 0, kVolumeMax));
}

std::uint32_t VolumeToMixerValue(std::int64_t volume, std::uint32_t minimum, std::uint32_t maximum)
{
    if (maximum <= minimum)
        return minimum;
    const std::uint64_t range = std::uint64_t(maximum) - minimum;
    return static_cast<std::uint32_t>(minimum + range * std::uint64_t(ClampVolume(volume)) / kVolumeMax);
}

std::int32_t VolumeFromMixerValue(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum)
{
    if (maximum <= minimum || value <= minimum)
        return 0;
    if (value >= maximum)
        return kVolumeMax;
    const std::uint64_t range = std::uint64_t(maximum) - minimum;
    // (offset * 30 + range / 2) / range, kept exact by doubling both sides.
    const std::uint64_t offset = std::uint64_t(value) - minimum;
    return ClampVolume(static_cast<std::int64_t>((offset * 2 * kVolumeMax + range) / (2 * range)));
}

namespace {

// How far the thumb's left edge travels; may be 0 or less on a bar narrower
// than half a thumb.
std::int64_t ThumbTravel(std::int32_t volumeMin, std::int32_t volumeMax, std::int32_t thumbWidth)
{
    return std::int64_t(volumeMax) - volumeMin - thumbWidth / 2;
}

} // namespace

std::int32_t VolumeThumbLeft(std::int64_t volume, std::int32_t volumeMin, std::int32_t volumeMax,
                             std::int32_t thumbWidth)
{
    const std::int64_t travel = ThumbTravel(volumeMin, volumeMax, thumbWidth);
    if (travel <= 0)
        return volumeMin;
    return static_cast<std::int32_t>(volumeMin + travel * ClampVolume(volume) / kVolumeMax);
}

std::int32_t VolumeThumbDragLeft(std::int64_t x, std::int32_t volumeMin, std::int32_t volumeMax,
                                 std::int32_t thumbWidth)
{
    const std::int64_t travel = std::max<std::int64_t>(ThumbTravel(volumeMin, volumeMax, thumbWidth), 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(x, volumeMin, volumeMin + travel));
}

std::int32_t VolumeFromThumbLeft(std::int64_t left, std::int32_t volumeMin, std::int32_t volumeMax,
                                 std::int32_t thumbWidth)
{
    const std::int64_t travel = ThumbTravel(volumeMin, volumeMax, thumbWidth);
    if (travel <= 0)
        return 0;
    const std::int64_t offset = std::clamp<std::int64_t>(left - volumeMin, 0, travel);
    return ClampVolume(offset * kVolumeMax / travel);
}

} // namespace playback

namespace {

// Mixer device 0, by id: MixerHandle stays 0 and nothing is opened.
mixer::HMIXEROBJ MixerObject(std::uint32_t handle)
{
    return reinterpret_cast<mixer::HMIXEROBJ>(static_cast<std::uintptr_t>(handle));
}

// The details record for one channel's unsigned value of a control.
mixer::MIXERCONTROLDETAILS ValueDetails(std::uint32_t controlId, mixer::MIXERCONTROLDETAILS_UNSIGNED& value)
{
    mixer::MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    return details;
}

} // namespace

int TPlayControl::InitMasterVolumeControl()
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return 0;
        mixer::MIXERLINEA line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = mixer::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        if (mixer::mixerGetLineInfoA(MixerObject(MixerHandle), &line,
                                     mixer::MIXER_OBJECTF_MIXER | mixer::MIXER_GETLINEINFOF_COMPONENTTYPE) !=
            mixer::MMSYSERR_NOERROR)
            return 0;

        mixer::MIXERCONTROLA control{};
        mixer::MIXERLINECONTROLSA controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = mixer::MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        if (mixer::mixerGetLineControlsA(MixerObject(MixerHandle), &controls,
                                         mixer::MIXER_OBJECTF_MIXER | mixer::MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
            mixer::MMSYSERR_NOERROR)
            return 0;

        VolumeMinimum = control.Bounds.dwMinimum;
        VolumeMaximum = control.Bounds.dwMaximum;
        VolumeControlId = control.dwControlID;
        return 1;
    } catch (Exception& e) {
        LogException(u"TPlayControl::InitMasterVolumeControl", e);
        return 0;
    }
}

bool TPlayControl::SetVolume(std::int32_t volume)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return true;
        volume = ClampVolume(volume);
        if (!InitMasterVolumeControl())
            return false;
        mixer::MIXERCONTROLDETAILS_UNSIGNED value{};
        value.dwValue = VolumeToMixerValue(volume, VolumeMinimum, VolumeMaximum);
        mixer::MIXERCONTROLDETAILS details = ValueDetails(VolumeControlId, value);
        if (mixer::mixerSetControlDetails(MixerObject(MixerHandle), &details,
                                          mixer::MIXER_OBJECTF_MIXER | mixer::MIXER_SETCONTROLDETAILSF_VALUE) !=
            mixer::MMSYSERR_NOERROR)
            return false;
        CachedVolume = volume;
        return true;
    } catch (Exception& e) {
        LogException(u"TPlayControl::SetVolume", e);
        return false;
    }
}

int TPlayControl::IGetMasterVolume(std::int32_t& volume)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return 0;
        if (!InitMasterVolumeControl())
            return 0;
        mixer::MIXERCONTROLDETAILS_UNSIGNED value{};
        mixer::MIXERCONTROLDETAILS details = ValueDetails(VolumeControlId, value);
        if (mixer::mixerGetControlDetailsA(MixerObject(MixerHandle), &details,
                                           mixer::MIXER_OBJECTF_MIXER | mixer::MIXER_GETCONTROLDETAILSF_VALUE) !=
            mixer::MMSYSERR_NOERROR)
            return 0;
        volume = VolumeFromMixerValue(value.dwValue, VolumeMinimum, VolumeMaximum);
        return 1;
    } catch (Exception& e) {
        LogException(u"TPlayControl::IGetMasterVolume", e);
        return 0;
    }
}

std::int32_t TPlayControl::GetVolume()
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return 0;
        std::int32_t volume = 0;
        if (IGetMasterVolume(volume) == 1) {
            CachedVolume = volume;
            return volume;
        }
        return CachedVolume;
    } catch (Exception& e) {
        LogException(u"TPlayControl::GetVolume", e);
        return 0;
    }
}
