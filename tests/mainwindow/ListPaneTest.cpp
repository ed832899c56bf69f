// The recording list pane with the playback control: the start-up cue, the
// rows and views, next and previous, folders, and opening recordings that
// cannot be played.
#include "ListFixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Globals.h"

#include "app/ProgBar.h"
#include "mainwindow/MAIN.h"
#include "platform/media/Faults.h"
#include "platform/media/VideoRendererState.h"
#include "platform/win/MessageWindow.h"
#include "tests/support/ScopedValue.h"
#include "tools/asfwriter/AsfWriter.h"
#include "tracks/DataLoad.h"
#include "tracks/GPSData.h"
#include "tracks/GraphView.h"
#include "tests/support/MainFormState.h"

namespace fs = std::filesystem;

namespace list_test {
namespace {

class ListPaneTest : public ListTest {
protected:
    // Three playable recordings, the second an event recording; written
    // newest first so that the scan's order is not the sort's.
    void ThreeRecordings()
    {
        WriteRecording("DATA/REC_0003.ASF", 9, 40);
        WriteRecording("DATA/SUB/REC_SAVE_0002.ASF", 9, 35);
        WriteRecording("DATA/REC_0001.ASF", 9, 30, 3);
    }
    void ClickRow(int row)
    {
        TListView* view = ListControl->ListView1;
        const int y = TListView::HeaderHeight + (row - view->TopIndex()) * TListView::RowHeight + 8;
        driver->MouseDown(*view, 100, y);
        driver->MouseUp(*view, 100, y);
    }
    void ClickHeader(int column)
    {
        int x = 0;
        for (int c = 0; c < column; ++c)
            x += ListControl->ListView1->Column(c)->Width();
        driver->MouseDown(*ListControl->ListView1, x + 2, 5);
        driver->MouseUp(*ListControl->ListView1, x + 2, 5);
    }
    std::string Current() const
    {
        const TFindData* r = ListControl->CurrentRecord();
        return r ? rtl::ToUtf8(RecordingFileName(r->FullPath)) : std::string("(none)");
    }
    std::string Loaded() const { return PlayControl->Rendered ? rtl::ToUtf8(ListControl->FCurrentPath) : "(blank)"; }
};

TEST_F(ListPaneTest, AtStartUpTheOldestRecordingIsCuedWithItsTracksRequested)
{
    ThreeRecordings();
    BuildWindows(false);
    EXPECT_EQ(ListControl->FFolder, u"E:\\DATA");
    driver->Advance(500);
    EXPECT_EQ(ListControl->ListView1->Items()->Count(), 0) << "nothing before viewing is allowed";
    EXPECT_TRUE(ListControl->TimerInit->Enabled());

    ViewingAllowed = 1;
    StateOf(*MainForm).FLastGpsTimeMs = 5;
    StartUp();
    EXPECT_FALSE(ListControl->TimerInit->Enabled()) << "the timer loads once";
    EXPECT_EQ(editPath->Text(), u"E:\\DATA");
    EXPECT_EQ(editPath->Hint(), u"E:\\DATA");
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{
                  "2024/05/17 09:30:00|00:00:03|-|-|REC_0001.ASF",
                  "2024/05/17 09:35:00|00:00:02|-|event|REC_SAVE_0002.ASF",
                  "2024/05/17 09:40:00|00:00:02|-|-|REC_0003.ASF",
              }));
    EXPECT_EQ(ListControl->FCurrentRow, 0);
    EXPECT_EQ(ListControl->ListView1->ItemIndex(), 0);
    EXPECT_EQ(ListControl->CurrentRecord()->PlayedImage, kPicturePlayed)
        << "flagged, but the current row shows no tick";
    EXPECT_EQ(Loaded(), "E:\\DATA\\REC_0001.ASF");
    EXPECT_EQ(PlayState, 0) << "cued, not playing";
    EXPECT_EQ(MediaDuration, 30000000);
    EXPECT_DOUBLE_EQ(StateOf(*MainForm).FSeekScale,
                     (StateOf(*MainForm).FTrackMax - StateOf(*MainForm).FTrackMin) / 30000000.0);
    EXPECT_EQ(seekThumb->Left(), StateOf(*MainForm).FTrackMin);
    EXPECT_EQ(timeLabel->Caption(), u"00:00:00/00:00:03");
    EXPECT_TRUE(seekThumb->Enabled());
    EXPECT_EQ(PlayControl->GInfo->FilePath, u"E:\\DATA\\REC_0001.ASF") << "tracks asked for the recording in the graph";
    EXPECT_EQ(ProgForm->NestingLevel(), 0) << "the progress window is gone";

