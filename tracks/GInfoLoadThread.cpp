#include "tracks/GInfoLoadThread.h"

#include "tracks/GPSData.h"
#include "tracks/GetGPSFromASF.h"

#include "app/MyLog.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"

#include <exception>

using rtl::AnsiString;

namespace {

void LogLoadFailure(const AnsiString& message)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString("TGInfoLoadThread::OnGInfoLoad ERROR:") + message);
}

} // namespace

TGInfoLoadThread::TGInfoLoadThread(win::HWND resultWindow, TGInfoLoadHooks* hooks)
    : TThread(false), FResultWnd(resultWindow), FHooks(hooks)
{
}

TGInfoLoadThread::~TGInfoLoadThread()
{
    // Execute uses this class's members: end it while they are still here.
    // The loader has normally done this already; then both calls return at once.
    Terminate();
    win::PostThreadMessage(ThreadID(), win::WM_QUIT, 0, 0);
    WaitFor();
}

void TGInfoLoadThread::SetRequest(std::unique_ptr<TGInfoRequest> request)
{
    std::lock_guard<std::mutex> guard(FRequestLock);
    FRequest = std::move(request);
}

std::unique_ptr<TGInfoRequest> TGInfoLoadThread::TakeRequest()
{
    std::lock_guard<std::mutex> guard(FRequestLock);
    return std::move(FRequest);
}

void TGInfoLoadThread::Execute()
{
    // The terminated flag is tested before each wait only, so a load that
    // has begun always finishes.
    while (!Terminated()) {
        win::MSG msg;
        const win::BOOL got = win::GetMessage(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (msg.message == WM_GINFO_LOAD) {
            win::TMessage message;
            message.Msg = msg.message;
            message.WParam = msg.wParam;
            message.LParam = msg.lParam;
            OnGInfoLoad(message);
        }
    }
}

void TGInfoLoadThread::OnGInfoLoad(win::TMessage& message)
{
    std::unique_ptr<TGInfoRequest> request = TakeRequest();
    TAsfFileInfo tracks;
    TGInfoResult result;
    result.Tracks = &tracks;
    try {
        FNotifyWnd.store(reinterpret_cast<win::HWND>(message.WParam));
        if (!FNotifyWnd.load())
            throw rtl::Exception(u"No m_hWnd");
        // A WM_GINFO_LOAD that the loader did not post carries no request.
        if (!request)
            throw rtl::Exception(u"No track request");
        if (FHooks)
            FHooks->LoadStarting(request->Path);
        {
            TGetGPSFromASF reader;
            result.Code = reader.GetGpsInfo(request->Path, &tracks);
        }
        if (FHooks)
            FHooks->LoadRead(result.Code);
        result.Answer = true;
    } catch (rtl::Exception& e) {
        LogLoadFailure(AnsiString(e.Message));
    } catch (std::exception& e) {
        LogLoadFailure(AnsiString(e.what()));
    } catch (...) {
        LogLoadFailure(AnsiString("unknown failure"));
    }
    // Every request is handed back, answered or not, so that the loader
    // becomes idle again (or starts the request it kept).
    if (request) {
        result.Request = request.get();
        win::SendMessage(FResultWnd, WM_GINFO_LOAD_RESULT, reinterpret_cast<win::WPARAM>(&result), 0);
    }
    FNotifyWnd.store(nullptr);
}
