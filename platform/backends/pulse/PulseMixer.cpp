#include "platform/backends/pulse/PulseMixer.h"

#include <algorithm>
#include <string>

#include "platform/backends/pulse/PulseConnection.h"

namespace pulse {

namespace {

struct SinkQuery {
    std::string name;
    pa_cvolume volume{};
    bool found = false;
};

// The default sink's name and volume; lock held.
bool QueryDefaultSink(PulseConnection& c, SinkQuery& q)
{
    pa_context* ctx = c.Context();
    auto onServer = [](pa_context*, const pa_server_info* info, void* data) {
        if (info != nullptr && info->default_sink_name != nullptr)
            static_cast<SinkQuery*>(data)->name = info->default_sink_name;
    };
    if (!c.Wait(pa_context_get_server_info(ctx, onServer, &q), PulseConnection::kTimeout) || q.name.empty())
        return false;
    auto onSink = [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        if (eol != 0 || info == nullptr)
            return;
        auto* query = static_cast<SinkQuery*>(data);
        query->volume = info->volume;
        query->found = true;
    };
    return c.Wait(pa_context_get_sink_info_by_name(ctx, q.name.c_str(), onSink, &q), PulseConnection::kTimeout) &&
        q.found && pa_cvolume_valid(&q.volume);
}

} // namespace

PulseMixer::PulseMixer() : connection_(PulseConnection::Instance()) {}

std::uint32_t PulseMixer::VolumeOfSteps(int steps)
{
    const std::int64_t s = std::clamp(steps, 0, kSteps);
    return static_cast<std::uint32_t>((s * PA_VOLUME_NORM + kSteps / 2) / kSteps);
}

int PulseMixer::StepsOfVolume(std::uint32_t volume)
{
    const std::int64_t s = (static_cast<std::int64_t>(volume) * kSteps + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return static_cast<int>(std::clamp<std::int64_t>(s, 0, kSteps));
}

std::uint32_t PulseMixer::VolumeOfControl(std::uint32_t control)
{
    const std::int64_t c = std::min<std::uint32_t>(control, 65535);
    return static_cast<std::uint32_t>((c * PA_VOLUME_NORM + 65535 / 2) / 65535);
}

std::uint32_t PulseMixer::ControlOfVolume(std::uint32_t volume)
{
    const std::int64_t c = (static_cast<std::int64_t>(volume) * 65535 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(c, 0, 65535));
}

std::optional<std::uint32_t> PulseMixer::Volume()
{
    PulseConnection& c = connection_;
    if (!c.Ready(PulseConnection::kTimeout))
        return std::nullopt;
    PulseConnection::Lock lock(c);
    SinkQuery q;
    if (c.Context() == nullptr || !QueryDefaultSink(c, q))
        return std::nullopt;
    return pa_cvolume_avg(&q.volume);
}

bool PulseMixer::SetVolume(std::uint32_t volume)
{
    PulseConnection& c = connection_;
    if (!c.Ready(PulseConnection::kTimeout))
        return false;
    PulseConnection::Lock lock(c);
    SinkQuery q;
    if (c.Context() == nullptr || !QueryDefaultSink(c, q))
        return false;
    pa_cvolume cv;
    pa_cvolume_set(&cv, q.volume.channels, std::min<std::uint32_t>(volume, PA_VOLUME_MAX));
    int ok = 0;
    auto onDone = [](pa_context*, int success, void* data) { *static_cast<int*>(data) = success; };
    return c.Wait(pa_context_set_sink_volume_by_name(c.Context(), q.name.c_str(), &cv, onDone, &ok),
                  PulseConnection::kTimeout) &&
        ok != 0;
}

std::optional<int> PulseMixer::Steps()
{
    std::optional<std::uint32_t> v = Volume();
    if (!v)
        return std::nullopt;
    return StepsOfVolume(*v);
}

bool PulseMixer::SetSteps(int steps) { return SetVolume(VolumeOfSteps(steps)); }

} // namespace pulse