    WaitForTracks();
    EXPECT_EQ(PlayControl->GInfo->Loaded, 1);
    EXPECT_GT(PlayControl->GInfo->GpsList->Count(), 0);
    EXPECT_EQ(StateOf(*MainForm).FLastGpsTimeMs, -1);
    EXPECT_TRUE(MainForm->TimerGps->Enabled());

    // Another row: the first gets its tick.
    ClickRow(1);
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF");
    EXPECT_EQ(Rows()[0], "2024/05/17 09:30:00|00:00:03|played|-|REC_0001.ASF");
    EXPECT_EQ(Rows()[1], "2024/05/17 09:35:00|00:00:02|-|event|REC_SAVE_0002.ASF");
    EXPECT_EQ(timeLabel->Caption(), u"00:00:00/00:00:02");
    WaitForTracks();

    ASSERT_TRUE(MainForm->PanelList->Visible());
    ListControl->AdjustListLayout();
    EXPECT_TRUE(ListControl->SaveSnapshot(std::string(VM_BINARY_DIR) + "/recording_list.png"));
}

TEST_F(ListPaneTest, ViewingAllowedFromTheStartTheScanRunsAtTheLoopsFirstTurn)
{
    ThreeRecordings();
    BuildWindows(true);
    const std::uint64_t before = driver->Clock().MonotonicMs();
    driver->Pump();
    EXPECT_EQ(driver->Clock().MonotonicMs(), before) << "no timer interval waited";
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Loaded(), "E:\\DATA\\REC_0001.ASF");
    EXPECT_FALSE(ListControl->TimerInit->Enabled());
    driver->Advance(500);
    EXPECT_EQ(Rows().size(), 3u) << "loaded once";
    WaitForTracks();
}

TEST_F(ListPaneTest, RecordingsNamedOutsideTheCodePageGetTheirGraph)
{
    WriteRecording("DATA/b\xF0\x9F\x98\x80.ASF", 9, 30); // "b😀.ASF"
    WriteRecording("DATA/\xC3\xB1"
                   "and\xC3\xBA.ASF",
                   9, 40); // "ñandú.ASF"
    BuildWindows();
    StartUp();
    ASSERT_EQ(ListControl->ListView1->Items()->Count(), 2);
    for (int row = 0; row < 2; ++row) {
        ClickRow(row);
        SCOPED_TRACE(Current());
        WaitForTracks();
        EXPECT_EQ(PlayControl->GInfo->FilePath, ListControl->CurrentRecord()->FullPath);
        EXPECT_EQ(PlayControl->GInfo->Loaded, 1);
        EXPECT_GT(PlayControl->GInfo->GpsList->Count(), 0);
        EXPECT_GT(PlayControl->GInfo->GSensorList->Count(), 0);
    }
}

TEST_F(ListPaneTest, AnEmptyFolderLeavesTheBlankPictureAndNoButtons)
{
    BuildWindows();
    MainForm->SetPlayButtonsEnabled(true);
    StartUp();
    EXPECT_EQ(ListControl->ListView1->Items()->Count(), 0);
    EXPECT_FALSE(playButton->Enabled());
    EXPECT_EQ(PlayControl->Rendered, 0);
    EXPECT_EQ(ListControl->FCurrentRow, -1);
}

