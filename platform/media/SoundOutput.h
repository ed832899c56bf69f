// The seam that plays a recording's sound. The sound renderer owns one
// player; while the graph runs at rate 1 it tells the player, at every
// position the graph shows, where the recording is; when the graph pauses,
// stops, runs at another rate or loses the stream it halts the player. The
// player keeps its own sound in step: it starts at the position given and
// starts again from a new one when the graph's position has moved away
// from what it is playing (a seek, or drift).
//
// The PCM comes from the audio source seam, so a player needs no decoder
// of its own.
//
// The defaults play nothing and never fail (the unit tests' back end). A
// real back end never fails or blocks the graph: a missing or stuck sound
// server means silence.
//
// Thread: the graph's thread (the user interface thread) calls the player;
// installation is thread-safe. Audio readers are used from one thread at a
// time, which may be a back end's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/host/Seam.h"
#include "platform/media/SourceStream.h"

namespace media {

// 16-bit little-endian interleaved PCM of one audio stream at its own rate
// and channel count (the stream's WAVEFORMATEX).
class AudioReader {
public:
    virtual ~AudioReader();
    // Positions the next Read at `position` (100 ns). False when nothing
    // can be read from there.
    virtual bool Seek(REFERENCE_TIME position) = 0;
    // Up to `bytes` bytes (a whole number of sample frames); 0 at the end
    // of the stream or on a failure.
    virtual std::size_t Read(std::uint8_t* out, std::size_t bytes) = 0;
};

class AudioSource {
public:
    virtual ~AudioSource();
    // A reader of the stream's PCM, or null when there is none (the default).
    virtual std::unique_ptr<AudioReader> OpenAudio(const SourceStream& stream);
};

class SoundPlayer {
public:
    virtual ~SoundPlayer();
    // The graph runs at rate 1 and shows `position` of `stream`.
    virtual void Play(const SourceStream& stream, REFERENCE_TIME position);
    // No sound until the next Play.
    virtual void Halt();
    // The renderer's volume: hundredths of a decibel, -10000 (silence) .. 0.
    virtual void SetVolume(std::int32_t volume);
};

class SoundOutput {
public:
    virtual ~SoundOutput();
    // A player for one sound renderer; the default plays nothing.
    virtual std::unique_ptr<SoundPlayer> CreatePlayer();
};

// The audio source is read by the sound output's own thread (the file
// reading of a player), the sound output by the sound renderer on whichever
// thread runs its graph: atomic seams (platform/host/Seam.h).
AudioSource& CurrentAudioSource();
// Installs process-wide (null: the default); returns the previous one (null
// when it was the default). The caller keeps ownership.
AudioSource* InstallAudioSource(AudioSource* source);
using ScopedAudioSource = host::ScopedInstall<AudioSource*, &InstallAudioSource>;
SoundOutput& CurrentSoundOutput();
SoundOutput* InstallSoundOutput(SoundOutput* output);
using ScopedSoundOutput = host::ScopedInstall<SoundOutput*, &InstallSoundOutput>;

} // namespace media
