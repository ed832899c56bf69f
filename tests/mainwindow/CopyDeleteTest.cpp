// Copying ticked recordings into day folders and deleting them from the card,
// against real files, with the file layer's switches for a full disk, a card
// pulled mid-copy, a read-only target and a file in use. After each run every
// recording still exists once and whole, and the messages say what happened.
#include "ListFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "app/Dlg.h"
#include "app/ProgBar.h"
#include "mainwindow/MAIN.h"
#include "platform/win/DriveTable.h"
#include "platform/win/FileFaults.h"
#include "platform/win/MessageWindow.h"
#include "platform/win/OpenFileHold.h"
#include "tools/asfwriter/SampleRecording.h"

namespace fs = std::filesystem;

namespace list_test {
namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kOlderCopy = "an older copy";

class CopyDeleteTest : public ListTest {
protected:
    void SetUp() override
    {
        ListTest::SetUp();
        pc_ = std::make_unique<test_support::TempFolder>("copy-test-pc");
        pc = pc_->Path();
        win::DriveTable::Instance().SetDrive(u'C', pc);
        win::FileFaults::Clear();
        driver->AllowUnexpectedBoxes(true); // the warnings; each test compares them all
    }
    void TearDown() override
    {
        win::FileFaults::Clear();
        win::DriveTable::Instance().SetPresent(u'E', true);
        ListTest::TearDown();
        win::DriveTable::Instance().Forget(u'C');
        pc_.reset();
    }

    // A playable recording of `day` of May 2024, remembered with its bytes.
    void Write(const std::string& relative, int day, int hour, int minute)
    {
        fs::create_directories(fs::path(Host(relative)).parent_path());
        asfwriter::SampleOptions o;
        o.seconds = 1;
        o.framesPerSecond = 5;
        o.width = 64;
        o.height = 48;
        o.distinctFrames = 2;
        o.day = day;
        o.hour = hour;
        o.minute = minute;
        asfwriter::WriteSampleRecording(Host(relative), o);
        originals[relative] = ReadBytes(Host(relative));
    }
    // REC_A (17th 09:30), REC_B (17th 09:40), REC_C (18th 08:00), REC_D (18th 08:10).
    void FourRecordings()
    {
        Write("DATA/REC_A.ASF", 17, 9, 30);
        Write("DATA/REC_B.ASF", 17, 9, 40);
        Write("DATA/REC_C.ASF", 18, 8, 0);
        Write("DATA/REC_D.ASF", 18, 8, 10);
        BuildWindows();
        StartUp();
        WaitForTracks();
    }
    void Tick(std::initializer_list<int> rows)
    {
        for (int r : rows)
            ListControl->ListView1->Items()->Item(r)->SetChecked(true);
    }
    // The numbered message the box shows now.
    static int ShownNumber()
    {
        for (int n = 1; n <= 30; ++n)
            if (SDMessageFor(n, ListControl->FCopyTarget).Text == SDDlg->Line2Label->Caption())
                return n;
        return -1;
    }
    // The next numbered message is answered with its first button (OK, yes,
    // execute) or its second; `numbers` records which it was.
    void Answer(bool first = true)
    {
        driver->Then(
            [this, first] {
                numbers.push_back(ShownNumber());
                driver->Click(first ? *SDDlg->OKSDLabel : *SDDlg->NGLabel);
            },
            "answer the message box");
    }
    std::vector<std::string> Warnings() const
    {
        std::vector<std::string> out;
        for (const win::MessageBoxCall& box : driver->Boxes())
            out.push_back(rtl::Utf16ToUtf8(box.caption) + ": " + rtl::Utf16ToUtf8(box.text));
        return out;
    }
    // Every recording on the card once and whole (the pulled card put back);
    // every copy below C: whole; no temporary file left anywhere.
    void ExpectNothingLost(const std::set<std::string>& deleted = {})
    {
        win::DriveTable::Instance().SetPresent(u'E', true);
        for (const auto& [relative, bytes] : originals) {
            SCOPED_TRACE(relative);
            if (deleted.count(relative))
                EXPECT_FALSE(fs::exists(Host(relative)));
            else
                EXPECT_TRUE(ReadBytes(Host(relative)) == bytes) << "changed or missing";
        }
        for (const std::string& root : {pc, card})
            for (const auto& entry : fs::recursive_directory_iterator(root)) {
                const std::string name = entry.path().filename().string();
                EXPECT_EQ(name.find(".~cp"), std::string::npos) << entry.path();
                if (entry.is_regular_file() && root == pc && originals.count("DATA/" + name)) {
                    // A whole copy, or the older copy a test put there.
                    const std::string bytes = ReadBytes(entry.path().string());
                    EXPECT_TRUE(bytes == originals["DATA/" + name] || bytes == kOlderCopy) << entry.path();
                }
            }
    }
    std::string Copy(const std::string& day, const std::string& name) const
    {
        return pc + "/Backup/" + day + "/" + name;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < ListControl->ListView1->Items()->Count(); ++i)
            out.push_back(rtl::ToUtf8(RecordingFileName(ListControl->RecordOfRow(i)->FullPath)));
        return out;
    }
    std::string Playing() const
    {
        return PlayControl->Rendered ? rtl::ToUtf8(RecordingFileName(ListControl->FCurrentPath)) : "(blank)";
    }

