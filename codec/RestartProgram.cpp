// The automatic restart after a failed graph start, at most three in a row.
#include "app/Globals.h"
#include "codec/CodecSupport.h"
#include "codec/FfdshowInstall.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Numbers.h"
#include "platform/vcl/Application.h"
#include "platform/win/Clock.h"
#include "platform/win/ShellExecute.h"

using namespace win;
using namespace codec::detail;
using rtl::UnicodeString;

namespace {

constexpr const char16_t* kCounterKey = u"\\Software\\Velmorastine";
constexpr int kRestartLimit = 3;
constexpr int kUnregistrationPolls = 50;

// False when the key can be neither opened nor created; a refused write raises.
bool StoreRestartCount(int count)
{
    TRegistry reg;
    reg.RootKey = HKEY_CURRENT_USER;
    if (!reg.OpenKey(kCounterKey, true))
        return false;
    reg.WriteInteger(u"restart_cnt", count);
    return true;
}

bool TryStoreRestartCount(int count)
{
    try {
        return StoreRestartCount(count);
    } catch (rtl::ERegistryException&) {
        return false;
    }
}

// The new instance must not meet the old one's unregistration still running:
// it would remove what the new instance registers.
void WaitForUnregistration()
{
    if (!UnregistrationStarted)
        return;
    for (int check = 0; check < kUnregistrationPolls && VideoDecoderRegistered(); ++check)
        WaitForVideoDecoder(false, 100);
    UnregistrationStarted = false;
}

} // namespace

int GetRestartCount()
{
    TRegistry reg;
    reg.RootKey = HKEY_CURRENT_USER;
    if (!reg.OpenKey(kCounterKey, true))
        return 0;
    UnicodeString text = reg.GetDataAsString(u"restart_cnt", false);
    if (text.IsEmpty() || text == u"0")
        return 0;
    int count = rtl::StrToInt(text);
    return count < 0 ? 0 : count;
}

void SetRestartCount(int count) { StoreRestartCount(count); }

void ResetRestartCount() { SetRestartCount(0); }

bool RestartProgram()
{
    int count = GetRestartCount();
    if (count >= kRestartLimit) {
        SetRestartCount(0);
        return false;
    }
    if (!TryStoreRestartCount(count + 1)) {
        LogError(u"Velmorastine Restart refused (restart_cnt cannot be stored)");
        return false;
    }
    LogError(UnicodeString(u"Velmorastine Restarting... ...  restart_cnt:") + UnicodeString(count + 1));

    WaitForUnregistration();
    int result = SE_ERR_FNF;
    if (IsSafeParameterText(ProgramFolder)) {
        rtl::AnsiString parameters(ProgramFolder);
        result = ShellExecuteResult(
            ShellExecuteA(OwnerWindow(), nullptr, "Velmorastine II.exe", parameters.c_str(), nullptr, SW_SHOW));
    }
    if (result <= 32) {
        // Not restarted, so not counted.
        TryStoreRestartCount(count);
        LogError(UnicodeString(u"Velmorastine Restart Failured (ShellExecute:") + UnicodeString(result) + u")");
        return false;
    }
    vcl::Application->Terminate();
    return true;
}
