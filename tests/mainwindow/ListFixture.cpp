#include "ListFixture.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/ProgBar.h"
#include "codec/FfdshowInstall.h"
#include "mainwindow/MAIN.h"
#include "platform/media/Faults.h"
#include "platform/win/DriveTable.h"
#include "tests/support/LogLines.h"
#include "tools/asfwriter/SampleRecording.h"
#include "tracks/DataLoad.h"

namespace fs = std::filesystem;

namespace list_test {

void ListTest::SetUp()
{
    folder_ = std::make_unique<test_support::TempFolder>("list-test");
    card = folder_->Path() + "/card";
    fs::create_directories(card + "/Icon");
    fs::create_directories(card + "/DATA");
    win::DriveTable::Instance().SetDrive(u'E', card, true);
    ProgramFolder = u"E:\\";
    ProgramDrive = 'E';
    decoder_ = std::make_unique<test_support::DecoderCard>(card);
    win::SetScreen(win::SIZE{1920, 1080}, win::RECT{0, 0, 1920, 1040});
    application = std::make_unique<vcl::TApplication>();
    driver = std::make_unique<vcl::TestDriver>(*application);
    driver->OnFailure = [](const std::string& text) { ADD_FAILURE() << "driver: " << text; };
    log = std::make_unique<TMyLogModule>(nullptr);
    MyLogModule = log.get();
    logStart_ = log->LineCount();
    media::Faults::Clear();
    PlayState = 0;
    MediaDuration = 0;
    ViewingAllowed = 0;
}

void ListTest::TearDown()
{
    media::Faults::Clear();
    if (application)
        application->DestroyComponents();
    ViewingAllowed = 0;
    codec::detail::ResetInstallState();
    MyLogModule = nullptr;
    log.reset();
    driver.reset();
    application.reset();
    decoder_.reset();
    win::DriveTable::Instance().Forget(u'E');
    win::ResetScreen();
    folder_.reset();
}

void ListTest::WriteRecording(const std::string& relative, int hour, int minute, int seconds)
{
    fs::create_directories(fs::path(Host(relative)).parent_path());
    asfwriter::SampleOptions o;
    o.seconds = seconds;
    o.framesPerSecond = 5;
    o.width = 64;
    o.height = 48;
    o.distinctFrames = 2;
    o.hour = hour;
    o.minute = minute;
    asfwriter::WriteSampleRecording(Host(relative), o);
}

void ListTest::WriteHeaderOnly(const std::string& relative, std::uint64_t creation, std::uint64_t duration)
{
    fs::create_directories(fs::path(Host(relative)).parent_path());
    asfwriter::FileOptions o;
    o.creationTime = creation;
    o.playDuration = duration;
    o.video.reset();
    o.audio.reset();
    o.track.reset();
    asfwriter::AsfWriter writer(o, Host(relative));
    writer.Finish();
}

void ListTest::BuildWindows(bool viewingAllowed)
{
    ViewingAllowed = viewingAllowed ? 1 : 0;
    Application->CreateForm(MainForm);
    MainForm->SetBounds(0, 0, 1024, 700);
    MainForm->PanelList->SetBounds(0, 0, 240, 300);
    MainForm->Show();

    editPath = MainForm->EditPath;
    folderButton = MainForm->ImageFolderSel;
    seekThumb = MainForm->ImageTrack;
    playButton = MainForm->ImagePlay;
    timeLabel = MainForm->LabelPlayTime;

    Application->CreateForm(SDDlg);
    Application->CreateForm(ProgForm);
    Application->CreateForm(PlayControl);
    Application->CreateForm(ListControl);
}

void ListTest::StartUp() { driver->Advance(100); }

void ListTest::WaitForTracks()
{
    for (int i = 0; i < 5000 && PlayControl->GInfoLoader->Busy(); ++i) {
        driver->Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(PlayControl->GInfoLoader->Busy()) << "the track load did not answer";
    driver->Pump();
}

std::vector<std::string> ListTest::Rows() const
{
    std::vector<std::string> out;
    TListView* view = ListControl->ListView1;
    for (int i = 0; i < view->Items()->Count(); ++i) {
        const TListItem* item = view->Items()->Item(i);
        const TFindData* record = ListControl->RecordOfRow(i);
        std::string row = rtl::ToUtf8(item->SubItems()->Strings(2)) + "|" + rtl::ToUtf8(item->SubItems()->Strings(3));
        row += item->SubItemImages(0) == kPicturePlayed ? "|played" : "|-";
        row += item->SubItemImages(1) == kPictureEvent ? "|event" : "|-";
        if (record)
            row += "|" + rtl::ToUtf8(RecordingFileName(record->FullPath));
        out.push_back(row);
    }
    return out;
}

std::vector<std::string> ListTest::LogTexts() const { return test_support::LogLineTexts(*log, logStart_); }

int ListTest::Logged(const std::string& text) const
{
    int n = 0;
    for (const std::string& t : LogTexts())
        n += t == text ? 1 : 0;
    return n;
}

std::vector<win::WPARAM> ListTest::TakePlayStatePosts()
{
    std::vector<win::WPARAM> out;
    win::MSG msg{};
    while (win::PeekMessage(&msg, MainForm->Handle(), WM_PLAY_STATE, WM_PLAY_STATE, win::PM_REMOVE))
        out.push_back(msg.wParam);
    return out;
}

} // namespace list_test
