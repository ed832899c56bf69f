// Sound and master volume through PulseAudio. The mapping of the volume
// steps needs no server; the smoke test needs one (CI starts a private
// server with a null sink) and skips without it: it plays a recording,
// records the sink's monitor and finds the tone there, then sets the
// volume and reads it back.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <pulse/simple.h>
#include <pulse/error.h>
#include <pulse/volume.h>

#include "Recordings.h"
#include "platform/backends/ffmpeg/FfmpegAudioSource.h"
#include "platform/backends/pulse/PulseConnection.h"
#include "platform/backends/pulse/PulseMixer.h"
#include "platform/backends/pulse/PulseMixerBackend.h"
#include "platform/backends/pulse/PulseSoundOutput.h"

namespace backends_test {
namespace {

using pulse::PulseMixer;

TEST(PulseMixerSteps, StepsAreEvenOnPulseAudiosOwnScale)
{
    struct Row {
        int steps;
        std::uint32_t volume;
    } rows[] = {
        {-1, 0}, {0, 0}, {1, 2185}, {15, PA_VOLUME_NORM / 2}, {29, 63351}, {30, PA_VOLUME_NORM}, {31, PA_VOLUME_NORM}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.steps);
        EXPECT_EQ(PulseMixer::VolumeOfSteps(r.steps), r.volume);
    }
    for (int s = 0; s <= 30; ++s)
        EXPECT_EQ(PulseMixer::StepsOfVolume(PulseMixer::VolumeOfSteps(s)), s) << s;
    EXPECT_EQ(PulseMixer::StepsOfVolume(PA_VOLUME_NORM * 3 / 2), 30); // above 100 %
    EXPECT_EQ(PulseMixer::StepsOfVolume(PA_VOLUME_MAX), 30);
    EXPECT_EQ(PulseMixer::StepsOfVolume(1000), 0);
    // A 0..65535 control spans the same range.
    EXPECT_EQ(PulseMixer::VolumeOfControl(0), 0u);
    EXPECT_EQ(PulseMixer::VolumeOfControl(65535), PA_VOLUME_NORM);
    EXPECT_EQ(PulseMixer::VolumeOfControl(99999), PA_VOLUME_NORM);
    EXPECT_EQ(PulseMixer::ControlOfVolume(PA_VOLUME_NORM), 65535u);
    EXPECT_EQ(PulseMixer::ControlOfVolume(PA_VOLUME_MAX), 65535u);
    EXPECT_EQ(PulseMixer::ControlOfVolume(PulseMixer::VolumeOfControl(12345)), 12345u);
}

// A server that takes the connection and never answers.
TEST(PulseMixerSteps, AStuckOrMissingServerAnswersNoSoundLine)
{
    test_support::TempFolder folder("vm-pulse");
    const std::string socketPath = folder.Path() + "/native";
    int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    for (const std::string& server : {"unix:" + socketPath, "unix:" + folder.Path() + "/none"}) {
        SCOPED_TRACE(server);
        pulse::PulseConnection connection(server.c_str());
        PulseMixer mixer(connection);
        EXPECT_FALSE(mixer.Volume());
        EXPECT_FALSE(mixer.Steps());
        EXPECT_FALSE(mixer.SetSteps(10));
        // The mixer seam's answers of a computer without a sound line.
        pulse::PulseMixerBackend backend(connection);
        mixer::MixerLineInfo line;
        mixer::MixerVolumeInfo control;
        mixer::DWORD value = 7;
        EXPECT_EQ(backend.SpeakersLine(line), mixer::MIXERR_INVALLINE);
        EXPECT_EQ(backend.VolumeControl(pulse::PulseMixerBackend::kLineId, control), mixer::MIXERR_INVALLINE);
        EXPECT_EQ(backend.ReadVolume(pulse::PulseMixerBackend::kControlId, value), mixer::MIXERR_INVALCONTROL);
        EXPECT_EQ(value, 7u);
        EXPECT_EQ(backend.WriteVolume(pulse::PulseMixerBackend::kControlId, 100), mixer::MIXERR_INVALCONTROL);
    }
    ::close(listener);
}

// Power of one frequency in the samples (Goertzel).
double PowerAt(const std::vector<std::int16_t>& s, double frequency, double rate)
{
    const double k = 2 * std::cos(2 * M_PI * frequency / rate);
    double a = 0, b = 0;
    for (std::int16_t x : s) {
        const double c = x + k * a - b;
        b = a;
        a = c;
    }
    return (a * a + b * b - k * a * b) / (static_cast<double>(s.size()) * s.size());
}

TEST(PulseSmoke, PlaysTheRecordingsToneAndSetsTheVolume)
{
    PulseMixer mixer;
    if (!mixer.Volume())
        GTEST_SKIP() << "no PulseAudio server";

    ASSERT_TRUE(mixer.SetSteps(30));
    test_support::TempFolder folder("vm-pulse");
    const auto o = Sample(4, 10);
    const std::string path = folder.Path() + "/A.ASF";
    asfwriter::WriteSampleRecording(path, o);
    ffmpeg::FfmpegAudioSource audio;
    media::ScopedAudioSource installed(audio);

    // The sink's monitor, recorded while the player plays.
    pa_sample_spec spec{PA_SAMPLE_S16LE, 8000, 1};
    pa_buffer_attr attr{static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1),
                        static_cast<std::uint32_t>(-1), 800};
    int error = 0;
    pa_simple* monitor = pa_simple_new(nullptr, "Velmorastine test", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "monitor",
                                       &spec, nullptr, &attr, &error);
    ASSERT_NE(monitor, nullptr) << pa_strerror(error);
    std::vector<std::int16_t> samples(16000); // 2 s
    std::thread recorder([&] {
        if (pa_simple_read(monitor, samples.data(), samples.size() * 2, &error) < 0)
            samples.clear();
    });
    {
        pulse::PulseSoundOutput output;
        auto player = output.CreatePlayer();
        const media::SourceStream stream = StreamOf(path, o, false);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 15; ++i) { // the graph's position, as a running graph reports it
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
            player->Play(stream, ms * 10000);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        recorder.join();
        player->Halt();
    }
    pa_simple_free(monitor);

