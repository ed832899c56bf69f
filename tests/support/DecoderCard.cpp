#include "tests/support/DecoderCard.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "codec/FfdshowInstall.h"
#include "platform/media/DevEnum.h"
#include "platform/media/FfdshowClasses.h"
#include "platform/media/FilterRegistration.h"
#include "platform/media/Unknown.h"
#include "platform/win/Com.h"
#include "platform/win/ShellExecute.h"
#include "tools/asfwriter/SampleRecording.h"

namespace test_support {

namespace {

// The registration tool as our regsvr32 does it ("/s" or "/s /u" and the
// module), finished at once. It runs in a process of its own: whatever goes
// wrong there never raises in the program, which sees only the registry.
void PlayRegistrationTool(const win::ProcessStartRequest& request)
{
    if (request.file != u"regsvr32")
        return;
    bool unregister = false;
    std::u16string module;
    for (const std::u16string& arg : request.arguments) {
        if (arg == u"/u" || arg == u"/U")
            unregister = true;
        else if (!arg.empty() && arg[0] != u'/')
            module = arg;
    }
    if (module.empty())
        return;
    try {
        if (unregister)
            media::UnregisterModuleFilters(module);
        else
            media::RegisterModuleFilters(module);
    } catch (...) {
    }
}

} // namespace

void WriteDecoderFolder(const std::string& hostProgramFolder)
{
    const std::string folder = hostProgramFolder + "/ffdshow";
    std::filesystem::create_directories(folder);
    std::ofstream module(folder + "/ffdshow.ax", std::ios::binary);
    module << "decoder";
    if (!module)
        throw std::runtime_error("cannot write " + folder + "/ffdshow.ax");
    // The decoder test only connects the source's video pin: one small picture will do.
    asfwriter::SampleOptions blank;
    blank.seconds = 1;
    blank.framesPerSecond = 1;
    blank.width = 64;
    blank.height = 48;
    blank.gsensor = false;
    asfwriter::WriteSampleRecording(folder + "/DummyFile.ASF", blank);
}

DecoderCard::DecoderCard(const std::string& hostProgramFolder) : DecoderCard()
{
    WriteDecoderFolder(hostProgramFolder);
}

DecoderCard::DecoderCard()
{
    starter_.SetResult(win::SE_RESULT_STARTED);
    starter_.SetHook(PlayRegistrationTool);
    storeScope_ = std::make_unique<win::ScopedRegistryStore>(store_);
    starterScope_ = std::make_unique<win::ScopedProcessStarter>(starter_);
    codec::detail::ResetInstallState();
}

DecoderCard::~DecoderCard()
{
    codec::detail::ResetInstallState();
    while (win::CoInitializeCount() > 0)
        win::CoUninitialize();
    starterScope_.reset();
    storeScope_.reset();
    starter_.SetHook(nullptr);
}

bool DecoderCard::DecoderRegistered()
{
    const win::RegistryKey root = store_->Contents(win::RegistryHive::Machine);
    const win::RegistryPath path{u"SOFTWARE", u"Classes",
                                 u"CLSID",    media::GuidToString(media::CLSID_LegacyAmFilterCategory),
                                 u"Instance", media::GuidToString(media::CLSID_FfdshowVideoDecoder)};
    return root.Find(path) != nullptr;
}

} // namespace test_support