    std::string pc;
    std::map<std::string, std::string> originals;
    std::vector<int> numbers;

private:
    std::unique_ptr<test_support::TempFolder> pc_;
};

TEST_F(CopyDeleteTest, NothingTickedShowsItsMessageAndDoesNothingElse)
{
    FourRecordings();
    Answer();
    ListControl->ImageDownLoadClick();
    Answer();
    ListControl->DeleteCheckedFiles();
    EXPECT_EQ(numbers, (std::vector<int>{19, 18}));
    EXPECT_TRUE(driver->FolderPickers().empty());
    EXPECT_FALSE(ProgForm->Visible());
    ExpectNothingLost();
}

TEST_F(CopyDeleteTest, TickedRecordingsOfTwoDaysGoIntoTwoDayFolders)
{
    FourRecordings();
    Tick({0, 1, 3});
    fs::create_directories(pc + "/Backup");
    driver->AnswerFolder(u"C:\\Backup");
    Answer();
    ListControl->ImageDownLoadClick();

    ASSERT_EQ(driver->FolderPickers().size(), 1u);
    EXPECT_EQ(driver->FolderPickers()[0].title, u"コピー先フォルダを選択");
    EXPECT_EQ(driver->FolderPickers()[0].start, u"c:\\Dravik\\Data");
    EXPECT_TRUE(fs::is_directory(pc + "/Dravik/Data"));
    EXPECT_EQ(numbers, std::vector<int>{20});
    EXPECT_TRUE(fs::exists(Copy("20240517", "REC_A.ASF")));
    EXPECT_TRUE(fs::exists(Copy("20240517", "REC_B.ASF")));
    EXPECT_FALSE(fs::exists(Copy("20240518", "REC_C.ASF")));
    EXPECT_TRUE(fs::exists(Copy("20240518", "REC_D.ASF")));
    EXPECT_FALSE(ProgForm->Visible());
    EXPECT_TRUE(Warnings().empty()) << ::testing::PrintToString(Warnings());
    EXPECT_EQ(Names(), (std::vector<std::string>{"REC_A.ASF", "REC_B.ASF", "REC_C.ASF", "REC_D.ASF"}));
    EXPECT_EQ(Playing(), "REC_A.ASF") << "the player is left as it was";
    ExpectNothingLost();

    // Cancelling the picker ends the copy before any progress.
    driver->CancelFolder();
    ListControl->ImageDownLoadClick();
    EXPECT_EQ(numbers, std::vector<int>{20});
}

