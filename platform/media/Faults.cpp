#include "platform/media/Faults.h"

#include <mutex>
#include <vector>

namespace media {

namespace {

struct Rule {
    Fault point;
    std::u16string qualifier;
    win::HRESULT result;
    int skip;
    int times;
};

struct Count {
    Fault point;
    std::u16string qualifier;
    int calls;
};

struct State {
    std::mutex lock;
    std::vector<Rule> rules;
    std::vector<Count> counts;
};

State& TheState()
{
    static State s;
    return s;
}

} // namespace

const char* FaultName(Fault f)
{
    switch (f) {
    case Fault::Create:
        return "Create";
    case Fault::QueryInterface:
        return "QueryInterface";
    case Fault::AddFilter:
        return "AddFilter";
    case Fault::RemoveFilter:
        return "RemoveFilter";
    case Fault::AddSourceFilter:
        return "AddSourceFilter";
    case Fault::ConnectDirect:
        return "ConnectDirect";
    case Fault::Disconnect:
        return "Disconnect";
    case Fault::EnumFilters:
        return "EnumFilters";
    case Fault::FindFilterByName:
        return "FindFilterByName";
    case Fault::EnumPins:
        return "EnumPins";
    case Fault::FindPin:
        return "FindPin";
    case Fault::QueryFilterInfo:
        return "QueryFilterInfo";
    case Fault::QueryPinInfo:
        return "QueryPinInfo";
    case Fault::ConnectedTo:
        return "ConnectedTo";
    case Fault::EnumMediaTypes:
        return "EnumMediaTypes";
    case Fault::Run:
        return "Run";
    case Fault::Pause:
        return "Pause";
    case Fault::Stop:
        return "Stop";
    case Fault::StopWhenReady:
        return "StopWhenReady";
    case Fault::GetState:
        return "GetState";
    case Fault::SetPositions:
        return "SetPositions";
    case Fault::GetCurrentPosition:
        return "GetCurrentPosition";
    case Fault::GetDuration:
        return "GetDuration";
    case Fault::SetRate:
        return "SetRate";
    case Fault::SetNotifyWindow:
        return "SetNotifyWindow";
    case Fault::GetEvent:
        return "GetEvent";
    case Fault::PutVolume:
        return "PutVolume";
    case Fault::GetVolume:
        return "GetVolume";
    case Fault::SetRenderingMode:
        return "SetRenderingMode";
    case Fault::SetVideoClippingWindow:
        return "SetVideoClippingWindow";
    case Fault::SetBorderColor:
        return "SetBorderColor";
    case Fault::SetAspectRatioMode:
        return "SetAspectRatioMode";
    case Fault::SetVideoPosition:
        return "SetVideoPosition";
    case Fault::GetVideoPosition:
        return "GetVideoPosition";
    case Fault::GetNativeVideoSize:
        return "GetNativeVideoSize";
    case Fault::RepaintVideo:
        return "RepaintVideo";
    case Fault::GetCurrentImage:
        return "GetCurrentImage";
    }
    return "?";
}

void Faults::Fail(Fault point, win::HRESULT result, std::u16string_view qualifier, int skip, int times)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.rules.push_back(Rule{point, std::u16string(qualifier), result, skip < 0 ? 0 : skip, times});
}

void Faults::Clear()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.rules.clear();
    s.counts.clear();
}

std::optional<win::HRESULT> Faults::Check(Fault point, std::u16string_view qualifier)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    bool counted = false;
    for (Count& c : s.counts)
        if (c.point == point && c.qualifier == qualifier) {
            ++c.calls;
            counted = true;
            break;
        }
    if (!counted)
        s.counts.push_back(Count{point, std::u16string(qualifier), 1});

    for (Rule& r : s.rules) {
        if (r.point != point || (!r.qualifier.empty() && r.qualifier != qualifier))
            continue;
        if (r.times == 0)
            continue;
        if (r.skip > 0) {
            --r.skip;
            continue;
        }
        if (r.times > 0)
            --r.times;
        return r.result;
    }
    return std::nullopt;
}

int Faults::Calls(Fault point, std::u16string_view qualifier)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    int n = 0;
    for (const Count& c : s.counts)
        if (c.point == point && (qualifier.empty() || c.qualifier == qualifier))
            n += c.calls;
    return n;
}

} // namespace media
