// Recordings written by our ASF writer for the back-end tests, and the
// stream the source filter would offer for them.
#pragma once

#include <string>

#include "platform/media/SourceStream.h"
#include "tests/support/TempFolder.h"
#include "tools/asfwriter/SampleRecording.h"

namespace backends_test {

inline asfwriter::SampleOptions Sample(int seconds, int fps, std::uint32_t width = 320, std::uint32_t height = 240)
{
    asfwriter::SampleOptions o;
    o.seconds = seconds;
    o.framesPerSecond = fps;
    o.width = width;
    o.height = height;
    return o;
}

// The video (stream 1) or audio (stream 2) stream of a writer's recording.
inline media::SourceStream StreamOf(const std::string& hostPath, const asfwriter::SampleOptions& o, bool video = true)
{
    media::SourceStream s;
    s.hostPath = hostPath;
    s.stream.number = video ? 1 : 2;
    s.stream.kind = video ? media::AsfStreamKind::Video : media::AsfStreamKind::Audio;
    s.stream.video = {static_cast<std::int32_t>(o.width), static_cast<std::int32_t>(o.height), 24, 0x47504A4D};
    s.stream.audio = {
        1, o.channels, o.sampleRate, o.sampleRate * o.channels * 2u, static_cast<std::uint16_t>(o.channels * 2), 16};
    s.stream.avgTimePerFrame = 10000000 / o.framesPerSecond;
    s.duration = static_cast<media::REFERENCE_TIME>(o.seconds) * 10000000;
    return s;
}

// The writer's tone: sample i of the recording.
std::int16_t ToneSample(std::uint32_t i, std::uint32_t sampleRate);

} // namespace backends_test
