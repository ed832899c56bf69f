#include "platform/media/SoundOutput.h"

#include "platform/host/Seam.h"

namespace media {

namespace {

AudioSource* NoAudio()
{
    static AudioSource none;
    return &none;
}
SoundOutput* NoSound()
{
    static SoundOutput none;
    return &none;
}

constinit host::Seam<AudioSource*, host::SeamReaders::AnyThread> gAudioSources(&NoAudio);
constinit host::Seam<SoundOutput*, host::SeamReaders::AnyThread> gSoundOutputs(&NoSound);

} // namespace

AudioReader::~AudioReader() = default;
AudioSource::~AudioSource() = default;
std::unique_ptr<AudioReader> AudioSource::OpenAudio(const SourceStream&) { return nullptr; }

SoundPlayer::~SoundPlayer() = default;
void SoundPlayer::Play(const SourceStream&, REFERENCE_TIME) {}
void SoundPlayer::Halt() {}
void SoundPlayer::SetVolume(std::int32_t) {}

SoundOutput::~SoundOutput() = default;
std::unique_ptr<SoundPlayer> SoundOutput::CreatePlayer() { return std::make_unique<SoundPlayer>(); }

AudioSource& CurrentAudioSource() { return *gAudioSources.Current(); }

AudioSource* InstallAudioSource(AudioSource* source) { return gAudioSources.Install(source); }

SoundOutput& CurrentSoundOutput() { return *gSoundOutputs.Current(); }

SoundOutput* InstallSoundOutput(SoundOutput* output) { return gSoundOutputs.Install(output); }

} // namespace media