TEST_F(ListPaneTest, NextAndPreviousWrapAroundTheList)
{
    ThreeRecordings();
    BuildWindows();
    StartUp();
    ListControl->PlayPrevFile();
    EXPECT_EQ(Current(), "REC_0003.ASF") << "before the first comes the last";
    EXPECT_EQ(Loaded(), "E:\\DATA\\REC_0003.ASF");
    ListControl->PlayNextFile();
    EXPECT_EQ(Current(), "REC_0001.ASF") << "after the last comes the first";
    ListControl->PlayNextFile();
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF");
    EXPECT_EQ(Rows()[0].substr(29, 6), "played");
    EXPECT_EQ(Rows()[2].substr(29, 6), "played");
    EXPECT_EQ(Rows()[1].substr(29, 1), "-") << "the current row shows no tick";

    ListControl->ListView1->ClearSelection();
    ListControl->PlayNextFile();
    EXPECT_EQ(ListControl->FCurrentRow, 1) << "with no row selected nothing moves";
    // A click below the rows takes the selection away; the list gives it
    // back without playing again.
    ListControl->ListView1->SetItemIndex(1);
    const std::string loaded = Loaded();
    driver->MouseDown(*ListControl->ListView1, 100, 280);
    driver->MouseUp(*ListControl->ListView1, 100, 280);
    EXPECT_EQ(ListControl->ListView1->ItemIndex(), 1);
    EXPECT_EQ(Loaded(), loaded);
    WaitForTracks();
}

TEST_F(ListPaneTest, KeysMoveThroughTheListAndPlayWhileCheckBoxesOnlyTick)
{
    ThreeRecordings();
    BuildWindows();
    StartUp();
    ASSERT_EQ(Current(), "REC_0001.ASF");
    // Down released on the main window itself gives the list the focus;
    // from then on the keys reach the list.
    driver->Activate(MainForm);
    MainForm->SetFocus();
    driver->PressKey(vcl::VK_DOWN);
    EXPECT_TRUE(ListControl->ListView1->Focused());
    EXPECT_EQ(Current(), "REC_0001.ASF");
    const struct {
        std::uint16_t key;
        const char* current;
    } keys[] = {{vcl::VK_DOWN, "REC_SAVE_0002.ASF"}, {vcl::VK_END, "REC_0003.ASF"},  {vcl::VK_DOWN, "REC_0003.ASF"},
                {vcl::VK_HOME, "REC_0001.ASF"},      {vcl::VK_NEXT, "REC_0003.ASF"}, {vcl::VK_UP, "REC_SAVE_0002.ASF"}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        driver->PressKey(k.key);
        EXPECT_EQ(Current(), k.current);
        EXPECT_EQ(Loaded(),
                  "E:\\DATA\\" + std::string(k.current == std::string("REC_SAVE_0002.ASF") ? "SUB\\" : "") + k.current);
    }
    EXPECT_EQ(Rows()[0].substr(29, 6), "played");
    EXPECT_EQ(Rows()[2].substr(29, 6), "played");
    EXPECT_EQ(Rows()[1].substr(29, 1), "-") << "the current row shows no tick";

    // Ticking rows for a copy leaves the playing recording alone.
    const std::string loaded = Loaded();
    for (int row : {0, 2}) {
        const int y = TListView::HeaderHeight + row * TListView::RowHeight + 8;
        driver->MouseDown(*ListControl->ListView1, 8, y);
        driver->MouseUp(*ListControl->ListView1, 8, y);
        EXPECT_TRUE(ListControl->ListView1->Items()->Item(row)->Checked());
    }
    driver->PressKey(vcl::VK_SPACE);
    EXPECT_TRUE(ListControl->ListView1->Items()->Item(1)->Checked()) << "Space ticks the current row";
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF");
    EXPECT_EQ(ListControl->FCurrentRow, 1);
    EXPECT_EQ(Loaded(), loaded);
    WaitForTracks();
}

