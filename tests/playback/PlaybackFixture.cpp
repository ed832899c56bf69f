#include "PlaybackFixture.h"

#include <filesystem>
#include <fstream>

#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "mainwindow/MAIN.h"
#include "platform/media/Faults.h"
#include "platform/media/Unknown.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Messages.h"
#include "platform/win/Registry.h"
#include "playback/PlayLog.h"
#include "tests/support/LogLines.h"
#include "tools/asfwriter/SampleRecording.h"

namespace fs = std::filesystem;
using namespace win;

namespace playback_test {

namespace {

constexpr const char16_t* kCounterKey = u"\\Software\\Velmorastine";

} // namespace

void PlaybackTest::SetUp()
{
    folder_ = std::make_unique<test_support::TempFolder>("playback-test");
    card = folder_->Path() + "/card";
    fs::create_directories(card + "/Icon");
    fs::create_directories(card + "/DATA");
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

    // The decoder folder, the in-memory registry and the registration tool
    // played at once: the decoder's filters appear.
    decoder_ = std::make_unique<test_support::DecoderCard>(card);
    store = &decoder_->Store();
    clockScope_ = std::make_unique<ScopedClock>(clock);
    boxes = std::make_unique<TRecordingMessageBoxResponder>();
    application = std::make_unique<vcl::TApplication>();
    log = std::make_unique<TMyLogModule>(nullptr);
    MyLogModule = log.get();
    logStart_ = log->LineCount();
    media::Faults::Clear();
    win::ClearDebugOutput();
    PlayState = 0;
    MediaDuration = 0;
    mainForm = new TMainForm(nullptr);
    MainForm = mainForm;
    liveBefore = media::LiveObjectCount();
}

void PlaybackTest::TearDown()
{
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
    store = nullptr;
    decoder_.reset(); // ends COM for the thread
    clockScope_.reset();
    DriveTable::Instance().Forget(u'E');
    folder_.reset();
}

TPlayControl* PlaybackTest::Build()
{
    pane = vcl::NewForm<TPlayControl>(nullptr);
    return pane;
}

void PlaybackTest::Destroy()
{
    delete pane;
    pane = nullptr;
}

std::vector<std::string> PlaybackTest::TaggedLog() const { return test_support::TaggedLogLines(*log, logStart_); }

std::vector<std::string> PlaybackTest::LogTexts() const { return test_support::LogLineTexts(*log, logStart_); }

int PlaybackTest::CountLogged(const std::string& text) const
{
    int n = 0;
    for (const std::string& t : LogTexts())
        if (t == text)
            ++n;
    return n;
}

std::vector<std::string> PlaybackTest::BoxTexts() const
{
    std::vector<std::string> out;
    for (const MessageBoxCall& call : boxes->Calls())
        out.push_back(rtl::Utf16ToUtf8(call.text));
    return out;
}

std::vector<WPARAM> PlaybackTest::TakePlayStatePosts()
{
    std::vector<WPARAM> out;
    if (mainForm == nullptr)
        return out;
    MSG msg{};
    while (PeekMessage(&msg, mainForm->Handle(), WM_PLAY_STATE, WM_PLAY_STATE, PM_REMOVE))
        out.push_back(msg.wParam);
    return out;
}

int PlaybackTest::RestartStarts()
{
    int n = 0;
    for (const ProcessStartRequest& r : decoder_->Starts())
        if (r.file == u"Velmorastine II.exe")
            ++n;
    return n;
}

void PlaybackTest::SetRestartCount(int count)
{
    TRegistry reg;
    reg.RootKey = HKEY_CURRENT_USER;
    ASSERT_TRUE(reg.OpenKey(kCounterKey, true));
    reg.WriteInteger(u"restart_cnt", count);
}

int PlaybackTest::RestartCount()
{
    TRegistry reg;
    reg.RootKey = HKEY_CURRENT_USER;
    if (!reg.OpenKey(kCounterKey, false) || !reg.ValueExists(u"restart_cnt"))
        return 0;
    return reg.ReadInteger(u"restart_cnt");
}

UnicodeString PlaybackTest::CardPath(const char* relative)
{
    UnicodeString path(u"E:\\");
    for (const char* c = relative; *c; ++c)
        path += static_cast<char16_t>(*c == '/' ? '\\' : *c);
    return path;
}

} // namespace playback_test
