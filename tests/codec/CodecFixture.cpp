#include "CodecFixture.h"

#include <fstream>

#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "platform/media/FilterRegistration.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryText.h"
#include "tests/support/LogLines.h"

namespace fs = std::filesystem;
using namespace win;

namespace codec_test {

FakeRegistrationTool::FakeRegistrationTool(VirtualClock& clock, MemoryRegistryStore& store)
    : clock_(clock), store_(store)
{
}

FakeRegistrationTool::~FakeRegistrationTool() = default;

void FakeRegistrationTool::Started(const ProcessStartRequest& request)
{
    if (request.file != u"regsvr32" || fails)
        return;
    Pending p{clock_.MonotonicMs() + delayMs, false, {}};
    for (const std::u16string& arg : request.arguments) {
        if (arg == u"/u")
            p.unregister = true;
        else if (!arg.empty() && arg[0] != u'/')
            p.module = arg;
    }
    pending_.push_back(p);
}

void FakeRegistrationTool::Tick()
{
    if (applying_)
        return;
    applying_ = true;
    std::uint64_t now = clock_.MonotonicMs();
    std::vector<Pending> due, later;
    for (const Pending& p : pending_)
        (p.dueMs <= now ? due : later).push_back(p);
    pending_ = later;
    for (const Pending& p : due) {
        try {
            if (p.unregister)
                media::UnregisterModuleFilters(p.module);
            else
                media::RegisterModuleFilters(p.module);
        } catch (...) {
        }
    }
    applying_ = false;
}

void CodecTest::SetUp()
{
    fs::create_directories(card + "/APP/ffdshow");
    fs::create_directories(card + "/APP/Icon");
    fs::create_directories(computer + "/Program Files/ffdshow");
    std::ofstream(card + "/APP/ffdshow/ffdshow.ax") << "decoder";
    std::ofstream(computer + "/Program Files/ffdshow/ffdshow.ax") << "decoder";
    DriveTable::Instance().SetDrive(u'E', card, true);
    DriveTable::Instance().SetDrive(u'C', computer);
    ProgramFolder = u"E:\\APP";
    ProgramDrive = 'E';

    decoder_ = std::make_unique<test_support::DecoderCard>();
    store = &decoder_->Store();
    clockScope_ = std::make_unique<ScopedClock>(clock);
    // The registration tool is our delayed one, not the card's immediate one.
    tool = std::make_unique<FakeRegistrationTool>(clock, *store);
    Starter().SetHook([this](const ProcessStartRequest& r) { tool->Started(r); });
    store->SetAccessHook([this] { tool->Tick(); });
    boxes = std::make_unique<TRecordingMessageBoxResponder>();
    application = std::make_unique<vcl::TApplication>();
    log = std::make_unique<TMyLogModule>(nullptr);
    MyLogModule = log.get();
    logStart_ = log->LineCount();
}

void CodecTest::TearDown()
{
    codec::detail::ResetInstallState();
    MyLogModule = nullptr;
    log.reset();
    application.reset();
    boxes.reset();
    if (store != nullptr)
        store->SetAccessHook(nullptr);
    store = nullptr;
    decoder_.reset(); // ends COM for the thread
    tool.reset();
    clockScope_.reset();
    DriveTable::Instance().Forget(u'E');
    DriveTable::Instance().Forget(u'C');
}

std::vector<std::string> CodecTest::TaggedLog() const { return test_support::TaggedLogLines(*log, logStart_); }

std::vector<std::string> CodecTest::LogTexts() const { return test_support::LogLineTexts(*log, logStart_); }

bool CodecTest::Logged(const std::string& text) const { return CountLogged(text) > 0; }

int CodecTest::CountLogged(const std::string& text) const
{
    int n = 0;
    for (const std::string& t : LogTexts())
        if (t == text)
            ++n;
    return n;
}

std::string CodecTest::Export(RegistryHive hive) { return FormatRegistryHive(store->Contents(hive)); }

void CodecTest::RegisterDecoder(const std::u16string& modulePath) { media::RegisterModuleFilters(modulePath); }

bool CodecTest::DecoderRegistered() { return decoder_->DecoderRegistered(); }

void CodecTest::WriteString(RegistryHive hive, const char16_t* key, const char16_t* name, const char16_t* value)
{
    TRegistry reg;
    reg.RootKey = hive == RegistryHive::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteString(name, value);
}

void CodecTest::WriteInteger(RegistryHive hive, const char16_t* key, const char16_t* name, int value)
{
    TRegistry reg;
    reg.RootKey = hive == RegistryHive::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteInteger(name, value);
}

std::u16string CodecTest::ReadText(RegistryHive hive, const char16_t* key, const char16_t* name)
{
    TRegistry reg;
    reg.RootKey = hive == RegistryHive::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (!reg.OpenKey(key, false))
        return u"<no key>";
    if (!reg.ValueExists(name))
        return u"<no value>";
    return reg.GetDataAsString(name, false).str();
}

} // namespace codec_test