TEST_F(CopyDeleteTest, AnExistingTargetIsReplacedOnlyByAWholeCopy)
{
    // What happens to REC_A's existing copy: the answer to message 10 and
    // what stands in the way of replacing it.
    struct Row {
        const char* what;
        bool execute;
        enum { Nothing, ReadOnly, InUse, DiskFull } obstacle;
        std::vector<int> messages;
        bool replaced;
        bool othersCopied;
    };
    const Row rows[] = {
        {"cancel skips it", false, Row::Nothing, {10, 20}, false, true},
        {"execute replaces it", true, Row::Nothing, {10, 20}, true, true},
        {"a read-only copy stays (message 11) and the run goes on", true, Row::ReadOnly, {10, 11, 20}, false, true},
        {"a copy in use stays (message 11) and the run goes on", true, Row::InUse, {10, 11, 20}, false, true},
        {"a full disk ends the run (message 9) and the old copy stays", true, Row::DiskFull, {10, 9}, false, false},
    };
    FourRecordings();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(pc + "/Backup");
        fs::create_directories(pc + "/Backup/20240517");
        const std::string old = Copy("20240517", "REC_A.ASF");
        std::ofstream(old, std::ios::binary) << kOlderCopy;
        if (row.obstacle == Row::ReadOnly)
            fs::permissions(old, fs::perms::owner_write, fs::perm_options::remove);
        std::optional<win::OpenFileHold> hold;
        if (row.obstacle == Row::InUse)
            hold.emplace(u"C:\\Backup\\20240517\\REC_A.ASF");
        if (row.obstacle == Row::DiskFull)
            win::FileFaults::DiskFull(u'C', 0);
        for (int r = 0; r < 4; ++r)
            ListControl->ListView1->Items()->Item(r)->SetChecked(r == 0 || r == 2);
        numbers.clear();
        driver->AnswerFolder(u"C:\\Backup");
        Answer(row.execute);
        if (row.messages.size() > 1)
            Answer();
        if (row.messages.size() > 2)
            Answer();
        ListControl->ImageDownLoadClick();

        EXPECT_EQ(numbers, row.messages);
        EXPECT_EQ(ListControl->FCopyTarget, u"C:\\Backup\\20240517\\REC_A.ASF");
        EXPECT_EQ(ReadBytes(old) == kOlderCopy, !row.replaced);
        EXPECT_EQ(fs::exists(Copy("20240518", "REC_C.ASF")), row.othersCopied);
        EXPECT_FALSE(ProgForm->Visible());
        EXPECT_EQ(driver->PendingSteps(), 0);
        hold.reset();
        win::FileFaults::Clear();
        fs::permissions(old, fs::perms::owner_write, fs::perm_options::add);
        std::ofstream(old, std::ios::binary | std::ios::trunc) << "";
        fs::remove(old);
        ExpectNothingLost();
    }
    EXPECT_TRUE(Warnings().empty()) << ::testing::PrintToString(Warnings());
}

TEST_F(CopyDeleteTest, CopyFailuresEndTheRunWithTheirMessageAndLeaveNothingPartial)
{
    struct Row {
        const char* what;
        std::function<void()> fault;
        std::vector<int> messages;
    };
    const Row rows[] = {
        {"the disk is full", [] { win::FileFaults::DiskFull(u'C', 0); }, {9}},
        {"the card is pulled mid-copy", [] { win::FileFaults::PullDuringCopy(u'E', 1000); }, {9}},
        // The day folder cannot be made: message 9, then the end of copying.
        {"the target drive is write-protected",
         [] { win::DriveTable::Instance().SetWriteProtected(u'C', true); },
         {9, 20}},
    };
    FourRecordings();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(pc + "/Backup");
        fs::create_directories(pc + "/Backup");
        Tick({0, 1, 2});
        row.fault();
        numbers.clear();
        driver->AnswerFolder(u"C:\\Backup");
        for (std::size_t k = 0; k < row.messages.size(); ++k)
            Answer();
        ListControl->ImageDownLoadClick();

        EXPECT_EQ(numbers, row.messages);
        EXPECT_FALSE(fs::exists(Copy("20240517", "REC_A.ASF")));
        EXPECT_FALSE(fs::exists(Copy("20240518", "REC_C.ASF")));
        EXPECT_FALSE(ProgForm->Visible());
        win::FileFaults::Clear();
        win::DriveTable::Instance().SetWriteProtected(u'C', false);
        ExpectNothingLost();
    }
}

