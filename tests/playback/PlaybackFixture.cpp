#include "PlaybackFixture.h"

#include <filesystem>
#include <fstream>

#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "mainwindow/MAIN.h"
#include "platform/media/Faults.h"
#include "platform/media/FilterRegistration.h"
#include "platform/media/Unknown.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Com.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Messages.h"
#include "platform/win/Registry.h"
#include "platform/win/ShellExecute.h"
#include "playback/PlayLog.h"
#include "tools/asfwriter/SampleRecording.h"

namespace fs = std::filesystem;
using namespace win;

namespace playback_test {

namespace {

constexpr const char16_t* kCounterKey = u"\\Software\\Velmorastine";

} // namespace

void PlaybackTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "playback-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    card = pattern + "/card";
    fs::create_directories(card + "/ffdshow");
    fs::create_directories(card + "/Icon");
    fs::create_directories(card + "/DATA");
    std::ofstream(card + "/ffdshow/ffdshow.ax") << "decoder";
    asfwriter::SampleOptions blank;
    blank.seconds = 1;
    blank.framesPerSecond = 1;
    blank.width = 64;
    blank.height = 48;
    blank.gsensor = false;
    asfwriter::WriteSampleRecording(card + "/ffdshow/DummyFile.ASF", blank);
    asfwriter::SampleOptions recording;
    recording.seconds = 3;
    recording.framesPerSecond = 5;
    recording.width = 64;
    recording.height = 48;
    asfwriter::WriteSampleRecording(card + "/DATA/20240517_093000.ASF", recording);
    std::ofstream(card + "/DATA/NOTES.ASF") << "not a recording";

    DriveTable::Instance().SetDrive(u'E', card, true);
    ProgramFolder = u"E:\\";
    ProgramDrive = 'E';

    store = std::make_shared<MemoryRegistryStore>();
    starter.Clear();
    starter.SetResult(SE_RESULT_STARTED);
    // The registration tool, played at once: the decoder's filters appear.
    starter.SetHook([](const ProcessStartRequest& r) {
        if (r.file != u"regsvr32") return;
        bool unregister = false;
        std::u16string module;
        for (const std::u16string& arg : r.arguments) {
            if (arg == u"/u") unregister = true;
            else if (!arg.empty() && arg[0] != u'/') module = arg;
        }
        if (unregister) media::UnregisterModuleFilters(module);
        else media::RegisterModuleFilters(module);
    });
    clockScope_ = std::make_unique<ScopedClock>(clock);
    storeScope_ = std::make_unique<ScopedRegistryStore>(store);
    starterScope_ = std::make_unique<ScopedProcessStarter>(starter);
    boxes = std::make_unique<TRecordingMessageBoxResponder>();
    application = std::make_unique<vcl::TApplication>();
    log = std::make_unique<TMyLogModule>(nullptr);
    MyLogModule = log.get();
    logStart_ = log->LineCount();
    codec::detail::ResetInstallState();
    media::Faults::Clear();
    playback::ClearDebugOutput();
    PlayState = 0;
    MediaDuration = 0;
    mainForm = new TMainForm(nullptr);
    MainForm = mainForm;
    liveBefore = media::LiveObjectCount();
}

void PlaybackTest::TearDown() {
    media::Faults::Clear();
    Destroy();
    EXPECT_EQ(media::LiveObjectCount(), liveBefore) << "media objects outlived the pane";
    TakePlayStatePosts();
    MainForm = nullptr;
    delete mainForm;
    mainForm = nullptr;
    codec::detail::ResetInstallState();
    MyLogModule = nullptr;
    log.reset();
    application.reset();
    boxes.reset();
    starter.SetHook(nullptr);
    starterScope_.reset();
    storeScope_.reset();
    clockScope_.reset();
    while (CoInitializeCount() > 0) CoUninitialize();
    DriveTable::Instance().Forget(u'E');
    std::error_code ec;
    fs::remove_all(fs::path(card).parent_path(), ec);
}

TPlayControl* PlaybackTest::Build() {
    pane = vcl::NewForm<TPlayControl>(nullptr);
    return pane;
}

void PlaybackTest::Destroy() {
    delete pane;
    pane = nullptr;
}

std::vector<std::string> PlaybackTest::TaggedLog() const {
    static const char* const kTags[][2] = {{" [Debug]  ", "[Debug] "},
                                           {" [Info]   ", "[Info] "},
                                           {" [W A R N I N G]   ", "[Warning] "},
                                           {" [E  R  R  O  R]   ", "[Error] "}};
    std::vector<std::string> out;
    for (int i = logStart_; i < log->LineCount(); ++i) {
        std::string line = rtl::Utf16ToUtf8(log->Line(i).view());
        std::string rest = line.size() > 19 ? line.substr(19) : "";
        for (const auto& tag : kTags)
            if (rest.rfind(tag[0], 0) == 0) {
                rest = tag[1] + rest.substr(std::string(tag[0]).size());
                break;
            }
        out.push_back(rest);
    }
    return out;
}

std::vector<std::string> PlaybackTest::LogTexts() const {
    std::vector<std::string> out;
    for (const std::string& line : TaggedLog()) out.push_back(line.substr(line.find("] ") + 2));
    return out;
}

int PlaybackTest::CountLogged(const std::string& text) const {
    int n = 0;
    for (const std::string& t : LogTexts())
        if (t == text) ++n;
    return n;
}

std::vector<std::string> PlaybackTest::BoxTexts() const {
    std::vector<std::string> out;
    for (const MessageBoxCall& call : boxes->Calls()) out.push_back(rtl::Utf16ToUtf8(call.text));
    return out;
}

std::vector<WPARAM> PlaybackTest::TakePlayStatePosts() {
    std::vector<WPARAM> out;
    if (mainForm == nullptr) return out;
    MSG msg{};
    while (PeekMessage(&msg, mainForm->Handle(), WM_PLAY_STATE, WM_PLAY_STATE, PM_REMOVE)) out.push_back(msg.wParam);
    return out;
}

int PlaybackTest::RestartStarts() {
    int n = 0;
    for (const ProcessStartRequest& r : starter.Requests())
        if (r.file == u"Velmorastine II.exe") ++n;
    return n;
}

void PlaybackTest::SetRestartCount(int count) {
    TRegistry reg;
    reg.RootKey = HKEY_CURRENT_USER;
    ASSERT_TRUE(reg.OpenKey(kCounterKey, true));
    reg.WriteInteger(u"restart_cnt", count);
}

int PlaybackTest::RestartCount() {
    TRegistry reg;
    reg.RootKey = HKEY_CURRENT_USER;
    if (!reg.OpenKey(kCounterKey, false) || !reg.ValueExists(u"restart_cnt")) return 0;
    return reg.ReadInteger(u"restart_cnt");
}

UnicodeString PlaybackTest::CardPath(const char* relative) {
    UnicodeString path(u"E:\\");
    for (const char* c = relative; *c; ++c) path += static_cast<char16_t>(*c == '/' ? '\\' : *c);
    return path;
}

} // namespace playback_test