TEST_F(ListPaneTest, TheEventColumnSwitchesToEventRecordingsAndBack)
{
    ThreeRecordings();
    BuildWindows();
    StartUp();
    ClickRow(2);
    ASSERT_EQ(Current(), "REC_0003.ASF");

    ClickHeader(kColumnEvent);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2024/05/17 09:35:00|00:00:02|-|event|REC_SAVE_0002.ASF"}));
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF") << "the current one is no event recording: the first row plays";
    EXPECT_EQ(ListControl->ListView1->Column(kColumnEvent)->ImageIndex(), kPictureEventOnly);
    ListControl->PlayNextFile();
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF") << "one row wraps onto itself";
    ListControl->PlayPrevFile();
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF");

    ClickHeader(kColumnEvent);
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Current(), "REC_SAVE_0002.ASF") << "the all view keeps the current recording";
    EXPECT_EQ(ListControl->ListView1->Column(kColumnEvent)->ImageIndex(), kPictureEvent);

    // Two clicks on the first header check and uncheck every row.
    ClickHeader(0);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ListControl->ListView1->Items()->Item(i)->Checked());
    ClickHeader(0);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(ListControl->ListView1->Items()->Item(i)->Checked());
    WaitForTracks();
}

TEST_F(ListPaneTest, AnEventOnlyViewWithoutEventsIsEmptyAndTellsTheMainWindow)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    BuildWindows();
    StartUp();
    TakePlayStatePosts();
    ClickHeader(kColumnEvent);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(ListControl->FCurrentRow, -1);
    EXPECT_EQ(PlayControl->Rendered, 0) << "the blank picture";
    const std::vector<win::WPARAM> posts = TakePlayStatePosts();
    ASSERT_FALSE(posts.empty());
    EXPECT_EQ(posts.back(), 1u);
    // Nothing current: the operations that go from the row to its record find none.
    ListControl->PlayNextFile();
    UnicodeString name = u"keep";
    ListControl->GetScreeshotFileName(name);
    EXPECT_EQ(name, u"keep");
    WaitForTracks();
}

TEST_F(ListPaneTest, OpeningAMissingOrDamagedFileLeavesListAndSelectionAlone)
{
    ThreeRecordings();
    WriteHeaderOnly("DATA/BROKEN.ASF", asfwriter::FileTimeOf(2024, 5, 17, 9, 50, 0), 20000000);
    BuildWindows();
    Application->CreateForm(GraphControl);
    StartUp();
    WaitForTracks();
    const std::vector<std::string> rows = Rows();
    ASSERT_EQ(rows.size(), 4u);

    struct Row {
        const char* what;
        int row;
        bool chainFails;
        const char* log;
    };
    const Row cases[] = {
        {"missing (message 21)", 2, false, "ASF file is not existing:E:\\DATA\\REC_0003.ASF"},
        {"no source for it (message 7)", 3, false, "TPlayControl::PlayFile ErrorCode: 00"},
        {"its picture cannot be connected (message 22)", 1, true, "TPlayControl::PlayFile ErrorCode: 01"},
    };
    fs::remove(Host("DATA/REC_0003.ASF"));
    for (const Row& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.chainFails)
            media::Faults::Fail(media::Fault::ConnectDirect, media::E_FAIL, u"Raw Video 0");
        PlayControl->StartAtEnd = 1;
        PlayControl->AdvancedPastEnd = 1;
        const std::string requested = rtl::ToUtf8(PlayControl->GInfo->FilePath);
        MainForm->TimerGps->SetEnabled(true);
        GraphControl->IdxSpeedVal->SetCaption(u"19");
        driver->AnswerForm(u"SDDlg", u"OKSDLabel");
        ClickRow(c.row);
        EXPECT_EQ(driver->PendingSteps(), 0) << "a numbered message was shown";
        EXPECT_EQ(Logged(c.log), 1) << ::testing::PrintToString(LogTexts());
        EXPECT_EQ(ListControl->FCurrentRow, c.row);
        EXPECT_EQ(ListControl->ListView1->ItemIndex(), c.row);
        EXPECT_TRUE(ListControl->ListView1->Enabled());
        EXPECT_EQ(Rows().size(), rows.size());
        EXPECT_EQ(PlayControl->Rendered, 0) << "the blank picture";
        EXPECT_EQ(PlayControl->StartAtEnd, 0) << "no step survives a failed open";
        EXPECT_EQ(PlayControl->AdvancedPastEnd, 0);
        EXPECT_EQ(rtl::ToUtf8(PlayControl->GInfo->FilePath), requested) << "no tracks asked for";
        EXPECT_FALSE(PlayControl->GInfoLoader->Busy());
        EXPECT_FALSE(MainForm->TimerGps->Enabled());
        EXPECT_EQ(GraphControl->IdxSpeedVal->Caption(), u"") << "the graph was cleared";
        EXPECT_EQ(playButton->Hint(), u"再生");
        media::Faults::Clear();
    }
    // A good row opens again afterwards.
    ClickRow(0);
    EXPECT_EQ(Loaded(), "E:\\DATA\\REC_0001.ASF");
    WaitForTracks();
}

