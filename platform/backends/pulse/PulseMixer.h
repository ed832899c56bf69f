// The master volume on the default sink of the sound server.
//
// Steps: the volume bar's 0..30 are spread evenly over PulseAudio's own
// volume scale from muted (0) to the sink's normal volume (PA_VOLUME_NORM,
// "100 %"): step s is s * PA_VOLUME_NORM / 30, rounded. That scale is the
// one desktop volume sliders show; it is cubic in loudness (amplitude
// (s / 30)^3), so the steps sound even, as the bar looks. Reading back
// rounds to the nearest step; a sink turned above 100 % reads as 30.
// The raw value 0..PA_VOLUME_NORM is also offered for the mixer seam's
// volume control of 0..65535 (PulseMixerBackend; PA_VOLUME_NORM is
// 0x10000, one more; ControlOfVolume / VolumeOfControl convert linearly,
// so the program's own 0..30 mapping onto 0..65535 lands on the same steps).
//
// Every call waits for the server at most PulseConnection::kTimeout; no
// server, no default sink or no answer gives nullopt / false, as a
// computer without a sound line.
//
// Thread: any.
#pragma once

#include <cstdint>
#include <optional>

namespace pulse {

class PulseConnection;

class PulseMixer {
public:
    // On the program's connection unless given another.
    PulseMixer();
    explicit PulseMixer(PulseConnection& connection) : connection_(connection) {}

    static constexpr int kSteps = 30;

    static std::uint32_t VolumeOfSteps(int steps); // clamped to 0..30
    static int StepsOfVolume(std::uint32_t volume); // clamped to 0..30
    static std::uint32_t VolumeOfControl(std::uint32_t control); // 0..65535 -> 0..PA_VOLUME_NORM
    static std::uint32_t ControlOfVolume(std::uint32_t volume); // clamped to 0..65535

    // The default sink's volume (the average of its channels).
    std::optional<std::uint32_t> Volume();
    // Sets every channel of the default sink; true when the server confirmed.
    bool SetVolume(std::uint32_t volume);

    std::optional<int> Steps();
    bool SetSteps(int steps);

private:
    PulseConnection& connection_;
};

} // namespace pulse
