#include "platform/media/FilterGraph.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <limits>
#include <mutex>

#include "platform/media/AsfSource.h"
#include "platform/media/Enumerator.h"
#include "platform/media/Faults.h"
#include "platform/media/FilterBase.h"
#include "platform/media/InterfaceNames.h"
#include "platform/win/Clock.h"
#include "platform/win/Messages.h"
#include "platform/win/Timers.h"

namespace media::detail {

namespace {

constexpr REFERENCE_TIME kMax = std::numeric_limits<REFERENCE_TIME>::max();

REFERENCE_TIME SatAdd(REFERENCE_TIME a, REFERENCE_TIME b)
{
    if (b > 0 && a > kMax - b)
        return kMax;
    if (b < 0 && a < std::numeric_limits<REFERENCE_TIME>::min() - b)
        return std::numeric_limits<REFERENCE_TIME>::min();
    return a + b;
}

std::uint64_t NowMs() { return win::CurrentClock().MonotonicMs(); }

// Thread timers carry no object, so the graphs waiting for their end are
// found by timer id.
struct TimerTable {
    std::mutex lock;
    std::vector<std::pair<std::uintptr_t, FilterGraph*>> entries;
};

TimerTable& Timers()
{
    static TimerTable t;
    return t;
}

void EndTimerProc(win::HWND, win::UINT, win::UINT_PTR id, win::DWORD)
{
    FilterGraph* graph = nullptr;
    {
        TimerTable& t = Timers();
        std::lock_guard<std::mutex> guard(t.lock);
        for (auto& [timer, g] : t.entries)
            if (timer == id)
                graph = g;
    }
    if (graph != nullptr)
        graph->OnEndTimer();
}

} // namespace

FilterGraph::FilterGraph() = default;

FilterGraph::~FilterGraph()
{
    KillEndTimer();
    for (Entry& e : filters_)
        e.core->Stop();
    for (Entry& e : filters_)
        e.core->BreakAllConnections();
    for (Entry& e : filters_)
        e.core->JoinFilterGraph(nullptr, nullptr);
    filters_.clear();
}

HRESULT FilterGraph::Create(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (auto f = Faults::Check(Fault::Create, u"FilterGraph"))
        return *f;
    auto* graph = new FilterGraph();
    HRESULT hr = graph->QueryInterface(riid, object);
    graph->Release();
    return hr;
}

FilterGraph* FilterGraph::From(IUnknown* graph) { return dynamic_cast<FilterGraph*>(graph); }

HRESULT FilterGraph::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (auto f = QueryInterfaceFault(riid, object))
        return *f;
    return Base::QueryInterface(riid, object);
}

void* FilterGraph::FindInterface(REFIID riid)
{
    if (riid == IID_IFilterGraph)
        return static_cast<IFilterGraph*>(static_cast<IGraphBuilder*>(this));
    if (riid == IID_IMediaEvent)
        return static_cast<IMediaEvent*>(static_cast<IMediaEventEx*>(this));
    return Base::FindInterface(riid);
}

bool FilterGraph::Contains(const FilterBase* filter) const
{
    for (const Entry& e : filters_)
        if (e.core == filter)
            return true;
    return false;
}

bool FilterGraph::NameTaken(const std::u16string& name) const
{
    for (const Entry& e : filters_)
        if (e.core->Name() == name)
            return true;
    return false;
}

std::u16string FilterGraph::UniqueName(const char16_t* name) const
{
    std::u16string base = name != nullptr ? name : u"";
    if (base.size() > MAX_FILTER_NAME - 6)
        base.resize(MAX_FILTER_NAME - 6);
    if (!base.empty() && !NameTaken(base))
        return base;
    for (int n = 1;; ++n) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04d", n);
        std::u16string candidate = base.empty() ? u"" : base + u" ";
        for (const char* d = digits; *d; ++d)
            candidate.push_back(static_cast<char16_t>(*d));
        if (!NameTaken(candidate))
            return candidate;
    }
}

