// The audio source of the program: a recording's sound decoded by FFmpeg
// into 16-bit interleaved PCM (the recorder writes PCM; other formats that
// decode to 16-bit samples work too, anything else gives no sound).
#pragma once

#include "platform/media/SoundOutput.h"

namespace ffmpeg {

class FfmpegAudioSource final : public media::AudioSource {
public:
    std::unique_ptr<media::AudioReader> OpenAudio(const media::SourceStream& stream) override;
};

} // namespace ffmpeg
