// The password-change dialog against the main window's copy of the
// password, and the settings file it is stored in.
#include "app/PassChange.h"

#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/PasswordScramble.h"
#include "mainwindow/MAIN.h"
#include "platform/vcl/TestDriver.h"

#include "AppCard.h"
#include "tests/support/MainFormState.h"

#include <gtest/gtest.h>

namespace {

using app_test::AppCard;
using app_test::Hex;

class PWChangeTest : public ::testing::Test {
protected:
    PWChangeTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        ProgramFolder = u"E:\\";
        Application->CreateForm(MainForm);
        Application->CreateForm(SDDlg);
        Application->CreateForm(PWChange);
        MainForm->Show();
        StateOf(*MainForm).FPassword = "old1";
        PWChange->Show();
    }
    ~PWChangeTest() override { Application->DestroyComponents(); }

    // Fills the three edits as the user types and confirms with `confirm`.
    void Enter(const char16_t* oldText, const char16_t* newText, const char16_t* confText)
    {
        driver.Type(*PWChange->EditOld, oldText);
        driver.Type(*PWChange->EditNew, newText);
        driver.Type(*PWChange->EditConf, confText);
    }
    // The next box must show `text`; it is confirmed.
    void ExpectMessage(const char16_t* text)
    {
        driver.Then([this, text] {
            EXPECT_EQ(SDDlg->Line2Label->Caption(), UnicodeString(text));
            driver.Click(*SDDlg->OKSDLabel);
        });
    }

    AppCard card;
    TApplication app;
    TestDriver driver;
};

TEST_F(PWChangeTest, WrongOldPassword)
{
    const std::string settings = card.Read("Icon/view");
    Enter(u"bad", u"new1", u"new1");
    ExpectMessage(u"既存パスワードが違います。");
    driver.PressKey(*PWChange->EditConf, VK_RETURN);
    EXPECT_EQ(MainForm->Password(), AnsiString("old1"));
    EXPECT_TRUE(PWChange->Visible());
    EXPECT_TRUE(PWChange->EditOld->Focused());
    EXPECT_EQ(PWChange->EditOld->SelLength(), 3);
    EXPECT_EQ(card.Read("Icon/view"), settings);
}

TEST_F(PWChangeTest, ConfirmationDiffers)
{
    Enter(u"old1", u"new1", u"new2");
    ExpectMessage(u"確認パスワードが違います。");
    EXPECT_TRUE(driver.Click(u"PWChange", u"ButtonOK"));
    EXPECT_EQ(MainForm->Password(), AnsiString("old1"));
    EXPECT_TRUE(PWChange->EditNew->Focused());
    EXPECT_EQ(PWChange->EditNew->SelLength(), 4);
    EXPECT_EQ(PWChange->EditConf->Text(), UnicodeString());
}

TEST_F(PWChangeTest, StoresTheNewPasswordScrambled)
{
    // At most 8 characters can be typed.
    Enter(u"old1", u"abcdefghij", u"abcdefgh");
    EXPECT_EQ(PWChange->EditNew->Text(), UnicodeString(u"abcdefgh"));
    ExpectMessage(u"パスワードを保存しました。");
    driver.PressKey(*PWChange->EditNew, VK_RETURN);
    EXPECT_EQ(MainForm->Password(), AnsiString("abcdefgh"));
    EXPECT_FALSE(PWChange->Visible());
    EXPECT_EQ(card.Read("Icon/view"),
              "[SYSTEM]\r\np_m=" + Hex(EncodePassword("abcdefgh").str()) +
                  "\r\nscreen=4\r\n[VIEWER_VER]\r\nversion=V05A01\r\n");

    // Shown again: empty edits; an empty new password is stored empty.
    PWChange->Show();
    EXPECT_EQ(PWChange->EditOld->Text(), UnicodeString());
    Enter(u"abcdefgh", u"", u"");
    ExpectMessage(u"パスワードを保存しました。");
    EXPECT_TRUE(driver.Click(u"PWChange", u"ButtonOK"));
    EXPECT_EQ(MainForm->Password(), AnsiString());
    EXPECT_NE(card.Read("Icon/view").find("p_m=\r\n"), std::string::npos);
}

TEST_F(PWChangeTest, APasswordTheCardRefusedIsNotReportedAsSaved)
{
    const std::string settings = card.Read("Icon/view");
    win::DriveTable::Instance().SetWriteProtected(u'E', true);
    Enter(u"old1", u"new1", u"new1");
    EXPECT_TRUE(driver.Click(u"PWChange", u"ButtonOK"));
    win::DriveTable::Instance().SetWriteProtected(u'E', false);
    // No message 15; the old password stays in force and the dialog open.
    EXPECT_EQ(driver.PendingSteps(), 0);
    EXPECT_FALSE(SDDlg->Visible());
    EXPECT_TRUE(PWChange->Visible());
    EXPECT_EQ(MainForm->Password(), AnsiString("old1"));
    EXPECT_EQ(card.Read("Icon/view"), settings);
}

TEST_F(PWChangeTest, EscapeAndCancelOnlyHide)
{
    Enter(u"old1", u"x", u"x");
    driver.PressKey(*PWChange->EditOld, VK_ESCAPE);
    EXPECT_FALSE(PWChange->Visible());
    PWChange->Show();
    EXPECT_TRUE(driver.Click(u"PWChange", u"ButtonCancel"));
    EXPECT_FALSE(PWChange->Visible());
    EXPECT_EQ(MainForm->Password(), AnsiString("old1"));
    EXPECT_EQ(driver.PendingSteps(), 0);
}

TEST_F(PWChangeTest, WithoutTheMainWindowNothingHappens)
{
    delete MainForm;
    EXPECT_EQ(MainForm, nullptr);
    Enter(u"old1", u"n", u"n");
    EXPECT_TRUE(driver.Click(u"PWChange", u"ButtonOK"));
    EXPECT_TRUE(PWChange->Visible());
}

} // namespace