// ---- IFilterGraph ----------------------------------------------------------

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, const char16_t* name)
{
    if (filter == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::AddFilter, name != nullptr ? name : u""))
        return *f;
    FilterBase* core = FilterBase::From(filter);
    if (core == nullptr)
        return E_INVALIDARG;
    if (Contains(core))
        return E_INVALIDARG;
    std::u16string unique = UniqueName(name);
    // A name given and taken is changed (a success code says so); a missing
    // one is made up.
    bool renamed = name != nullptr && *name != 0 && unique != name;
    HRESULT hr = filter->JoinFilterGraph(static_cast<IFilterGraph*>(static_cast<IGraphBuilder*>(this)), unique.c_str());
    if (FAILED(hr))
        return hr;
    filters_.push_back(Entry{ComPtr<IBaseFilter>::Copy(filter), core});
    return renamed ? VFW_S_DUPLICATE_NAME : S_OK;
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter)
{
    if (filter == nullptr)
        return E_POINTER;
    FilterBase* core = FilterBase::From(filter);
    if (auto f = Faults::Check(Fault::RemoveFilter, core != nullptr ? core->Name() : u""))
        return *f;
    auto it = std::find_if(filters_.begin(), filters_.end(), [&](const Entry& e) { return e.core == core; });
    if (core == nullptr || it == filters_.end())
        return VFW_E_NOT_FOUND;
    ComPtr<IBaseFilter> keep = std::move(it->filter);
    filters_.erase(it);
    core->Stop();
    core->BreakAllConnections();
    core->JoinFilterGraph(nullptr, nullptr);
    if (core->IsSource())
        SourcesChanged();
    return S_OK; // `keep` lets the filter go now, unless the caller holds it
}

HRESULT FilterGraph::EnumFilters(IEnumFilters** e)
{
    if (e == nullptr)
        return E_POINTER;
    *e = nullptr;
    if (auto f = Faults::Check(Fault::EnumFilters))
        return *f;
    std::vector<ComPtr<IBaseFilter>> list;
    for (const Entry& entry : filters_)
        list.push_back(entry.filter);
    *e = FilterEnumerator::Make(std::move(list));
    return S_OK;
}

