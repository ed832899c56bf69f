// The track worker: a thread that carries out one WM_GINFO_LOAD at a time.
//
// For each request it reads the recording into a record of its own with a
// fresh TGetGPSFromASF, then sends the result to the loader's result window
// on the user interface thread and waits there while the loader moves the
// records into the requested TAsfFileInfo and answers the requesting window.
// It keeps nothing between requests.
#pragma once

#include "tracks/DataLoad.h"

#include "platform/rtl/UnicodeString.h"
#include "platform/win/Thread.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

// One request as the user interface thread hands it over: the path is the
// request's own copy, taken when the request was made.
struct TGInfoRequest {
    TAsfFileInfo* Info = nullptr; // the record to refill (touched only on the user interface thread)
    win::HWND Window = nullptr; // the window to answer
    rtl::UnicodeString Path;
    std::uint64_t Serial = 0; // the loader's number for the request
};

// The worker's hand-back, alive while the worker waits in its send.
struct TGInfoResult {
    const TGInfoRequest* Request = nullptr;
    // False: the load failed without an answer (no window, or a failure that
    // escaped the reader, already logged).
    bool Answer = false;
    int Code = 0; // the reader's result code
    TAsfFileInfo* Tracks = nullptr; // what the reader appended
};

// Sent by the worker to the loader's result window: wParam a TGInfoResult*.
inline constexpr win::UINT WM_GINFO_LOAD_RESULT = win::WM_USER + 0x109;

// A seam around each load, for tests that hold a load or make it fail.
// The defaults do nothing.
class TGInfoLoadHooks {
public:
    virtual ~TGInfoLoadHooks() = default;
    // Worker thread, when a load with a window begins, before the reader is
    // created. May block (holding the load) or raise (a failure inside the load).
    virtual void LoadStarting(const rtl::UnicodeString& path) { (void)path; }
    // Worker thread, after the read, just before the result is sent back.
    virtual void LoadRead(int code) { (void)code; }
    // User interface thread: the loader's destructor has set the worker's
    // terminated flag and raised its priority, and is about to wake it and
    // wait for it.
    virtual void Stopping() {}
};

class TGInfoLoadThread : public win::TThread {
public:
    // resultWindow: the loader's window on the user interface thread that
    // receives WM_GINFO_LOAD_RESULT. Not suspended, normal priority; starts
    // when built with NewThread.
    TGInfoLoadThread(win::HWND resultWindow, TGInfoLoadHooks* hooks);
    // Ends the thread (waking it if idle) and waits for it.
    ~TGInfoLoadThread() override;

    // User interface thread, while the worker is idle: the request that the
    // next WM_GINFO_LOAD carries out.
    void SetRequest(std::unique_ptr<TGInfoRequest> request);
    // Takes it back (a request whose post failed).
    std::unique_ptr<TGInfoRequest> TakeRequest();

    // The window of the load in progress; null while idle.
    win::HWND NotifyWnd() const { return FNotifyWnd.load(); }

protected:
    void Execute() override;

private:
    void OnGInfoLoad(win::TMessage& message);

    std::atomic<win::HWND> FNotifyWnd{nullptr};
    const win::HWND FResultWnd;
    TGInfoLoadHooks* const FHooks;
    std::mutex FRequestLock;
    std::unique_ptr<TGInfoRequest> FRequest;
};