TEST_F(ListPaneTest, TracksOfARecordingThatDidNotOpenAreDropped)
{
    ThreeRecordings();
    BuildWindows();
    StartUp();
    WaitForTracks();
    fs::remove(Host("DATA/REC_0003.ASF"));
    // The load for row 1 is asked for; before its answer is handled, row 2
    // fails to open.
    ClickRow(1);
    ASSERT_TRUE(PlayControl->GInfoLoader->Busy());
    driver->AnswerForm(u"SDDlg", u"OKSDLabel");
    ListControl->ListView1->SetItemIndex(2);
    WaitForTracks();
    EXPECT_FALSE(MainForm->TimerGps->Enabled()) << "no tracks for what is not playing";
}

TEST_F(ListPaneTest, ARecordingWithoutLengthGivesAUsableSeekBar)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    // Cut by a power loss: the header's play duration was never written.
    {
        std::fstream f(Host("DATA/REC_0001.ASF"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(94);
        const char zero[8] = {};
        f.write(zero, 8);
    }
    BuildWindows();
    StartUp();
    ASSERT_EQ(Loaded(), "E:\\DATA\\REC_0001.ASF");
    EXPECT_EQ(MediaDuration, 0);
    EXPECT_TRUE(std::isfinite(StateOf(*MainForm).FSeekScale)) << "a finite scale";
    EXPECT_GT(StateOf(*MainForm).FSeekScale, 1e-13) << "set for the recording";
    MainForm->SetSeekPosition(1.0);
    EXPECT_GE(MainForm->GetSeekPosition(), 0);
    PlayControl->UpdatePosition(20000000);
    EXPECT_EQ(timeLabel->Caption(), u"00:00:00/00:00:00");
    WaitForTracks();
}

TEST_F(ListPaneTest, TheTimeLabelFollowsTheThumbAndStopsAtTheWholeSeconds)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30, 3);
    BuildWindows();
    StartUp();
    struct Row {
        std::int64_t position;
        const char16_t* text;
    };
    const Row rows[] = {
        {12000000, u"00:00:01/00:00:03"},
        {29990000, u"00:00:02/00:00:03"},
        {45000000, u"00:00:03/00:00:03"}, // past the end: no more than the whole seconds
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.position);
        MainForm->SetSeekPosition(static_cast<double>(row.position) / 30000000.0);
        PlayControl->UpdatePosition(row.position);
        EXPECT_EQ(timeLabel->Caption(), row.text);
    }
    const UnicodeString before = timeLabel->Caption();
    timeLabel->SetCaption(u"x");
    PlayControl->UpdatePosition(1);
    EXPECT_EQ(timeLabel->Caption(), u"x") << "the thumb did not move: the label stays";
    timeLabel->SetCaption(before);
    WaitForTracks();
}