HRESULT FilterGraph::FindFilterByName(const char16_t* name, IBaseFilter** filter)
{
    if (name == nullptr || filter == nullptr)
        return E_POINTER;
    *filter = nullptr;
    if (auto f = Faults::Check(Fault::FindFilterByName, name))
        return *f;
    for (const Entry& e : filters_)
        if (e.core->Name() == name) {
            *filter = HandOut(e.filter);
            return S_OK;
        }
    return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt)
{
    if (out == nullptr || in == nullptr)
        return E_POINTER;
    Pin* o = Pin::From(out);
    Pin* i = Pin::From(in);
    if (o == nullptr || i == nullptr)
        return E_INVALIDARG;
    if (auto f = Faults::Check(Fault::ConnectDirect, o->Name()))
        return *f;
    if (o->Host().HostGraph() != this || i->Host().HostGraph() != this)
        return VFW_E_NOT_IN_GRAPH;
    if (state_ != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (o->IsConnected() || i->IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    if (o->Direction() != PINDIR_OUTPUT || i->Direction() != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (&o->Host() == &i->Host())
        return VFW_E_CIRCULAR_GRAPH;
    return o->Connect(in, mt);
}

HRESULT FilterGraph::Disconnect(IPin* pin)
{
    if (pin == nullptr)
        return E_POINTER;
    if (state_ != State_Stopped)
        return VFW_E_NOT_STOPPED;
    return pin->Disconnect();
}

HRESULT FilterGraph::AddSourceFilter(const char16_t* file, const char16_t* name, IBaseFilter** filter)
{
    if (file == nullptr || filter == nullptr)
        return E_POINTER;
    *filter = nullptr;
    const char16_t* used = name != nullptr ? name : file;
    if (auto f = Faults::Check(Fault::AddSourceFilter, used))
        return *f;
    ComPtr<IBaseFilter> source;
    HRESULT hr = AsfSource::Open(file, source);
    if (FAILED(hr))
        return hr;
    hr = AddFilter(source.Get(), used);
    if (FAILED(hr))
        return hr;
    SourcesChanged();
    *filter = source.Detach();
    return S_OK;
}

// ---- time ------------------------------------------------------------------

bool FilterGraph::Seekable(REFERENCE_TIME& duration) const
{
    bool any = false;
    duration = 0;
    for (const Entry& e : filters_) {
        REFERENCE_TIME d = 0;
        if (e.core->SourceDuration(d)) {
            any = true;
            duration = std::max(duration, d);
        }
    }
    return any;
}

void FilterGraph::SourcesChanged()
{
    position_ = 0;
    runBaseMs_ = NowMs();
    stopSet_ = false;
    stop_ = 0;
    completeQueued_ = false;
}

REFERENCE_TIME FilterGraph::StopPosition(REFERENCE_TIME duration) const
{
    return stopSet_ ? std::min(stop_, duration) : duration;
}

REFERENCE_TIME FilterGraph::RunningPosition() const
{
    if (state_ != State_Running)
        return position_;
    REFERENCE_TIME duration = 0;
    if (!Seekable(duration))
        return position_;
    std::uint64_t elapsedMs = NowMs() - runBaseMs_;
    double delta = static_cast<double>(elapsedMs) * 10000.0 * rate_;
    REFERENCE_TIME stop = StopPosition(duration);
    if (delta >= static_cast<double>(kMax))
        return std::max(position_, stop);
    REFERENCE_TIME pos = SatAdd(position_, static_cast<REFERENCE_TIME>(delta));
    return position_ >= stop ? position_ : std::min(pos, stop);
}

void FilterGraph::SetFilterStates(FILTER_STATE state)
{
    state_ = state;
    for (Entry& e : filters_) {
        if (state == State_Running)
            e.core->Run(0);
        else if (state == State_Paused)
            e.core->Pause();
        else
            e.core->Stop();
    }
}

void FilterGraph::PresentAt(REFERENCE_TIME position)
{
    for (Entry& e : filters_)
        e.core->Present(position);
}

void FilterGraph::QueueEvent(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    events_.push_back(Event{code, param1, param2});
    if (notifyWindow_ != 0 && (notifyFlags_ & 1) == 0)
        win::PostMessage(reinterpret_cast<win::HWND>(notifyWindow_), static_cast<win::UINT>(notifyMessage_), 0,
                         notifyInstance_);
}

void FilterGraph::CheckEnd()
{
    if (state_ != State_Running || completeQueued_)
        return;
    REFERENCE_TIME duration = 0;
    if (!Seekable(duration))
        return;
    if (RunningPosition() >= StopPosition(duration)) {
        completeQueued_ = true;
        KillEndTimer();
        QueueEvent(EC_COMPLETE, S_OK, 0);
    }
}

void FilterGraph::Advance()
{
    if (state_ != State_Running)
        return;
    CheckEnd();
    PresentAt(RunningPosition());
}

void FilterGraph::OnEndTimer()
{
    Advance();
    if (state_ == State_Running && !completeQueued_)
        ArmEndTimer();
}

void FilterGraph::ArmEndTimer()
{
    KillEndTimer();
    REFERENCE_TIME duration = 0;
    if (state_ != State_Running || completeQueued_ || !Seekable(duration))
        return;
    REFERENCE_TIME left = StopPosition(duration) - RunningPosition();
    double ms = std::ceil(static_cast<double>(left) / 10000.0 / rate_);
    // A renderer showing frames as they come is ticked at its frame rate.
    for (Entry& e : filters_)
        if (REFERENCE_TIME tick = e.core->FrameTick(); tick > 0)
            ms = std::min(ms, std::ceil(static_cast<double>(tick) / 10000.0 / rate_));
    win::UINT interval = ms < win::USER_TIMER_MINIMUM ? win::USER_TIMER_MINIMUM
        : ms > 0x7FFFFFFF                             ? 0x7FFFFFFFu
                                                      : static_cast<win::UINT>(ms);
    std::uintptr_t id = win::SetTimer(nullptr, 0, interval, &EndTimerProc);
    if (id == 0)
        return; // the end is still found at the next call
    timerId_ = id;
    TimerTable& t = Timers();
    std::lock_guard<std::mutex> guard(t.lock);
    t.entries.emplace_back(id, this);
}

void FilterGraph::KillEndTimer()
{
    if (timerId_ == 0)
        return;
    win::KillTimer(nullptr, timerId_);
    TimerTable& t = Timers();
    std::lock_guard<std::mutex> guard(t.lock);
    std::erase_if(t.entries, [&](const auto& e) { return e.first == timerId_; });
    timerId_ = 0;
}

void FilterGraph::StartRunning()
{
    runBaseMs_ = NowMs();
    SetFilterStates(State_Running);
    PresentAt(position_);
    CheckEnd();
    ArmEndTimer();
}

void FilterGraph::LeaveRunning()
{
    if (state_ == State_Running) {
        position_ = RunningPosition();
        KillEndTimer();
    }
    completeQueued_ = false;
}

// ---- IMediaControl -----------------------------------------------------------

HRESULT FilterGraph::Run()
{
    if (auto f = Faults::Check(Fault::Run))
        return *f;
    if (state_ == State_Running) {
        Advance();
        return S_OK;
    }
    StartRunning();
    return S_OK;
}

HRESULT FilterGraph::Pause()
{
    if (auto f = Faults::Check(Fault::Pause))
        return *f;
    LeaveRunning();
    SetFilterStates(State_Paused);
    PresentAt(position_);
    return S_OK;
}

HRESULT FilterGraph::Stop()
{
    if (auto f = Faults::Check(Fault::Stop))
        return *f;
    LeaveRunning();
    SetFilterStates(State_Stopped);
    return S_OK;
}

HRESULT FilterGraph::StopWhenReady()
{
    if (auto f = Faults::Check(Fault::StopWhenReady))
        return *f;
    LeaveRunning();
    SetFilterStates(State_Paused);
    PresentAt(position_);
    SetFilterStates(State_Stopped);
    return S_OK;
}

HRESULT FilterGraph::GetState(LONG, OAFilterState* state)
{
    if (state == nullptr)
        return E_POINTER;
    std::optional<HRESULT> f = Faults::Check(Fault::GetState);
    if (f && FAILED(*f))
        return *f;
    Advance();
    *state = state_;
    return f ? *f : S_OK;
}

// ---- IMediaSeeking -----------------------------------------------------------

HRESULT FilterGraph::GetCapabilities(DWORD* caps)
{
    if (caps == nullptr)
        return E_POINTER;
    *caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
        AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
    return S_OK;
}

HRESULT FilterGraph::CheckCapabilities(DWORD* caps)
{
    if (caps == nullptr)
        return E_POINTER;
    DWORD all = 0;
    GetCapabilities(&all);
    DWORD asked = *caps;
    *caps &= all;
    return *caps == asked ? S_OK : (*caps == 0 ? E_FAIL : S_FALSE);
}

HRESULT FilterGraph::IsFormatSupported(const GUID* format)
{
    if (format == nullptr)
        return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT FilterGraph::QueryPreferredFormat(GUID* format)
{
    if (format == nullptr)
        return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT FilterGraph::GetTimeFormat(GUID* format) { return QueryPreferredFormat(format); }

HRESULT FilterGraph::IsUsingTimeFormat(const GUID* format) { return IsFormatSupported(format); }

HRESULT FilterGraph::SetTimeFormat(const GUID* format)
{
    if (format == nullptr)
        return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT FilterGraph::GetDuration(LONGLONG* duration)
{
    if (duration == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::GetDuration))
        return *f;
    REFERENCE_TIME d = 0;
    if (!Seekable(d))
        return E_NOTIMPL;
    *duration = d;
    return S_OK;
}

HRESULT FilterGraph::GetStopPosition(LONGLONG* stop)
{
    if (stop == nullptr)
        return E_POINTER;
    REFERENCE_TIME d = 0;
    if (!Seekable(d))
        return E_NOTIMPL;
    *stop = StopPosition(d);
    return S_OK;
}

HRESULT FilterGraph::GetCurrentPosition(LONGLONG* current)
{
    if (current == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::GetCurrentPosition))
        return *f;
    REFERENCE_TIME d = 0;
    if (!Seekable(d))
        return E_NOTIMPL;
    Advance();
    *current = RunningPosition();
    return S_OK;
}

HRESULT FilterGraph::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                       const GUID* sourceFormat)
{
    if (target == nullptr)
        return E_POINTER;
    bool targetOk = targetFormat == nullptr || *targetFormat == TIME_FORMAT_MEDIA_TIME;
    bool sourceOk = sourceFormat == nullptr || *sourceFormat == TIME_FORMAT_MEDIA_TIME;
    if (!targetOk || !sourceOk)
        return E_INVALIDARG;
    *target = source;
    return S_OK;
}

HRESULT FilterGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    if (auto f = Faults::Check(Fault::SetPositions))
        return *f;
    DWORD cp = currentFlags & AM_SEEKING_PositioningBitsMask;
    DWORD sp = stopFlags & AM_SEEKING_PositioningBitsMask;
    if ((cp != 0 && current == nullptr) || (sp != 0 && stop == nullptr))
        return E_POINTER;
    REFERENCE_TIME duration = 0;
    if (!Seekable(duration))
        return E_NOTIMPL;

    REFERENCE_TIME now = RunningPosition();
    REFERENCE_TIME newCurrent = now;
    if (cp == AM_SEEKING_AbsolutePositioning)
        newCurrent = *current;
    else if (cp != 0)
        newCurrent = SatAdd(now, *current);
    newCurrent = std::clamp<REFERENCE_TIME>(newCurrent, 0, duration);
    if (sp != 0) {
        REFERENCE_TIME newStop = sp == AM_SEEKING_AbsolutePositioning ? *stop : SatAdd(newCurrent, *stop);
        stop_ = std::clamp<REFERENCE_TIME>(newStop, 0, duration);
        stopSet_ = true;
    }
    if ((currentFlags & AM_SEEKING_ReturnTime) != 0 && current != nullptr)
        *current = newCurrent;
    if ((stopFlags & AM_SEEKING_ReturnTime) != 0 && stop != nullptr)
        *stop = StopPosition(duration);
    if (cp == 0 && sp == 0)
        return S_OK;

    position_ = newCurrent;
    runBaseMs_ = NowMs();
    completeQueued_ = false;
    if (state_ == State_Paused) {
        PresentAt(position_);
    } else if (state_ == State_Running) {
        PresentAt(position_);
        CheckEnd();
        ArmEndTimer();
    }
    // Stopped: the position is stored; the picture follows at the next cue.
    return S_OK;
}

HRESULT FilterGraph::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    REFERENCE_TIME d = 0;
    if (!Seekable(d))
        return E_NOTIMPL;
    Advance();
    if (current != nullptr)
        *current = RunningPosition();
    if (stop != nullptr)
        *stop = StopPosition(d);
    return S_OK;
}

HRESULT FilterGraph::GetAvailable(LONGLONG* earliest, LONGLONG* latest)
{
    REFERENCE_TIME d = 0;
    if (!Seekable(d))
        return E_NOTIMPL;
    if (earliest != nullptr)
        *earliest = 0;
    if (latest != nullptr)
        *latest = d;
    return S_OK;
}

HRESULT FilterGraph::SetRate(double rate)
{
    if (auto f = Faults::Check(Fault::SetRate))
        return *f;
    if (!(rate > 0.0) || !std::isfinite(rate))
        return E_INVALIDARG;
    if (state_ == State_Running) {
        position_ = RunningPosition();
        runBaseMs_ = NowMs();
    }
    rate_ = rate;
    if (state_ == State_Running) {
        ArmEndTimer();
        PresentAt(position_); // the renderers follow the new rate (sound is for rate 1 only)
    }
    return S_OK;
}

HRESULT FilterGraph::GetRate(double* rate)
{
    if (rate == nullptr)
        return E_POINTER;
    *rate = rate_;
    return S_OK;
}

HRESULT FilterGraph::GetPreroll(LONGLONG* preroll)
{
    if (preroll == nullptr)
        return E_POINTER;
    *preroll = 0;
    return S_OK;
}

// ---- IMediaEventEx -----------------------------------------------------------

HRESULT FilterGraph::GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG)
{
    if (code == nullptr || param1 == nullptr || param2 == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::GetEvent))
        return *f;
    Advance();
    if (events_.empty())
        return E_ABORT;
    Event e = events_.front();
    events_.pop_front();
    *code = e.code;
    *param1 = e.param1;
    *param2 = e.param2;
    return S_OK;
}

