#include "tracks/DataLoad.h"

#include "tracks/GInfoLoadThread.h"
#include "tracks/GPSData.h"

#include "app/MyLog.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"

#include <exception>

using rtl::AnsiString;

namespace {

void LogFailure(const char* operation, const AnsiString& message)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString(operation) + " ERROR:" + message);
}

// Moves every record of from to the end of to; from is left empty.
template <class List>
void MoveRecords(List* from, List* to)
{
    for (int i = 0; i < from->Count(); ++i) {
        to->Add(from->Item(i));
        from->Put(i, nullptr);
    }
    from->Clear();
}

// The state of a record that waits for its tracks.
void ResetTracks(TAsfFileInfo* info)
{
    info->Loaded = 0;
    info->GpsCursor = 0;
    ClearGpsList(info->GpsList);
    ClearGSensorList(info->GSensorList);
}

} // namespace

TDataLoad::TDataLoad() : TDataLoad(nullptr) {}

TDataLoad::TDataLoad(TGInfoLoadHooks* hooks) : FHooks(hooks)
{
    FResultWindow = std::make_unique<win::TMessageWindow>([this](win::TMessage& m) {
        if (m.Msg == WM_GINFO_LOAD_RESULT)
            OnLoadResult(m);
    });
    FLoadThread = win::NewThread<TGInfoLoadThread>(FResultWindow->Handle(), hooks);
}

TDataLoad::~TDataLoad()
{
    try {
        // From here on results are dropped: the windows that would be
        // answered may be gone already at program end.
        FStopping = true;
        FKept.reset();
        FLoadThread->Terminate();
        FLoadThread->Priority = win::tpHigher;
        if (FHooks)
            FHooks->Stopping();
        // Wakes an idle worker; a busy one ends after its load.
        win::PostThreadMessage(FLoadThread->ThreadID(), win::WM_QUIT, 0, 0);
        // Handles the worker's hand-back meanwhile, so a running load finishes.
        FLoadThread->WaitFor();
    } catch (rtl::Exception& e) {
        LogFailure("TDataLoad::~TDataLoad", AnsiString(e.Message));
    } catch (std::exception& e) {
        LogFailure("TDataLoad::~TDataLoad", AnsiString(e.what()));
    }
    // The thread's own destruction ends and joins it in any case.
    delete FLoadThread;
    FLoadThread = nullptr;
}

bool TDataLoad::NotifyLoadGInfo(TAsfFileInfo* info, win::HWND window)
{
    try {
        if (!info)
            throw rtl::Exception(u"No track record");
        if (FStopping)
            throw rtl::Exception(u"The track loader is ending");
        auto request = std::make_unique<TGInfoRequest>();
        request->Info = info;
        request->Window = window;
        request->Path = info->FilePath;
        request->Serial = ++FSerial;
        if (window) {
            FLatest[info] = request->Serial;
            ResetTracks(info);
        }
        bool idle = false;
        if (!FBusy.compare_exchange_strong(idle, true)) {
            FKept = std::move(request);
            return false;
        }
        StartLoad(std::move(request));
        return true;
    } catch (rtl::Exception& e) {
        LogFailure("TDataLoad::NotifyLoadGInfo", AnsiString(e.Message));
    } catch (std::exception& e) {
        LogFailure("TDataLoad::NotifyLoadGInfo", AnsiString(e.what()));
    }
    return false;
}

void TDataLoad::StartLoad(std::unique_ptr<TGInfoRequest> request)
{
    const win::HWND window = request->Window;
    FLoadThread->SetRequest(std::move(request));
    if (!win::PostThreadMessage(FLoadThread->ThreadID(), WM_GINFO_LOAD, reinterpret_cast<win::WPARAM>(window), 0)) {
        FLoadThread->TakeRequest();
        FBusy.store(false);
        throw rtl::Exception(u"The track request cannot be posted");
    }
}

void TDataLoad::OnLoadResult(win::TMessage& message)
{
    // However the answer's handler ends (also by raising), the load is over:
    // the kept request starts, or the loader is idle again.
    struct Finish {
        TDataLoad* self;
        ~Finish()
        {
            if (self->FKept && !self->FStopping) {
                try {
                    self->StartLoad(std::move(self->FKept));
                } catch (rtl::Exception& e) {
                    LogFailure("TDataLoad::NotifyLoadGInfo", AnsiString(e.Message));
                } catch (std::exception& e) {
                    LogFailure("TDataLoad::NotifyLoadGInfo", AnsiString(e.what()));
                }
            } else {
                self->FKept.reset();
                self->FBusy.store(false);
            }
        }
    } finish{this};
    const auto* result = reinterpret_cast<const TGInfoResult*>(message.WParam);
    if (!result || !result->Request || FStopping)
        return;
    const TGInfoRequest& request = *result->Request;
    if (request.Window) {
        const auto latest = FLatest.find(request.Info);
        const bool current = latest == FLatest.end() || latest->second == request.Serial;
        // Busy until the answer has been handled: a request made in the
        // handler is kept and started right after it.
        if (current) {
            if (latest != FLatest.end())
                FLatest.erase(latest);
            TAsfFileInfo* info = request.Info;
            ResetTracks(info);
            MoveRecords(result->Tracks->GpsList, info->GpsList);
            MoveRecords(result->Tracks->GSensorList, info->GSensorList);
            info->Loaded = (result->Answer && result->Code == 0) ? 1 : 0;
            if (result->Answer && result->Code == 0)
                win::SendMessage(request.Window, WM_GINFO_LOAD_END, 0, 0);
            else if (result->Answer)
                win::SendMessage(request.Window, WM_GINFO_LOAD_ERROR, static_cast<win::WPARAM>(result->Code), 0);
        } else if (result->Answer) {
            win::SendMessage(request.Window, WM_GINFO_LOAD_ERROR, static_cast<win::WPARAM>(GInfoLoadSuperseded), 0);
        }
    }
}