    ASSERT_GT(samples.size(), 4000u) << "the monitor gave too little";
    const double tone = PowerAt(samples, 440, 8000);
    const double other = PowerAt(samples, 1000, 8000);
    EXPECT_GT(tone, 100 * other) << "440 Hz " << tone << ", 1000 Hz " << other;
    EXPECT_GT(tone, 1000.0); // not silence

    for (int steps : {0, 7, 15, 30}) {
        SCOPED_TRACE(steps);
        ASSERT_TRUE(mixer.SetSteps(steps));
        EXPECT_EQ(mixer.Steps(), steps);
        EXPECT_EQ(mixer.Volume(), PulseMixer::VolumeOfSteps(steps));
    }

    // Through the mixer seam, as the program sets the master volume.
    pulse::PulseMixerBackend backend;
    mixer::MixerLineInfo line;
    ASSERT_EQ(backend.SpeakersLine(line), mixer::MMSYSERR_NOERROR);
    mixer::MixerVolumeInfo control;
    ASSERT_EQ(backend.VolumeControl(line.lineId, control), mixer::MMSYSERR_NOERROR);
    EXPECT_EQ(control.minimum, 0u);
    EXPECT_EQ(control.maximum, 65535u);
    for (mixer::DWORD v : {0u, 2184u, 32767u, 65535u}) {
        SCOPED_TRACE(v);
        ASSERT_EQ(backend.WriteVolume(control.controlId, v), mixer::MMSYSERR_NOERROR);
        mixer::DWORD read = 0;
        ASSERT_EQ(backend.ReadVolume(control.controlId, read), mixer::MMSYSERR_NOERROR);
        EXPECT_EQ(read, v);
    }
    EXPECT_EQ(backend.WriteVolume(control.controlId, 65536), mixer::MIXERR_INVALVALUE);
}