TEST_F(ListPaneTest, AScanRequestedDuringAScanRunsAfterItInsteadOfInside)
{
    for (int i = 0; i < 20; ++i)
        WriteHeaderOnly("OLD/R" + std::to_string(100 + i) + ".asf", asfwriter::FileTimeOf(2020, 1, 1, 0, 0, i), 1);
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    BuildWindows();
    int started = 0;
    // Handled inside the first scan's progress report: the user picks
    // another folder meanwhile.
    win::TMessageWindow user([&](win::TMessage& m) {
        if (m.Msg != win::WM_APP + 50)
            return;
        ++started;
        EXPECT_TRUE(ListControl->Scanning());
        EXPECT_EQ(UnicodeString(ProgForm->FTitle), u"読込み中....");
        EXPECT_FALSE(ProgForm->BtnStop->Visible()) << "a scan shows no stop button";
        driver->AnswerFolder(u"E:\\DATA");
        ListControl->ImageFolderClick();
        EXPECT_TRUE(ListControl->Scanning()) << "still the first scan";
    });
    ListControl->TimerInit->SetEnabled(false);
    win::PostMessage(user.Handle(), win::WM_APP + 50, 0, 0);
    ListControl->ListRefresh(u"E:\\OLD");
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(ListControl->Scanning());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2024/05/17 09:30:00|00:00:02|-|-|REC_0001.ASF"}))
        << "only the latest folder's recordings, none of the first";
    EXPECT_EQ(ListControl->FFolder, u"E:\\DATA");
    EXPECT_EQ(ProgForm->NestingLevel(), 0);
    WaitForTracks();
}

TEST_F(ListPaneTest, TheListIsEnabledAgainWhenOpeningFails)
{
    ThreeRecordings();
    BuildWindows();
    StartUp();
    WaitForTracks();
    // Something below the opening throws what the handlers do not catch: the
    // time label's repaint.
    struct ThrowingPresenter : vcl::WindowPresenter {
        TControl* label = nullptr;
        void Invalidated(TControl& control) override
        {
            if (&control == label)
                throw std::runtime_error("repaint failed");
        }
    } presenter;
    presenter.label = timeLabel;
    {
        vcl::ScopedPresenter scoped(presenter);
        EXPECT_THROW(ListControl->ListView1->SetItemIndex(1), std::runtime_error);
    }
    EXPECT_TRUE(ListControl->ListView1->Enabled());
}

TEST_F(ListPaneTest, RowsThatNameNoRecordAreRefusedNotRead)
{
    ThreeRecordings();
    BuildWindows();
    StartUp();
    WaitForTracks();
    TListItem* item = ListControl->ListView1->Items()->Item(1);
    struct Row {
        const char16_t* fileId;
    };
    for (const Row& row : {Row{u"3"}, Row{u"-1"}, Row{u"x"}, Row{u"99999999999"}}) {
        SCOPED_TRACE(rtl::ToUtf8(row.fileId));
        item->SubItems()->SetStrings(kColumnFileId - 1, row.fileId);
        EXPECT_EQ(ListControl->RecordOfRow(1), nullptr);
    }
    EXPECT_EQ(ListControl->RecordOfRow(3), nullptr);
    EXPECT_EQ(ListControl->RecordOfRow(-1), nullptr);
    ListControl->FCurrentRow = 1;
    EXPECT_FALSE(ListControl->PlaySelListFiles());
    // A current row past the rows: next starts over, previous takes the last.
    ListControl->FCurrentRow = 7;
    ListControl->PlayNextFile();
    EXPECT_EQ(ListControl->FCurrentRow, 0);
    ListControl->FCurrentRow = 7;
    ListControl->PlayPrevFile();
    EXPECT_EQ(ListControl->FCurrentRow, 2);
    WaitForTracks();
}

