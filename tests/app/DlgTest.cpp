// The common message box: every number's texts, buttons, size and result,
// and the re-entrance rule, driven as a user answers it.
#include "app/Dlg.h"

#include "mainwindow/ListView.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/win.h"

#include <gtest/gtest.h>

namespace {

// 8 px per byte of code page 932 at 16 px "ＭＳ ゴシック": single-byte
// characters 8 px, double-byte ones 16 px.
int TextWidth(const UnicodeString& text)
{
    int widest = 0;
    int start = 1;
    for (;;) {
        const int end = text.SubString(start, text.Length()).Pos(u"\n");
        const UnicodeString line = end ? text.SubString(start, end - 1) : text.SubString(start, text.Length());
        widest = std::max(widest, AnsiString(line).Length() * 8);
        if (!end)
            return widest;
        start += end;
    }
}

class SDDlgTest : public ::testing::Test {
protected:
    SDDlgTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        Application->CreateForm(main);
        Application->CreateForm(SDDlg);
        main->Show();
    }
    ~SDDlgTest() override { Application->DestroyComponents(); }

    TApplication app;
    TestDriver driver;
    TForm* main = nullptr;
};

TEST_F(SDDlgTest, EveryNumberShowsItsTextAndButtonsAndAnswers)
{
    struct Row {
        int number;
        const char16_t* text;
        const char16_t* first;
        const char16_t* second;
    };
    const char16_t* ok = u"確認";
    const Row rows[] = {
        {-5, u"B_no = -5", u"OK", nullptr},
        {1, u"B_no = 1", u"OK", nullptr},
        {2, u"静止画を保存しました。", ok, nullptr},
        {3, u"静止画保存が失敗しました。", ok, nullptr},
        {4, u"印刷が完了しました。", ok, nullptr},
        {5, u"印刷が失敗しました。", ok, nullptr},
        {6, u"ファイルを再生できません。", ok, nullptr},
        {7, u"ファイルを再生できません。", ok, nullptr},
        {8, u"再生するファイルを選択してください。", ok, nullptr},
        {9, u"ファイルのコピーが失敗しました。指定パスが読取専用か、\nディスクが一杯かを確かめください！", ok, nullptr},
        {10, u"既存ファイル(REC_0001.ASF)があります。\n上書きしますか。", u"実行", u"キャンセル"},
        {11, u"ファイルの上書きが失敗しました！\n指定ファイルが読取専用かを確かめください。", ok, nullptr},
        {12, u"選択したファイルを削除しますか。", u"はい", u"いいえ"},
        {13, u"パスワードが違います。", ok, nullptr},
        {14, u"確認パスワードが違います。", ok, nullptr},
        {15, u"パスワードを保存しました。", ok, nullptr},
        {16, u"既存パスワードが違います。", ok, nullptr},
        {17, u"再生リストにファイルがありません。", ok, nullptr},
        {18, u"削除するファイルが選択されていません。", ok, nullptr},
        {19, u"コピーするファイルが選択されていません。", ok, nullptr},
        {20, u"コピーが終了しました。", ok, nullptr},
        {21, u"ASFファイルがありません。", ok, nullptr},
        {22, u"ファイルを再生できません。", ok, nullptr},
        {23, u"      終了しますか。     ", u"はい", u"キャンセル"},
        {24, u"B_no = 24", u"OK", nullptr},
        {99, u"B_no = 99", u"OK", nullptr},
    };
    Application->CreateForm(ListControl);
    ListControl->FCopyTarget = u"C:\\Dravik\\Data\\20240102\\REC_0001.ASF";

    for (const Row& row : rows) {
        // Every button of the row, pressed in turn.
        const int buttons = row.second ? 2 : 1;
        for (int pressed = 1; pressed <= buttons; ++pressed) {
            SCOPED_TRACE(testing::Message() << "message " << row.number << ", button " << pressed);
            driver.Then([&, pressed] {
                ASSERT_TRUE(SDDlg->InShowModal());
                EXPECT_EQ(SDDlg->Line2Label->Caption(), UnicodeString(row.text));
                EXPECT_EQ(SDDlg->OKSDLabel->Caption(), UnicodeString(row.first));
                EXPECT_TRUE(SDDlg->OKSDLabel->Visible());
                EXPECT_EQ(SDDlg->Line2Label->Left(), 27);
                EXPECT_EQ(SDDlg->Line2Label->Top(), 24);
                EXPECT_EQ(SDDlg->ClientHeight(), 143);
                const int width = TextWidth(row.text) + 100;
                EXPECT_EQ(SDDlg->Width(), width);
                if (row.second) {
                    EXPECT_EQ(SDDlg->NGLabel->Caption(), UnicodeString(row.second));
                    EXPECT_TRUE(SDDlg->NGLabel->Visible());
                    const int first = (width - 60 - 79 - 30) / 2;
                    EXPECT_EQ(SDDlg->OKSDLabel->Left(), first);
                    EXPECT_EQ(SDDlg->NGLabel->Left(), first + 60 + 30);
                } else {
                    EXPECT_FALSE(SDDlg->NGLabel->Visible());
                    EXPECT_EQ(SDDlg->NGLabel->Caption(), UnicodeString());
                    EXPECT_EQ(SDDlg->OKSDLabel->Left(), (width - 60) / 2);
                }
                EXPECT_EQ(SDDlg->OKSDLabel->Top(), 84);
                EXPECT_TRUE(driver.Click(pressed == 1 ? *SDDlg->OKSDLabel : *SDDlg->NGLabel));
            });
            EXPECT_EQ(SDDlg->ShowSDDlg(row.number), pressed);
            EXPECT_FALSE(SDDlg->InShowModal());
            EXPECT_FALSE(SDDlg->Visible());
            // Hidden again with everything emptied for the next request.
            EXPECT_EQ(SDDlg->Line2Label->Caption(), UnicodeString());
            EXPECT_EQ(SDDlg->OKSDLabel->Caption(), UnicodeString());
            EXPECT_FALSE(SDDlg->OKSDLabel->Visible());
        }
    }
    EXPECT_EQ(driver.PendingSteps(), 0);
}

