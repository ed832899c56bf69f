// The password prompt on its own: it reaches the main window and the
// message box only when they exist.
#include "app/PassInput.h"

#include "app/Dlg.h"
#include "app/Globals.h"
#include "mainwindow/MAIN.h"
#include "platform/vcl/TestDriver.h"

#include <gtest/gtest.h>

namespace {

TEST(PassWordInputAlone, ToleratesMissingWindows)
{
    TApplication app;
    TestDriver driver;
    driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
    Application->CreateForm(PassWordInput);
    ASSERT_EQ(MainForm, nullptr);
    ASSERT_EQ(SDDlg, nullptr);
    EXPECT_EQ(PassWordInput->Caption(), UnicodeString(u"Velmorastine II"));
    EXPECT_EQ(PassWordInput->Edit1->PasswordChar(), u'*');
    PassWordInput->FExpectedPassword = "3804";
    ViewingAllowed = 0;
    PassWordInput->Show();

    driver.Type(u"PassWordInput", u"Edit1", u"0000");
    EXPECT_TRUE(driver.Click(u"PassWordInput", u"ButtonOK"));
    EXPECT_TRUE(PassWordInput->Visible());
    EXPECT_EQ(ViewingAllowed, 0);

    PassWordInput->Edit1->SetText(u"3804");
    driver.PressKey(*PassWordInput->Edit1, VK_RETURN);
    EXPECT_FALSE(PassWordInput->Visible());
    EXPECT_EQ(ViewingAllowed, 1);
    EXPECT_TRUE(driver.Boxes().empty());
    Application->DestroyComponents();
    EXPECT_EQ(PassWordInput, nullptr);
}

} // namespace
