// The removal of the own installation, or the restore of the computer's, at exit.
#include <memory>

#include "app/Common.h"
#include "app/Globals.h"
#include "codec/CodecSupport.h"
#include "codec/FfdshowInstall.h"
#include "platform/win/Com.h"
#include "platform/win/RegistryStore.h"

using namespace win;
using namespace codec::detail;
using rtl::UnicodeString;

namespace {

// Set once the removal or the restore has run in this process.
bool removalDone = false;

constexpr const char16_t* kKeys[] = {
    u"\\SOFTWARE\\GNU\\ffdshow",
    u"\\SOFTWARE\\GNU\\ffdshow_audio",
    u"\\SOFTWARE\\GNU\\ffdshow_vfw",
};

} // namespace

void FFDShowUnRegister()
{
    std::unique_ptr<TRegistry> reg;
    try {
        CoUninitialize();
        if (removalDone)
            return;
        if (!OwnFfdshowRegistered) {
            removalDone = true;
            reg = std::make_unique<TRegistry>();
            RecoverPcFfdshowSet(reg.get());
            return;
        }
        if (!IsDriveReady(ProgramDrive))
            return;
        removalDone = true;
        LogDebug(u"-----------------FFDShowUnRegister START----------");
        if (UnregisterFfdshowAx(DecoderFolder()) > 32)
            UnregistrationStarted = true;
        {
            TRegistryBatch batch;
            reg = std::make_unique<TRegistry>();
            reg->RootKey = HKEY_LOCAL_MACHINE;
            for (const char16_t* key : kKeys)
                reg->DeleteKey(key);
            reg->RootKey = HKEY_CURRENT_USER;
            for (const char16_t* key : kKeys)
                reg->DeleteKey(key);
            reg.reset();
        }
        LogDebug(u"-----------------FFDShowUnRegister END----------");
    } catch (rtl::Exception& e) {
        LogException(u"FFDShowUnRegister", e);
    } catch (...) {
        LogError(u"FFDShowUnRegister エラー（未知異常）");
    }
}

namespace codec::detail {

void ResetInstallState()
{
    OwnFfdshowRegistered = false;
    removalDone = false;
    UnregistrationStarted = false;
}

} // namespace codec::detail
