// The check and installation of the decoder at start-up.
#include <memory>
#include <vector>

#include "codec/CodecSupport.h"
#include "codec/FfdshowInstall.h"
#include "codec/FfdshowSettings.h"
#include "platform/win/Clock.h"
#include "platform/win/Com.h"
#include "platform/win/Files.h"
#include "platform/win/RegistryStore.h"

using namespace win;
using namespace codec::detail;
using rtl::UnicodeString;

bool OwnFfdshowRegistered = false;

namespace {

constexpr const char16_t* kAudioKey = u"\\SOFTWARE\\GNU\\ffdshow_audio";
constexpr int kInstallPolls = 70;

bool BothKeysExist(TRegistry& reg) { return reg.KeyExists(kDecoderKey) && reg.KeyExists(kAudioKey); }

void WriteSetting(TRegistry& reg, const codec::Setting& s, const UnicodeString& folder)
{
    switch (s.type) {
    case codec::SettingType::Dword:
        reg.WriteInteger(s.name, s.number);
        break;
    case codec::SettingType::String:
        reg.WriteString(s.name, s.decoderFolder ? folder : UnicodeString(s.text));
        break;
    case codec::SettingType::Binary: {
        std::vector<unsigned char> zeros(static_cast<std::size_t>(s.number), 0);
        reg.WriteBinaryData(s.name, zeros.data(), s.number);
        break;
    }
    }
}

// A key that cannot be opened or created is passed over silently.
void WriteSettingsTable(TRegistry& reg, const UnicodeString& folder)
{
    bool first = true;
    codec::SettingsHive hive = codec::SettingsHive::Machine;
    for (const codec::SettingsKey& key : codec::InstallationKeys()) {
        if (first || key.hive != hive) {
            reg.RootKey = key.hive == codec::SettingsHive::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
            hive = key.hive;
            first = false;
        }
        reg.CloseKey();
        if (!reg.OpenKey(key.path, true))
            continue;
        for (const codec::Setting& s : key.values)
            WriteSetting(reg, s, folder);
    }
    reg.CloseKey();
}

} // namespace

bool FFDShowRegister(bool skipCheck)
{
    LogDebug(u"-----------------FFDShowRegister START----------");
    std::unique_ptr<TRegistry> reg;
    try {
        if (FAILED(CoInitialize(nullptr))) {
            LogError(u"FFDShowRegister Error。(CoInitialize failed)");
            return false;
        }
        reg = std::make_unique<TRegistry>();

        if (!skipCheck) {
            LogDebug(u"ffdshow Checking... ...");
            int machineRevision = 0;
            bool machineInstallNeeded = true;
            reg->RootKey = HKEY_LOCAL_MACHINE;
            if (BothKeysExist(*reg)) {
                machineRevision = GetFfdshowRevision(reg.get());
                if (machineRevision == kOwnRevision) {
                    LogError(u"Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow --> Velmorastine "
                             u"Version(2528)ffdshow Existed");
                    machineInstallNeeded = true;
                } else {
                    LogDebug(u"Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow --> Existed");
                    machineInstallNeeded = false;
                }
            } else {
                LogDebug(u"Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow --> Not Existed ");
            }

            bool userInstallNeeded = true;
            reg->RootKey = HKEY_CURRENT_USER;
            if (BothKeysExist(*reg)) {
                LogDebug(u"Registry HKEY_CURRENT_USER\\SOFTWARE\\GNU\\ffdshow --> Existed");
                userInstallNeeded = false;
            } else {
                LogDebug(u"Registry HKEY_CURRENT_USER\\SOFTWARE\\GNU\\ffdshow --> Not Existed");
            }

            if (VideoDecoderRegistered()) {
                LogDebug(u"ffdshow Video Decoder --> Existed");
                if (!machineInstallNeeded && !userInstallNeeded) {
                    TRegistryBatch batch;
                    UpdateFfdshowRegistry(reg.get());
                    CustomFfdshow(reg.get());
                    OwnFfdshowRegistered = false;
                    LogDebug(UnicodeString(u"ffdshow Existed (Ver:") + UnicodeString(machineRevision) +
                             u"), FFDShowRegister do nothing");
                    ChangePcFfdshowSet(reg.get());
                    LogDebug(u"ffdshow Check End.");
                    reg->CloseKey();
                    return true;
                }
            } else {
                LogDebug(u"ffdshow Video Decoder --> Not Existed");
            }
            LogDebug(u"ffdshow Check End.");
        }

        LogDebug(u"ffdshow installing start... ...");
        UnicodeString folder = DecoderFolder();
        if (!DirectoryExists(folder)) {
            LogWarningBox(UnicodeString(u"Folder(") + folder + u") is not existing.");
            return false;
        }
        if (!FileExists(folder + u"\\ffdshow.ax")) {
            LogWarningBox(UnicodeString(u"File(") + folder + u"\\ffdshow.ax) is not existing.");
            return false;
        }
        if (RegisterFfdshowAx(folder) > 32)
            LogDebug(u"1) ShellExecute('regsvr32 ffdshow.ax') --> Executed");
        else
            LogError(u"2) ShellExecute('regsvr32 ffdshow.ax') --> Failured");

        {
            // The table lands in one write a hive.
            TRegistryBatch batch;
            WriteSettingsTable(*reg, folder);
            CustomFfdshow(reg.get());
            reg.reset();
        }
        LogDebug(u"2) Windows Registry --> Executed");
        OwnFfdshowRegistered = true;

        for (int check = 0; check < kInstallPolls; ++check) {
            WaitForVideoDecoder(true, 100);
            if (VideoDecoderRegistered()) {
                LogDebug(u"3) ffdshow Video Decoder Filter Install --> Executed");
                LogDebug(u"-----------------FFDShowRegister END----------");
                return true;
            }
        }
        LogError(u"ffdshow Video Decoder Install Failured（AddFilterFromFriendlyName）");
        LogDebug(u"-----------------FFDShowRegister END----------");
        return false;
    } catch (rtl::Exception& e) {
        LogException(u"FFDShowRegister", e);
        return false;
    } catch (...) {
        LogError(u"FFDShowRegister ERROR!");
        return false;
    }
}
