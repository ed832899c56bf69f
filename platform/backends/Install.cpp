#include "platform/backends/Install.h"

#include "platform/backends/ffmpeg/FfmpegAudioSource.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "platform/backends/pulse/PulseMixerBackend.h"
#include "platform/backends/pulse/PulseSoundOutput.h"

namespace backends {

bool InstallRealBackends()
{
    // Each back end adds its installation here.
    // Decoding and sound need no display.
    static ffmpeg::FfmpegFrameSource frames;
    static ffmpeg::FfmpegAudioSource audio;
    static pulse::PulseSoundOutput sound;
    static pulse::PulseMixerBackend volume;
    media::InstallFrameSource(&frames);
    media::InstallAudioSource(&audio);
    media::InstallSoundOutput(&sound);
    mixer::InstallMixer(&volume);
    return false;
}

} // namespace backends