TEST_F(ListPaneTest, PathEditAndFolderButton)
{
    ThreeRecordings();
    WriteRecording("OTHER/REC_0009.ASF", 8, 0);
    BuildWindows();
    StartUp();
    WaitForTracks();

    editPath->SetText(u"E:\\NOWHERE");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(ListControl->FFileList->Count(), 0) << "the records are freed";
    EXPECT_EQ(ListControl->FCurrentRow, -1);
    EXPECT_FALSE(playButton->Enabled());

    editPath->SetText(u"E:\\OTHER");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2024/05/17 08:00:00|00:00:02|-|-|REC_0009.ASF"}));
    WaitForTracks();

    driver->CancelFolder();
    ListControl->ImageFolderClick();
    EXPECT_EQ(ListControl->FFolder, u"E:\\OTHER") << "cancelled";
    driver->AnswerFolder(u"E:\\DATA");
    ListControl->ImageFolderClick();
    EXPECT_EQ(driver->FolderPickers().back().title, u"再生するフォルダを選択");
    EXPECT_EQ(driver->FolderPickers().back().start, u"E:\\OTHER");
    EXPECT_EQ(editPath->Text(), u"E:\\DATA");
    EXPECT_EQ(Rows().size(), 3u);

    ListControl->SetListEnabled(false);
    EXPECT_FALSE(folderButton->Enabled());
    EXPECT_TRUE(editPath->ReadOnly());
    ListControl->SetListEnabled(true);
    EXPECT_TRUE(folderButton->Enabled());
    EXPECT_FALSE(editPath->ReadOnly());
    WaitForTracks();
}

TEST_F(ListPaneTest, StillPictureNameAndDefaultFolder)
{
    WriteHeaderOnly("DATA/REC_0001.asf", asfwriter::FileTimeOf(2023, 1, 25, 12, 34, 56), 10000000);
    BuildWindows();
    ListControl->TimerInit->SetEnabled(false);
    // The row is listed even though it cannot be opened.
    driver->AnswerForm(u"SDDlg", u"OKSDLabel");
    ListControl->ListRefresh(u"E:\\DATA");
    UnicodeString name;
    ListControl->GetScreeshotFileName(name);
    EXPECT_EQ(name, u"230125123456_REC_0001.jpg");

    struct Row {
        const char16_t* program;
        const char16_t* folder;
    };
    for (const Row& row : {Row{u"E:\\tools", u"E:\\DATA"}, Row{u"E:\\", u"E:\\DATA"}, Row{u"relative", u"relative"}}) {
        SCOPED_TRACE(rtl::ToUtf8(row.program));
        const test_support::ScopedValue<UnicodeString> program(ProgramFolder, row.program);
        const std::unique_ptr<TListControl> pane(vcl::NewForm<TListControl>(nullptr));
        EXPECT_EQ(pane->FFolder, row.folder);
    }
}

TEST_F(ListPaneTest, RepaintRequestsReachTheRendererWhileTheListExists)
{
    WriteRecording("DATA/REC_0001.ASF", 9, 30);
    BuildWindows();
    StartUp();
    WaitForTracks();
    PlayControl->TimerRefresh->SetEnabled(false);
    const auto repaints = [] {
        media::VideoRendererState state;
        EXPECT_TRUE(media::InspectVideoRenderer(PlayControl->VmrFilter, state));
        return state.repaints;
    };
    const int before = repaints();
    win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 1, 0);
    driver->Pump();
    EXPECT_EQ(repaints(), before + 1);

    // Not while the list pane is gone.
    const test_support::ScopedValue<TListControl*> gone(ListControl, nullptr);
    win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 1, 0);
    driver->Pump();
    EXPECT_EQ(repaints(), before + 1);
}

} // namespace
} // namespace list_test
