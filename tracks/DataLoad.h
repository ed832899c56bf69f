// The track loader: reads a recording's GPS and G-sensor tracks on the worker
// thread while the user interface thread goes on playing the video.
//
// The playback control owns one TDataLoad and one TAsfFileInfo. For each
// opened recording it sets the record's FilePath and asks for its tracks with
// NotifyLoadGInfo; the requesting window is then answered once, synchronously
// (SendMessage, handled on the window's thread), with
//   WM_GINFO_LOAD_END    wParam 0, lParam 0: the record holds the tracks, Loaded 1
//   WM_GINFO_LOAD_ERROR  wParam the reader's code (not 0), lParam 0: Loaded 0,
//                        the records read before the failure are kept
// The answer's receiver uses the record it passed with its request.
//
// Threads: TDataLoad lives on the user interface thread (the thread that
// builds it): construction, NotifyLoadGInfo, destruction and the delivery of
// each result run there. The worker reads into a record of its own; the
// requested record (lists, Loaded, GpsCursor) is written only on the user
// interface thread: emptied when it is asked for, refilled when the worker
// hands its result back and waits in that send. So the lists never change
// while the answer's handler (or any other code of the user interface
// thread) reads them, and the worker never reads the record's FilePath.
//
// One load runs at a time. A request made while one runs is kept (only the
// newest) and started once the running load has handed back. A load whose
// record has been asked for again meanwhile is answered with
// WM_GINFO_LOAD_ERROR and wParam GInfoLoadSuperseded, and the record is left
// alone: only the recording asked for last is ever answered as loaded, so the
// panes never show the tracks of a recording that no longer plays. While the
// loader is being destroyed no answer is delivered at all (the panes may be
// gone).
#pragma once

#include "platform/win/MessageWindow.h"
#include "platform/win/Messages.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

struct TAsfFileInfo;
class TGInfoLoadThread;
struct TGInfoRequest;
class TGInfoLoadHooks;

// Thread message to the worker: wParam the window to answer, lParam 0.
inline constexpr win::UINT WM_GINFO_LOAD = win::WM_APP + 7;
// Sent to the requesting window: wParam the reader's result code.
inline constexpr win::UINT WM_GINFO_LOAD_ERROR = win::WM_APP + 8;
// Sent to the requesting window after a load with result 0.
inline constexpr win::UINT WM_GINFO_LOAD_END = win::WM_APP + 9;

// wParam of WM_GINFO_LOAD_ERROR for a load that a newer request for the same
// record superseded (beside the reader's own codes, Loaded stays 0).
inline constexpr int GInfoLoadSuperseded = 19;

class TDataLoad {
public:
    // Starts the worker, idle. Its queue exists from here on: a request
    // made right away is kept.
    TDataLoad();
    // The same with a test seam around each load (not owned; must outlive
    // the loader). Null: none.
    explicit TDataLoad(TGInfoLoadHooks* hooks);
    // Stops the worker and waits for it; a load in progress finishes first
    // and its answer is dropped. Not to be called from the handler of an
    // answer (the worker waits for that handler to return).
    ~TDataLoad();
    TDataLoad(const TDataLoad&) = delete;
    TDataLoad& operator=(const TDataLoad&) = delete;

    // Asks for the tracks of info->FilePath (copied now) into info, answered
    // to window. With a window, empties info's lists and sets Loaded and
    // GpsCursor to 0 at once, and makes every earlier request for info stale.
    // True: the worker starts it now. False: a load
    // runs, and the request is kept in place of any kept before and started
    // when that load has handed back; also false, with an error line, for a
    // null info or a loader that is being destroyed (nothing kept then).
    // A null window is accepted; the worker then logs "No m_hWnd" and answers
    // nobody.
    bool NotifyLoadGInfo(TAsfFileInfo* info, win::HWND window);

    // True from an accepted request until its result has been handed back
    // (and answered). Set on the user interface thread; readable anywhere.
    bool Busy() const { return FBusy.load(); }
    // A request waits for the running load to finish.
    bool HasKeptRequest() const { return FKept != nullptr; }

    TGInfoLoadThread* LoadThread() const { return FLoadThread; }

private:
    // The worker's hand-back, on the user interface thread.
    void OnLoadResult(win::TMessage& message);
    void StartLoad(std::unique_ptr<TGInfoRequest> request);

    std::unique_ptr<win::TMessageWindow> FResultWindow;
    TGInfoLoadThread* FLoadThread = nullptr;
    TGInfoLoadHooks* FHooks = nullptr;
    std::atomic<bool> FBusy{false};
    bool FStopping = false;
    std::unique_ptr<TGInfoRequest> FKept;
    std::uint64_t FSerial = 0;
    // Per record, the serial of its newest request with a window while that
    // one has not been handed back: an older result for the record is stale.
    std::map<const TAsfFileInfo*, std::uint64_t> FLatest;
};
