#include "codec/CodecSupport.h"
#include "codec/FfdshowInstall.h"
#include "codec/FfdshowSettings.h"

using namespace win;
using rtl::UnicodeString;

void CustomFfdshow(TRegistry* registry)
{
    try {
        registry->RootKey = HKEY_CURRENT_USER;
        if (registry->OpenKey(codec::kAudioDefaultsKey, true)) {
            for (const codec::Setting& s : codec::AudioDefaults())
                registry->WriteInteger(s.name, s.number);
        }
        registry->CloseKey();
    } catch (rtl::Exception& e) {
        codec::detail::LogException(u"CustomFfdshow", e);
    }
}