HRESULT FilterGraph::WaitForCompletion(LONG, LONG* code)
{
    if (code == nullptr)
        return E_POINTER;
    *code = 0;
    if (state_ != State_Running)
        return VFW_E_WRONG_STATE;
    Advance();
    if (!completeQueued_)
        return E_ABORT;
    *code = EC_COMPLETE;
    return S_OK;
}

HRESULT FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) { return S_OK; }

HRESULT FilterGraph::SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance)
{
    if (auto f = Faults::Check(Fault::SetNotifyWindow))
        return *f;
    notifyWindow_ = window;
    notifyMessage_ = message;
    notifyInstance_ = instance;
    return S_OK;
}

HRESULT FilterGraph::SetNotifyFlags(LONG flags)
{
    if (flags != 0 && flags != 1)
        return E_INVALIDARG;
    notifyFlags_ = flags;
    return S_OK;
}

HRESULT FilterGraph::GetNotifyFlags(LONG* flags)
{
    if (flags == nullptr)
        return E_POINTER;
    *flags = notifyFlags_;
    return S_OK;
}

// ---- IBasicAudio, IBasicVideo, IMediaPosition -------------------------------

HRESULT FilterGraph::put_Volume(LONG volume)
{
    if (auto f = Faults::Check(Fault::PutVolume))
        return *f;
    HRESULT result = E_NOTIMPL;
    for (Entry& e : filters_)
        if (IBasicAudio* audio = e.core->Audio()) {
            HRESULT hr = audio->put_Volume(volume);
            if (result == E_NOTIMPL || FAILED(hr))
                result = hr;
        }
    return result;
}

