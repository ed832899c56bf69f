#include "platform/media/SoundOutput.h"

#include <atomic>

namespace media {

namespace {

std::atomic<AudioSource*> installedAudio{nullptr};
std::atomic<SoundOutput*> installedOutput{nullptr};

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

AudioSource& CurrentAudioSource()
{
    static AudioSource none;
    AudioSource* s = installedAudio.load();
    return s != nullptr ? *s : none;
}

AudioSource* InstallAudioSource(AudioSource* source) { return installedAudio.exchange(source); }

SoundOutput& CurrentSoundOutput()
{
    static SoundOutput none;
    SoundOutput* s = installedOutput.load();
    return s != nullptr ? *s : none;
}

SoundOutput* InstallSoundOutput(SoundOutput* output) { return installedOutput.exchange(output); }

} // namespace media