TEST_F(SDDlgTest, WindowShape)
{
    EXPECT_EQ(SDDlg->Caption(), UnicodeString(u"ダイアログ"));
    EXPECT_EQ(SDDlg->BorderStyle(), bsToolWindow);
    EXPECT_EQ(SDDlg->FormStyle(), fsStayOnTop);
    EXPECT_EQ(SDDlg->Position(), poMainFormCenter);
    EXPECT_EQ(SDDlg->Font()->Name(), UnicodeString(u"ＭＳ ゴシック"));
    EXPECT_EQ(SDDlg->Font()->PixelHeight(), 16);
    EXPECT_EQ(SDDlg->OKSDLabel->Width(), 60);
    EXPECT_EQ(SDDlg->NGLabel->Width(), 79);
    EXPECT_EQ(SDDlg->OKSDLabel->Height(), 22);
    EXPECT_FALSE(SDDlg->OKSDLabel->Visible());
    EXPECT_FALSE(SDDlg->NGLabel->Visible());

    // No close box: only its buttons (or a second request) end it.
    driver.Then([&] {
        EXPECT_FALSE(driver.CloseByTitleBar(*SDDlg));
        EXPECT_TRUE(SDDlg->Visible());
        driver.Click(*SDDlg->OKSDLabel);
    });
    EXPECT_EQ(SDDlg->ShowSDDlg(2), 1);
}

TEST_F(SDDlgTest, ARequestWhileShowingEndsTheShowingOneWithNo)
{
    int inner = 0;
    driver.Then([&] {
        // As a timer or posted message would ask while the user decides.
        inner = SDDlg->ShowSDDlg(21);
    });
    EXPECT_EQ(SDDlg->ShowSDDlg(12), 2);
    EXPECT_EQ(inner, 2);
    EXPECT_FALSE(SDDlg->InShowModal());
    EXPECT_FALSE(SDDlg->Visible());

    // The next message shows normally, with one button only.
    driver.Then([&] {
        EXPECT_EQ(SDDlg->Line2Label->Caption(), UnicodeString(u"ASFファイルがありません。"));
        EXPECT_FALSE(SDDlg->NGLabel->Visible());
        driver.Click(*SDDlg->OKSDLabel);
    });
    EXPECT_EQ(SDDlg->ShowSDDlg(21), 1);
}

TEST_F(SDDlgTest, EveryWayOutClearsTheShowingState)
{
    // The display fails (the box is visible already): 2, and the box is not
    // left "showing", so the next message still shows.
    SDDlg->Show();
    EXPECT_EQ(SDDlg->ShowSDDlg(2), 2);
    EXPECT_FALSE(SDDlg->InShowModal());
    SDDlg->Hide();

    driver.Then([&] { driver.Click(*SDDlg->OKSDLabel); });
    EXPECT_EQ(SDDlg->ShowSDDlg(2), 1);

    // The application ends while the box waits: 2, state cleared.
    driver.Then([&] { Application->Terminate(); });
    EXPECT_EQ(SDDlg->ShowSDDlg(12), 2);
    EXPECT_FALSE(SDDlg->InShowModal());
}

TEST(SDDlgMessage, CopyTargetWithoutTheListOrFolder)
{
    EXPECT_EQ(SDMessageFor(10, u"").Text, UnicodeString(u"既存ファイル()があります。\n上書きしますか。"));
    EXPECT_EQ(SDMessageFor(10, u"D:\\x\\y.asf").Text,
              UnicodeString(u"既存ファイル(y.asf)があります。\n上書きしますか。"));
    EXPECT_EQ(SDMessageFor(23, u""), (TSDMessage{u"      終了しますか。     ", u"はい", u"キャンセル"}));
}

} // namespace