HRESULT FilterGraph::get_Volume(LONG* volume)
{
    if (volume == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::GetVolume))
        return *f;
    for (Entry& e : filters_)
        if (IBasicAudio* audio = e.core->Audio())
            return audio->get_Volume(volume);
    return E_NOTIMPL;
}

HRESULT FilterGraph::put_Balance(LONG balance)
{
    HRESULT result = E_NOTIMPL;
    for (Entry& e : filters_)
        if (IBasicAudio* audio = e.core->Audio()) {
            HRESULT hr = audio->put_Balance(balance);
            if (result == E_NOTIMPL || FAILED(hr))
                result = hr;
        }
    return result;
}

HRESULT FilterGraph::get_Balance(LONG* balance)
{
    if (balance == nullptr)
        return E_POINTER;
    for (Entry& e : filters_)
        if (IBasicAudio* audio = e.core->Audio())
            return audio->get_Balance(balance);
    return E_NOTIMPL;
}

HRESULT FilterGraph::GetVideoSize(LONG* width, LONG* height)
{
    if (width == nullptr || height == nullptr)
        return E_POINTER;
    for (Entry& e : filters_)
        if (e.core->NativeVideoSize(*width, *height))
            return S_OK;
    return VFW_E_NOT_CONNECTED;
}

HRESULT FilterGraph::get_Duration(REFTIME* length)
{
    if (length == nullptr)
        return E_POINTER;
    LONGLONG d = 0;
    HRESULT hr = GetDuration(&d);
    if (SUCCEEDED(hr))
        *length = static_cast<double>(d) / 1e7;
    return hr;
}

HRESULT FilterGraph::put_CurrentPosition(REFTIME time)
{
    if (!std::isfinite(time))
        return E_INVALIDARG;
    double t = std::clamp(time * 1e7, 0.0, 9.2e18);
    LONGLONG position = static_cast<LONGLONG>(t);
    return SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

HRESULT FilterGraph::get_CurrentPosition(REFTIME* time)
{
    if (time == nullptr)
        return E_POINTER;
    LONGLONG p = 0;
    HRESULT hr = GetCurrentPosition(&p);
    if (SUCCEEDED(hr))
        *time = static_cast<double>(p) / 1e7;
    return hr;
}

} // namespace media::detail