TEST_F(CopyDeleteTest, ACopyOntoItsOwnSourceIsRefused)
{
    // The recorder's day folders on the card, and the card's DATA chosen as
    // the destination: the target is the recording itself.
    Write("DATA/20240517/REC_A.ASF", 17, 9, 30);
    Write("DATA/20240517/REC_B.ASF", 17, 9, 40);
    BuildWindows();
    StartUp();
    WaitForTracks();
    Tick({0, 1});
    driver->AnswerFolder(u"e:\\data");
    Answer();
    ListControl->ImageDownLoadClick();

    EXPECT_EQ(numbers, std::vector<int>{20}) << "no question to overwrite it";
    ASSERT_EQ(Warnings().size(), 2u) << ::testing::PrintToString(Warnings());
    EXPECT_NE(Warnings()[0].find("Warning: コピー先がコピー元と同じファイルです。"), std::string::npos);
    ExpectNothingLost();
}

TEST_F(CopyDeleteTest, StopDuringACopyEndsItWithoutTheEndMessage)
{
    FourRecordings();
    fs::create_directories(pc + "/Backup/20240517");
    std::ofstream(Copy("20240517", "REC_A.ASF"), std::ios::binary) << kOlderCopy;
    Tick({0, 1, 2, 3});
    driver->AnswerFolder(u"C:\\Backup");
    // The stop button is pressed while message 10 asks.
    driver->Then(
        [this] {
            numbers.push_back(ShownNumber());
            ProgForm->BtnStopClick(nullptr); // the box is modal: the button takes no mouse
            driver->Click(*SDDlg->NGLabel);
        },
        "stop, then cancel");
    ListControl->ImageDownLoadClick();

    EXPECT_EQ(numbers, std::vector<int>{10});
    EXPECT_FALSE(ProgForm->Visible());
    EXPECT_FALSE(fs::exists(Copy("20240517", "REC_B.ASF"))) << "nothing after the stop";
    ExpectNothingLost();
}

TEST_F(CopyDeleteTest, DeletingTheRowsAboveAndThePlayingOneKeepsTheNextOnePlaying)
{
    FourRecordings();
    ListControl->ListView1->SetItemIndex(2);
    WaitForTracks();
    ASSERT_EQ(Playing(), "REC_C.ASF");
    Tick({0, 2});
    Answer();
    ListControl->DeleteCheckedFiles();

    EXPECT_EQ(numbers, std::vector<int>{12});
    EXPECT_TRUE(Warnings().empty()) << ::testing::PrintToString(Warnings());
    EXPECT_EQ(Names(), (std::vector<std::string>{"REC_B.ASF", "REC_D.ASF"}));
    EXPECT_EQ(ListControl->FCurrentRow, 1);
    EXPECT_EQ(ListControl->ListView1->ItemIndex(), 1);
    EXPECT_EQ(Playing(), "REC_D.ASF") << "the row that followed the playing one";
    EXPECT_TRUE(ListControl->FFileList->Item(0)->Deleted);
    EXPECT_FALSE(ProgForm->Visible());
    EXPECT_TRUE(fs::exists(card + "/DATA/FILE_DEL")) << "E: is removable: the recorder is told";
    EXPECT_EQ(fs::file_size(card + "/DATA/FILE_DEL"), 0u);
    WaitForTracks();
    ExpectNothingLost({"DATA/REC_A.ASF", "DATA/REC_C.ASF"});

    // Deleting every row left leaves the blank recording.
    Tick({0, 1});
    Answer();
    ListControl->DeleteCheckedFiles();
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(ListControl->FCurrentRow, -1);
    EXPECT_EQ(Playing(), "(blank)");
    WaitForTracks();
}

