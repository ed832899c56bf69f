// The main window's still-picture and print icons: the save dialog with the
// default name, the messages after it, the folder remembered, an existing
// file confirmed before it is replaced, printing and its failure message.
#include "ListFixture.h"

#include <filesystem>
#include <fstream>

#include "app/Dlg.h"
#include "mainwindow/MAIN.h"
#include "platform/vcl/RecordingPrinter.h"
#include "platform/win/Gdi.h"
#include "tests/support/MainFormState.h"

namespace fs = std::filesystem;

namespace list_test {
namespace {

constexpr char16_t kDefaultName[] = u"240517093000_REC_0001.jpg";

class StillCommands : public ListTest {
protected:
    void SetUp() override
    {
        ListTest::SetUp();
        previousPrinter = vcl::InstallPrinterBackend(&printer);
        WriteRecording("DATA/REC_0001.ASF", 9, 30);
        fs::create_directories(Host("Stills"));
        fs::create_directories(Host("Other"));
        BuildWindows();
        StartUp();
        WaitForTracks();
        // Stopped on the first frame: the icons are usable.
        MainForm->ImageScreenShot->SetEnabled(true);
        MainForm->ImagePrint->SetEnabled(true);
        gdiBefore = win::LiveGdiHandles();
    }
    void TearDown() override
    {
        EXPECT_EQ(win::LiveGdiHandles(), gdiBefore);
        EXPECT_EQ(driver->PendingDialogAnswers(), 0);
        vcl::InstallPrinterBackend(previousPrinter);
        ListTest::TearDown();
    }

    // The next numbered message is read and confirmed.
    void ExpectMessage(const UnicodeString& text)
    {
        driver->Then([this, text] {
            EXPECT_EQ(SDDlg->Line2Label->Caption(), text);
            driver->Click(*SDDlg->OKSDLabel);
        });
    }
    void ClickStill() { ASSERT_TRUE(driver->Click(u"MainForm", u"ImageScreenShot")); }

    vcl::RecordingPrinter printer;
    vcl::PrinterBackend* previousPrinter = nullptr;
    int gdiBefore = 0;
};

TEST_F(StillCommands, ASavedStillIsReportedAndItsFolderIsWhereTheNextDialogOpens)
{
    ASSERT_EQ(ListControl->ListView1->ItemIndex(), 0);
    driver->AnswerSaveFile(u"E:\\Stills\\first.jpg");
    ExpectMessage(u"静止画を保存しました。");
    ClickStill();
    EXPECT_EQ(driver->PendingSteps(), 0) << "message 2 was not shown";
    EXPECT_TRUE(fs::exists(Host("Stills/first.jpg")));
    ASSERT_EQ(driver->SaveFileDialogs().size(), 1u);
    const SaveFileRequest& first = driver->SaveFileDialogs()[0];
    EXPECT_EQ(first.title, u"静止画ファイル保存");
    EXPECT_EQ(first.fileName, kDefaultName);
    EXPECT_EQ(first.defaultExt, u".jpg");
    EXPECT_EQ(first.filter, u"jpg");
    EXPECT_TRUE(first.initialDir.IsEmpty());

    // The next dialog opens in the folder of the file just saved; a
    // cancelled one changes nothing and shows nothing.
    driver->CancelSaveFile();
    ClickStill();
    ASSERT_EQ(driver->SaveFileDialogs().size(), 2u);
    EXPECT_EQ(driver->SaveFileDialogs()[1].initialDir, u"E:\\Stills");

    driver->AnswerSaveFile(u"E:\\Other\\second.jpg");
    ExpectMessage(u"静止画を保存しました。");
    ClickStill();
    driver->CancelSaveFile();
    ClickStill();
    ASSERT_EQ(driver->SaveFileDialogs().size(), 4u);
    EXPECT_EQ(driver->SaveFileDialogs()[3].initialDir, u"E:\\Other");
    EXPECT_EQ(StateOf(*MainForm).FLastPictureFolder, u"E:\\Other");
}

TEST_F(StillCommands, AnExistingStillIsReplacedOnlyWhenTheUserSaysSo)
{
    std::ofstream(Host("Stills/old.jpg")) << "earlier";
    // No: the dialog comes back; then cancelled, the file is as it was.
    driver->AnswerSaveFile(u"E:\\Stills\\old.jpg");
    driver->AnswerBox(win::IDNO);
    driver->CancelSaveFile();
    ClickStill();
    ASSERT_EQ(driver->Boxes().size(), 1u);
    EXPECT_EQ(driver->Boxes()[0].caption, u"静止画ファイル保存");
    std::ifstream kept(Host("Stills/old.jpg"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "earlier");

    // Yes: replaced.
    driver->AnswerSaveFile(u"E:\\Stills\\old.jpg");
    driver->AnswerBox(win::IDYES);
    ExpectMessage(u"静止画を保存しました。");
    ClickStill();
    EXPECT_GT(fs::file_size(Host("Stills/old.jpg")), 100u);
}

TEST_F(StillCommands, AStillThatCannotBeWrittenShowsMessageThree)
{
    driver->AnswerSaveFile(u"E:\\Missing\\x.jpg");
    ExpectMessage(u"静止画保存が失敗しました。");
    ClickStill();
    EXPECT_EQ(driver->PendingSteps(), 0) << "message 3 was not shown";
}

TEST_F(StillCommands, NothingHappensWhilePlayingOrWithoutARow)
{
    // A dialog shown here would be unexpected and fail the test.
    PlayState = 2;
    ClickStill();
    PlayState = 0;
    ListControl->ListView1->SetItemIndex(-1);
    ClickStill();
    ASSERT_TRUE(driver->Click(u"MainForm", u"ImagePrint"));
    EXPECT_TRUE(driver->SaveFileDialogs().empty());
    EXPECT_EQ(driver->PrintDialogsShown(), 0);
}

TEST_F(StillCommands, PrintingIsTitledWithTheStillNameAndAFailureShowsMessageFive)
{
    driver->AnswerPrintDialog(true);
    ASSERT_TRUE(driver->Click(u"MainForm", u"ImagePrint"));
    ASSERT_EQ(printer.Pages.size(), 1u);
    EXPECT_EQ(printer.Pages[0].title, kDefaultName);
    EXPECT_EQ(printer.Pages[0].orientation, vcl::poLandscape);

    driver->AnswerPrintDialog(true);
    printer.FailNext(vcl::RecordingPrinter::Step::EndDoc);
    ExpectMessage(u"印刷が失敗しました。");
    ASSERT_TRUE(driver->Click(u"MainForm", u"ImagePrint"));
    EXPECT_EQ(driver->PendingSteps(), 0) << "message 5 was not shown";
    EXPECT_EQ(printer.Pages.size(), 1u);
}

} // namespace
} // namespace list_test
