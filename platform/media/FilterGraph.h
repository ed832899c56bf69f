// The filter graph manager (CLSID_FilterGraph): holds the filters with one
// reference each, connects their pins, runs them, seeks, and queues events.
//
// Media time: while running, the position moves on the layer's clock
// (win::CurrentClock), times the rate, and stops at the stop position (the
// duration unless set); reaching it queues EC_COMPLETE once. The graph checks
// for the end at every call and on a thread timer (win::SetTimer) due at the
// end, so the notify message comes while the owning thread pumps messages.
// Transitions complete at once.
//
// User interface thread only (the thread that pumps the timer).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/media/ControlInterfaces.h"

namespace media::detail {

class FilterBase;

class FilterGraph final : public TComObject<IGraphBuilder, IMediaControl, IMediaSeeking, IMediaEventEx, IBasicAudio,
                                            IBasicVideo, IMediaPosition> {
public:
    using Base = TComObject<IGraphBuilder, IMediaControl, IMediaSeeking, IMediaEventEx, IBasicAudio, IBasicVideo,
                            IMediaPosition>;

    FilterGraph();
    static HRESULT Create(REFIID riid, void** object);

    // The QueryInterface failure switch first (Faults.h).
    HRESULT QueryInterface(REFIID riid, void** object) override;
    static FilterGraph* From(IUnknown* graph);

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* filter, const char16_t* name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** e) override;
    HRESULT FindFilterByName(const char16_t* name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) override;
    HRESULT Reconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override { return S_OK; }
    // IGraphBuilder
    HRESULT Connect(IPin* out, IPin* in) override { return ConnectDirect(out, in, nullptr); }
    HRESULT Render(IPin*) override { return E_NOTIMPL; }
    HRESULT RenderFile(const char16_t*, const char16_t*) override { return E_NOTIMPL; }
    HRESULT AddSourceFilter(const char16_t* file, const char16_t* name, IBaseFilter** filter) override;
    HRESULT SetLogFile(std::uintptr_t) override { return S_OK; }
    HRESULT Abort() override { return S_OK; }
    HRESULT ShouldOperationContinue() override { return S_OK; }

    // IMediaControl
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(LONG msTimeout, OAFilterState* state) override;
    HRESULT RenderFile(const char16_t*) override { return E_NOTIMPL; }
    HRESULT StopWhenReady() override;

    // IMediaSeeking
    HRESULT GetCapabilities(DWORD* caps) override;
    HRESULT CheckCapabilities(DWORD* caps) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

    // IMediaEvent(Ex)
    HRESULT GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
    HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) override;
    HRESULT WaitForCompletion(LONG msTimeout, LONG* code) override;
    HRESULT CancelDefaultHandling(LONG) override { return S_OK; }
    HRESULT RestoreDefaultHandling(LONG) override { return S_OK; }
    HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) override;
    HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) override;
    HRESULT SetNotifyFlags(LONG flags) override;
    HRESULT GetNotifyFlags(LONG* flags) override;

    // IBasicAudio
    HRESULT put_Volume(LONG volume) override;
    HRESULT get_Volume(LONG* volume) override;
    HRESULT put_Balance(LONG balance) override;
    HRESULT get_Balance(LONG* balance) override;
    // IBasicVideo
    HRESULT GetVideoSize(LONG* width, LONG* height) override;
    // IMediaPosition
    HRESULT get_Duration(REFTIME* length) override;
    HRESULT put_CurrentPosition(REFTIME time) override;
    HRESULT get_CurrentPosition(REFTIME* time) override;

    // For the filters: brings the running position up to the clock (queues
    // EC_COMPLETE at the end and presents the frame).
    void Advance();
    FILTER_STATE State() const { return state_; }
    double Rate() const { return rate_; }
    bool Contains(const FilterBase* filter) const;

    // The thread timer's tick (internal).
    void OnEndTimer();
    // A filter's report (the event sink's Notify): queued like the graph's
    // own events, with the notify message posted.
    void Notify(LONG code, LONG_PTR param1, LONG_PTR param2) { QueueEvent(code, param1, param2); }

protected:
    void* FindInterface(REFIID riid) override;

private:
    ~FilterGraph() override;

    struct Entry {
        ComPtr<IBaseFilter> filter;
        FilterBase* core;
    };
    struct Event {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    bool NameTaken(const std::u16string& name) const;
    std::u16string UniqueName(const char16_t* name) const;
    // The longest duration of the sources with a connected output.
    bool Seekable(REFERENCE_TIME& duration) const;
    void SourcesChanged();
    REFERENCE_TIME RunningPosition() const;
    REFERENCE_TIME StopPosition(REFERENCE_TIME duration) const;
    void SetFilterStates(FILTER_STATE state);
    void PresentAt(REFERENCE_TIME position);
    void QueueEvent(LONG code, LONG_PTR param1, LONG_PTR param2);
    void CheckEnd();
    void ArmEndTimer();
    void KillEndTimer();
    void StartRunning();
    // Keeps the position a run has reached and drops a queued completion.
    void LeaveRunning();

    std::vector<Entry> filters_;
    FILTER_STATE state_ = State_Stopped;
    double rate_ = 1.0;
    REFERENCE_TIME position_ = 0; // while paused or stopped; the run's base while running
    std::uint64_t runBaseMs_ = 0; // clock at the run's base
    REFERENCE_TIME stop_ = 0; // stop position when set
    bool stopSet_ = false;
    bool completeQueued_ = false;
    std::deque<Event> events_;
    OAHWND notifyWindow_ = 0;
    LONG notifyMessage_ = 0;
    LONG_PTR notifyInstance_ = 0;
    LONG notifyFlags_ = 0;
    std::uintptr_t timerId_ = 0;
};

} // namespace media::detail