TEST_F(CopyDeleteTest, AStopShowsAtOnceAndTheEndOfTheDeleteStillFollows)
{
    // REC_C plays; REC_A, REC_C and REC_D are ticked. A stop asked for once
    // REC_C is gone hides the progress window and repaints at once; the
    // signal file, the replay and a second repaint follow.
    struct Row {
        const char* what;
        bool stop;
        std::vector<std::string> sequence;
        std::vector<std::string> left;
        std::set<std::string> deleted;
    };
    const Row rows[] = {
        {"stopped after REC_C",
         true,
         {"hide", "repaint", "select REC_D.ASF", "repaint"},
         {"REC_B.ASF", "REC_D.ASF"},
         {"DATA/REC_A.ASF", "DATA/REC_C.ASF"}},
        {"not stopped",
         false,
         {"select REC_B.ASF", "hide", "repaint"},
         {"REC_B.ASF"},
         {"DATA/REC_A.ASF", "DATA/REC_C.ASF", "DATA/REC_D.ASF"}},
    };
    FourRecordings();
    OperationSequence sequence;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        // The card as at the start, scanned again.
        Write("DATA/REC_A.ASF", 17, 9, 30);
        Write("DATA/REC_C.ASF", 18, 8, 0);
        Write("DATA/REC_D.ASF", 18, 8, 10);
        ListControl->ListRefresh(u"E:\\DATA");
        WaitForTracks();
        ListControl->ListView1->SetItemIndex(2);
        WaitForTracks();
        ASSERT_EQ(Playing(), "REC_C.ASF");
        fs::remove(card + "/DATA/FILE_DEL");
        Tick({0, 2, 3});
        TFindData* playing = ListControl->RecordOfRow(2);
        if (row.stop)
            sequence.StopWhen([playing] { return playing->Deleted != 0; });
        sequence.Take();
        numbers.clear();
        Answer();
        ListControl->DeleteCheckedFiles();

        EXPECT_EQ(sequence.Take(), row.sequence);
        EXPECT_EQ(numbers, std::vector<int>{12});
        EXPECT_EQ(Names(), row.left);
        EXPECT_TRUE(fs::exists(card + "/DATA/FILE_DEL")) << "the recorder is told also after a stop";
        EXPECT_FALSE(ProgForm->Visible());
        EXPECT_TRUE(Warnings().empty()) << ::testing::PrintToString(Warnings());
        WaitForTracks();
        ExpectNothingLost(row.deleted);
    }
}

