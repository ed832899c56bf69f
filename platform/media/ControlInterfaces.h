// The interfaces the filter graph manager offers besides IGraphBuilder:
// run state, seeking, events, audio volume, and the two held only by the
// program (IBasicVideo, IMediaPosition). All are on the graph object itself,
// so each holds the graph alive like IGraphBuilder does.
//
// All on the thread that uses the graph (the user interface thread).
#pragma once

#include "platform/media/FilterInterfaces.h"

namespace media {

struct IMediaControl : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A868B1);
    // Run from stopped passes through paused (the first frame is shown).
    // Run at the end of the media queues EC_COMPLETE at once.
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    // Keeps the position and the last picture.
    virtual HRESULT Stop() = 0;
    // S_OK and the state; E_POINTER for null. The transitions here complete
    // at once, so VFW_S_STATE_INTERMEDIATE comes only from a failure switch.
    virtual HRESULT GetState(LONG msTimeout, OAFilterState* state) = 0;
    virtual HRESULT RenderFile(const char16_t* file) = 0; // E_NOTIMPL
    // Pauses until the current frame is shown, then stops.
    virtual HRESULT StopWhenReady() = 0;
};

struct IMediaSeeking : IUnknown {
    static constexpr IID iid{0x36B73880, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    virtual HRESULT GetCapabilities(DWORD* caps) = 0;
    virtual HRESULT CheckCapabilities(DWORD* caps) = 0;
    virtual HRESULT IsFormatSupported(const GUID* format) = 0;
    virtual HRESULT QueryPreferredFormat(GUID* format) = 0;
    virtual HRESULT GetTimeFormat(GUID* format) = 0;
    virtual HRESULT IsUsingTimeFormat(const GUID* format) = 0;
    virtual HRESULT SetTimeFormat(const GUID* format) = 0;
    // Positions are 100 ns units. Every position call answers E_NOTIMPL
    // while no source in the graph has a connected output.
    virtual HRESULT GetDuration(LONGLONG* duration) = 0;
    virtual HRESULT GetStopPosition(LONGLONG* stop) = 0;
    // While paused or stopped: exactly the last position sought.
    virtual HRESULT GetCurrentPosition(LONGLONG* current) = 0;
    virtual HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                      const GUID* sourceFormat) = 0;
    // Exact seeks. While stopped the position is only stored (the picture
    // changes at the next Pause, StopWhenReady or Run); while paused the
    // frame of the new position is shown; while running playing goes on
    // from it. Past the end: clamped to the duration, the end reached.
    virtual HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) = 0;
    virtual HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) = 0;
    virtual HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) = 0;
    // Above 0; E_INVALIDARG otherwise.
    virtual HRESULT SetRate(double rate) = 0;
    virtual HRESULT GetRate(double* rate) = 0;
    virtual HRESULT GetPreroll(LONGLONG* preroll) = 0;
};

using OAEVENT = std::intptr_t;

struct IMediaEvent : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A868B6);
    virtual HRESULT GetEventHandle(OAEVENT* handle) = 0; // E_NOTIMPL
    // The oldest queued event; E_ABORT when the queue is empty (no waiting:
    // nothing else could queue an event meanwhile).
    virtual HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) = 0;
    virtual HRESULT WaitForCompletion(LONG msTimeout, LONG* code) = 0;
    virtual HRESULT CancelDefaultHandling(LONG code) = 0;
    virtual HRESULT RestoreDefaultHandling(LONG code) = 0;
    virtual HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) = 0;
};

struct IMediaEventEx : IMediaEvent {
    static constexpr IID iid = QuartzIid(0x56A868C0);
    // For every event queued from now on, posts `message` to `window` with
    // wParam 0 and lParam `instance`. A null window stops the posting.
    virtual HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) = 0;
    virtual HRESULT SetNotifyFlags(LONG flags) = 0; // 1: no posting
    virtual HRESULT GetNotifyFlags(LONG* flags) = 0;
};

struct IBasicAudio : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A868B3);
    // -10000 (silence) .. 0 (full); E_INVALIDARG outside. On the graph:
    // passed to the sound renderers in it; E_NOTIMPL when there is none.
    virtual HRESULT put_Volume(LONG volume) = 0;
    virtual HRESULT get_Volume(LONG* volume) = 0;
    virtual HRESULT put_Balance(LONG balance) = 0;
    virtual HRESULT get_Balance(LONG* balance) = 0;
};

struct IBasicVideo : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A868B5);
    // The native size of the video at the renderer; VFW_E_NOT_CONNECTED
    // without one.
    virtual HRESULT GetVideoSize(LONG* width, LONG* height) = 0;
};

struct IMediaPosition : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A868B2);
    // Seconds; the same positions as IMediaSeeking.
    virtual HRESULT get_Duration(REFTIME* length) = 0;
    virtual HRESULT put_CurrentPosition(REFTIME time) = 0;
    virtual HRESULT get_CurrentPosition(REFTIME* time) = 0;
};

inline constexpr IID IID_IMediaControl = IMediaControl::iid;
inline constexpr IID IID_IMediaSeeking = IMediaSeeking::iid;
inline constexpr IID IID_IMediaEvent = IMediaEvent::iid;
inline constexpr IID IID_IMediaEventEx = IMediaEventEx::iid;
inline constexpr IID IID_IBasicAudio = IBasicAudio::iid;
inline constexpr IID IID_IBasicVideo = IBasicVideo::iid;
inline constexpr IID IID_IMediaPosition = IMediaPosition::iid;

inline constexpr CLSID CLSID_FilterGraph{0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

} // namespace media