// Streams of ours the server holds (sink inputs named "Recording").
int OurStreams(pulse::PulseConnection& c)
{
    if (!c.Ready(std::chrono::seconds(2)))
        return -1;
    pulse::PulseConnection::Lock lock(c);
    int n = 0;
    auto onInput = [](pa_context*, const pa_sink_input_info* i, int eol, void* count) {
        if (eol == 0 && i != nullptr && i->name != nullptr && std::string(i->name) == "Recording")
            ++*static_cast<int*>(count);
    };
    if (!c.Wait(pa_context_get_sink_input_info_list(c.Context(), onInput, &n), std::chrono::seconds(2)))
        return -1;
    return n;
}

// Feeds the player the positions a running graph would report from `from`
// on for 1.5 s while the monitor records; the last second of what it heard.
std::vector<std::int16_t> PlayAndListen(media::SoundPlayer& player, const media::SourceStream& stream,
                                        media::REFERENCE_TIME from)
{
    pa_sample_spec spec{PA_SAMPLE_S16LE, 8000, 1};
    pa_buffer_attr attr{static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1),
                        static_cast<std::uint32_t>(-1), 800};
    int error = 0;
    pa_simple* monitor = pa_simple_new(nullptr, "Velmorastine test", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "monitor",
                                       &spec, nullptr, &attr, &error);
    if (monitor == nullptr)
        return {};
    std::vector<std::int16_t> samples(12000);
    std::thread recorder([&] {
        if (pa_simple_read(monitor, samples.data(), samples.size() * 2, &error) < 0)
            samples.clear();
    });
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 15; ++i) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        player.Play(stream, from + ms * 10000);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    recorder.join();
    pa_simple_free(monitor);
    if (samples.size() > 8000)
        samples.erase(samples.begin(), samples.end() - 8000);
    return samples;
}

// What the graph does to its sound renderer as the user pauses, seeks,
// steps and changes rows: after every halt or jump the tone is heard again,
// and the server never holds more than one stream of ours.
TEST(PulseSmoke, SoundComesBackAfterEveryHaltSeekAndNewRecording)
{
    pulse::PulseConnection& program = pulse::PulseConnection::Instance();
    if (!program.Ready(std::chrono::seconds(2)))
        GTEST_SKIP() << "no PulseAudio server";
    pulse::PulseConnection counter(nullptr);

    test_support::TempFolder folder("vm-pulse");
    const auto o = Sample(12, 5);
    const std::string first = folder.Path() + "/A.ASF", second = folder.Path() + "/B.ASF";
    asfwriter::WriteSampleRecording(first, o);
    asfwriter::WriteSampleRecording(second, o);
    ffmpeg::FfmpegAudioSource audio;
    media::ScopedAudioSource installed(audio);
    {
        pulse::PulseSoundOutput output;
        auto player = output.CreatePlayer();
        const media::SourceStream a = StreamOf(first, o, false), b = StreamOf(second, o, false);
        struct Step {
            const char* what;
            bool haltFirst;
            const media::SourceStream* stream;
            media::REFERENCE_TIME from;
        } steps[] = {
            {"first play", false, &a, 0},
            {"pause, play", true, &a, 15000000},
            {"pause, step, play", true, &a, 17000000},
            {"seek while running", false, &a, 60000000},
            {"seek while paused", true, &a, 20000000},
            {"next row", true, &b, 0},
            {"next row without a halt", false, &a, 0},
            {"pause, pause, play", true, &a, 15000000},
        };
        for (const Step& s : steps) {
            SCOPED_TRACE(s.what);
            if (s.haltFirst) {
                player->Halt();
                player->Halt();
                std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the stream starves meanwhile
            }
            const auto heard = PlayAndListen(*player, *s.stream, s.from);
            ASSERT_EQ(heard.size(), 8000u) << "the monitor gave too little";
            const double tone = PowerAt(heard, 440, 8000);
            EXPECT_GT(tone, 1000.0);
            EXPECT_GT(tone, 100 * PowerAt(heard, 1000, 8000));
            EXPECT_EQ(OurStreams(counter), 1);
        }
        player->Halt();
    }
    // The player gone, its stream goes (the server takes it down on its own time).
    int left = OurStreams(counter);
    for (int i = 0; i < 40 && left != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        left = OurStreams(counter);
    }
    EXPECT_EQ(left, 0);
}

} // namespace
} // namespace backends_test