TEST_F(CopyDeleteTest, AFailureInTheDeleteEndsItAndThePlayerTakesUpTheCurrentRow)
{
    // A card whose root holds a file named "Data": the signal folder cannot
    // be made once REC_A (playing) and REC_B are deleted.
    struct ForgetDrive {
        ~ForgetDrive() { win::DriveTable::Instance().Forget(u'F'); }
    } forget;
    Write("F/REC/REC_A.ASF", 17, 9, 30);
    Write("F/REC/REC_B.ASF", 17, 9, 40);
    Write("F/REC/REC_C.ASF", 18, 8, 0);
    std::ofstream(Host("F/Data")) << "not a folder";
    win::DriveTable::Instance().SetDrive(u'F', Host("F"), true);
    BuildWindows();
    StartUp();
    WaitForTracks();
    editPath->SetText(u"F:\\REC");
    WaitForTracks();
    ASSERT_EQ(Playing(), "REC_A.ASF");
    OperationSequence sequence;
    Tick({0, 1});
    Answer();
    ListControl->DeleteCheckedFiles();

    // No repaint is asked for; the opened recording paints itself.
    EXPECT_EQ(sequence.Take(), (std::vector<std::string>{"hide", "select REC_C.ASF"}));
    EXPECT_EQ(numbers, std::vector<int>{12});
    ASSERT_EQ(Warnings().size(), 1u) << ::testing::PrintToString(Warnings());
    EXPECT_EQ(Warnings()[0].rfind("Warning: ファイルの削除が失敗しました。 ERROR:", 0), 0u) << Warnings()[0];
    EXPECT_EQ(Names(), std::vector<std::string>{"REC_C.ASF"}) << "what was deleted stays deleted";
    EXPECT_TRUE(ListControl->FFileList->Item(0)->Deleted);
    EXPECT_TRUE(ListControl->FFileList->Item(1)->Deleted);
    EXPECT_EQ(Playing(), "REC_C.ASF");
    EXPECT_TRUE(fs::is_regular_file(Host("F/Data"))) << "no signal file";
    EXPECT_FALSE(ProgForm->Visible());
    WaitForTracks();
    ExpectNothingLost({"F/REC/REC_A.ASF", "F/REC/REC_B.ASF"});
}

TEST_F(CopyDeleteTest, AFailedDeleteKeepsItsRowIsNotCountedAndIsReported)
{
    struct Row {
        const char* what;
        enum { ReadOnly, InUse, CardPulled } obstacle;
    };
    const Row rows[] = {{"read-only", Row::ReadOnly}, {"in use", Row::InUse}, {"card pulled", Row::CardPulled}};
    FourRecordings();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove(card + "/DATA/FILE_DEL");
        const std::size_t boxesBefore = driver->Boxes().size();
        if (row.obstacle == Row::ReadOnly)
            fs::permissions(Host("DATA/REC_B.ASF"), fs::perms::owner_write, fs::perm_options::remove);
        std::optional<win::OpenFileHold> hold;
        if (row.obstacle == Row::InUse)
            hold.emplace(u"E:\\DATA\\REC_B.ASF");
        Tick({1});
        numbers.clear();
        // The card is pulled once the run has begun (at its first step).
        win::TMessageWindow puller([](win::TMessage& m) {
            if (m.Msg == win::WM_APP + 50)
                win::DriveTable::Instance().SetPresent(u'E', false);
        });
        if (row.obstacle == Row::CardPulled)
            win::PostMessage(puller.Handle(), win::WM_APP + 50, 0, 0);
        Answer();
        ListControl->DeleteCheckedFiles();
        win::DriveTable::Instance().SetPresent(u'E', true);

        EXPECT_EQ(numbers, std::vector<int>{12});
        EXPECT_EQ(Names(), (std::vector<std::string>{"REC_A.ASF", "REC_B.ASF", "REC_C.ASF", "REC_D.ASF"}));
        EXPECT_FALSE(ListControl->FFileList->Item(1)->Deleted);
        ASSERT_EQ(driver->Boxes().size(), boxesBefore + 1);
        const std::string warning = rtl::Utf16ToUtf8(driver->Boxes().back().text);
        EXPECT_NE(warning.find("ファイルの削除が失敗しました（1件）"), std::string::npos) << warning;
        EXPECT_NE(warning.find("REC_B.ASF"), std::string::npos) << warning;
        EXPECT_FALSE(fs::exists(card + "/DATA/FILE_DEL")) << "nothing was deleted";
        EXPECT_FALSE(ProgForm->Visible());
        hold.reset();
        fs::permissions(Host("DATA/REC_B.ASF"), fs::perms::owner_write, fs::perm_options::add);
        ListControl->ListView1->Items()->Item(1)->SetChecked(false);
        ExpectNothingLost();
    }
}

