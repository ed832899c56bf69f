// The sound output of the program: one PulseAudio playback stream per sound
// renderer, fed from the audio source seam in the loop's thread. A player
// keeps its sound in step with the graph: it starts again from the graph's
// position when that is more than kOutOfStep away from where its own sound
// should be (a seek, or drift). Without a server it plays nothing and
// waits for nothing.
#pragma once

#include "platform/media/SoundOutput.h"

namespace pulse {

class PulseSoundOutput final : public media::SoundOutput {
public:
    std::unique_ptr<media::SoundPlayer> CreatePlayer() override;

    // How far the sound may be from the graph's position before it starts again (100 ns).
    static constexpr media::REFERENCE_TIME kOutOfStep = 1500000;
};

} // namespace pulse