TEST_F(CopyDeleteTest, TheSignalFileIsWrittenOnceAndOnlyOnARemovableDrive)
{
    FourRecordings();
    // Another type of drive: nothing is written.
    win::DriveTable::Instance().SetDrive(u'E', card, false);
    Tick({3});
    Answer();
    ListControl->DeleteCheckedFiles();
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_FALSE(fs::exists(card + "/DATA/FILE_DEL"));

    // Removable with a signal file already there: it stays as it was.
    win::DriveTable::Instance().SetDrive(u'E', card, true);
    std::ofstream(card + "/DATA/FILE_DEL") << "left by the recorder";
    Tick({2});
    Answer();
    ListControl->DeleteCheckedFiles();
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(ReadBytes(card + "/DATA/FILE_DEL"), "left by the recorder");
    EXPECT_EQ(numbers, (std::vector<int>{12, 12}));
    WaitForTracks();
    ExpectNothingLost({"DATA/REC_C.ASF", "DATA/REC_D.ASF"});
}

TEST_F(CopyDeleteTest, ScanCopyAndDeleteNeverRunInsideOneAnother)
{
    FourRecordings();
    Write("DATA/REC_E.ASF", 19, 7, 0); // found by the scan that waits
    Tick({0});
    // At the delete's first step, the main window's handlers run: another
    // copy and delete (refused: no message, no picker), a scan and a typed
    // folder (both wait), and a close (asks message 23; cancelled).
    TCloseAction closeAction = caHide;
    int levelInside = -1;
    win::TMessageWindow inside([&](win::TMessage& m) {
        if (m.Msg != win::WM_APP + 51)
            return;
        ListControl->ImageDownLoadClick();
        ListControl->DeleteCheckedFiles();
        ListControl->ListRefresh(u"E:\\DATA");
        EXPECT_EQ(Names().size(), 4u) << "the rows stay while the delete runs";
        levelInside = ProgForm->NestingLevel();
        MainForm->FormClose(nullptr, closeAction);
    });
    // Posted as message 12 is answered: handled at the delete's first step.
    driver->Then([&] {
        numbers.push_back(ShownNumber());
        win::PostMessage(inside.Handle(), win::WM_APP + 51, 0, 0);
        driver->Click(*SDDlg->OKSDLabel);
    });
    Answer(false); // message 23
    ListControl->DeleteCheckedFiles();

    EXPECT_EQ(numbers, (std::vector<int>{12, 23}));
    EXPECT_EQ(levelInside, 1);
    EXPECT_EQ(closeAction, caNone);
    EXPECT_TRUE(driver->FolderPickers().empty());
    EXPECT_EQ(ListControl->RunningOperation(), TListOperation::None);
    // The delete finished, then the scan that waited ran once.
    EXPECT_EQ(Names(), (std::vector<std::string>{"REC_B.ASF", "REC_C.ASF", "REC_D.ASF", "REC_E.ASF"}));
    EXPECT_FALSE(ProgForm->Visible());
    WaitForTracks();

    // A copy or delete asked for while a scan runs is refused.
    // Ten more names for a progress report; listed after the playable ones
    // (2030), so the first row still opens.
    for (int i = 0; i < 10; ++i)
        WriteHeaderOnly("DATA/SUB/H" + std::to_string(i) + ".asf", 135379296000000000ULL, 0);
    TListOperation during = TListOperation::None;
    win::TMessageWindow inScan([&](win::TMessage& m) {
        if (m.Msg != win::WM_APP + 52)
            return;
        during = ListControl->RunningOperation();
        ListControl->ImageDownLoadClick();
        ListControl->DeleteCheckedFiles();
    });
    win::PostMessage(inScan.Handle(), win::WM_APP + 52, 0, 0);
    ListControl->ListRefresh(u"E:\\DATA");
    EXPECT_EQ(during, TListOperation::Scan);
    EXPECT_EQ(numbers.size(), 2u) << "no message from the refused commands";
    WaitForTracks();
}

} // namespace
} // namespace list_test
