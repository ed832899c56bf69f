// The progress window: counter texts, bar, stop button, placement and the
// nesting of one long operation inside another.
#include "app/ProgBar.h"

#include "platform/vcl/TestDriver.h"
#include "platform/win/win.h"

#include <gtest/gtest.h>

namespace {

class ProgFormTest : public ::testing::Test {
protected:
    ProgFormTest()
    {
        driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
        win::SetScreen(win::SIZE{1920, 1080}, win::RECT{0, 0, 1920, 1040});
        Application->CreateForm(main);
        Application->CreateForm(ProgForm);
        main->Show();
    }
    ~ProgFormTest() override
    {
        Application->DestroyComponents();
        win::ResetScreen();
    }

    UnicodeString Text() const { return ProgForm->Label1->Caption(); }

    TApplication app;
    TestDriver driver;
    TForm* main = nullptr;
};

TEST_F(ProgFormTest, CounterTextsByKind)
{
    ProgForm->ShowProgress(true);
    EXPECT_TRUE(ProgForm->Visible());
    EXPECT_TRUE(ProgForm->BtnStop->Visible());
    ProgForm->SetProgressTitle(AnsiString(u"コピー中...."));
    EXPECT_EQ(Text(), UnicodeString(u"コピー中...."));

    struct Case {
        int position, maximum, kind;
        const char16_t* text;
    };
    const Case cases[] = {
        {3, 10, 1, u"コピー中....  [3/10]"}, {40, 100, 3, u"コピー中....　[40件]"},
        {7, 20, 2, u"コピー中....　[40件]"}, // another kind keeps the text
        {0, 0, 1, u"コピー中....  [0/0]"},   {-1, 5, 1, u"コピー中....  [-1/5]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const int repaints = ProgForm->RepaintCount();
        ProgForm->SetProgress(c.position, c.maximum, c.kind);
        EXPECT_EQ(Text(), UnicodeString(c.text));
        EXPECT_EQ(ProgForm->ProgressBar1->Max(), c.maximum);
        EXPECT_GT(ProgForm->RepaintCount(), repaints);
    }
    ProgForm->SetProgress(3, 10, 1);
    EXPECT_EQ(ProgForm->ProgressBar1->Position(), 3);
    // The bar limits what lies outside its range.
    ProgForm->SetProgress(12, 10, 1);
    EXPECT_EQ(ProgForm->ProgressBar1->Position(), 10);
    EXPECT_EQ(Text(), UnicodeString(u"コピー中....  [12/10]"));
}

TEST_F(ProgFormTest, EachStepLetsPendingMessagesThrough)
{
    int handled = 0;
    win::TMessageWindow target([&](win::TMessage& m) {
        if (m.Msg == win::WM_APP)
            ++handled;
    });
    ProgForm->ShowProgress(false);
    win::PostMessage(target.Handle(), win::WM_APP, 0, 0);
    ProgForm->SetProgress(1, 2, 3);
    EXPECT_EQ(handled, 1);
}

TEST_F(ProgFormTest, StopButtonSetsTheFlagUntilTheNextShow)
{
    ProgForm->ShowProgress(true);
    ProgForm->SetProgress(5, 10, 1);
    EXPECT_EQ(ProgForm->FAbort, 0);
    EXPECT_EQ(ProgForm->BtnStop->Caption(), UnicodeString(u"中断"));
    EXPECT_TRUE(driver.Click(u"ProgForm", u"BtnStop"));
    EXPECT_EQ(ProgForm->FAbort, 1);

    // The flag outlives the window until it is shown again.
    ProgForm->HideProgress();
    EXPECT_FALSE(ProgForm->Visible());
    EXPECT_EQ(ProgForm->FAbort, 1);
    ProgForm->ShowProgress(false);
    EXPECT_EQ(ProgForm->FAbort, 0);
    EXPECT_FALSE(ProgForm->BtnStop->Visible());
    // Every show starts with an empty text and the bar at 0.
    EXPECT_EQ(Text(), UnicodeString());
    EXPECT_EQ(ProgForm->ProgressBar1->Position(), 0);
}

TEST_F(ProgFormTest, WindowShapeAndPlace)
{
    EXPECT_FALSE(ProgForm->Visible());
    EXPECT_EQ(ProgForm->BorderStyle(), bsNone);
    EXPECT_EQ(ProgForm->FormStyle(), fsStayOnTop);
    EXPECT_EQ(ProgForm->ExStyle(), WS_EX_TOOLWINDOW);
    EXPECT_EQ(ProgForm->ClientWidth(), 545);
    EXPECT_EQ(ProgForm->ClientHeight(), 86);
    // Centred on the work area (the taskbar's 40 pixels left out).
    EXPECT_EQ(ProgForm->Left(), (1920 - 545) / 2);
    EXPECT_EQ(ProgForm->Top(), (1040 - 86) / 2);
    EXPECT_EQ(ProgForm->ProgressBar1->BoundsRect(), Bounds(8, 30, 529, 20));
    EXPECT_EQ(ProgForm->BtnStop->BoundsRect(), Bounds(240, 56, 75, 25));
    EXPECT_EQ(ProgForm->Label1->Font()->Name(), UnicodeString(u"ＭＳ Ｐゴシック"));
    EXPECT_FALSE(ProgForm->BtnStop->Visible());
}

TEST_F(ProgFormTest, AnOperationInsideAnotherKeepsTheOuterOnesStopAndWindow)
{
    // A copy runs; the user asks it to stop; before it sees the flag, a
    // handler inside its step starts a scan.
    ProgForm->ShowProgress(true);
    ProgForm->SetProgressTitle(AnsiString(u"コピー中...."));
    ProgForm->SetProgress(2, 5, 1);
    EXPECT_TRUE(driver.Click(u"ProgForm", u"BtnStop"));

    ProgForm->ShowProgress(false);
    EXPECT_EQ(ProgForm->NestingLevel(), 2);
    EXPECT_EQ(ProgForm->FAbort, 1);
    EXPECT_TRUE(ProgForm->BtnStop->Visible());
    ProgForm->SetProgressTitle(AnsiString(u"読込み中...."));
    ProgForm->SetProgress(40, 40, 3);
    EXPECT_EQ(Text(), UnicodeString(u"読込み中....　[40件]"));

    // The scan ends: the copy's window, title and bar are back.
    ProgForm->HideProgress();
    EXPECT_TRUE(ProgForm->Visible());
    EXPECT_EQ(ProgForm->NestingLevel(), 1);
    EXPECT_EQ(Text(), UnicodeString(u"コピー中....  [2/5]"));
    EXPECT_EQ(ProgForm->ProgressBar1->Position(), 2);
    EXPECT_EQ(ProgForm->ProgressBar1->Max(), 5);
    ProgForm->SetProgress(3, 5, 1);
    EXPECT_EQ(Text(), UnicodeString(u"コピー中....  [3/5]"));
    EXPECT_EQ(ProgForm->FAbort, 1);

    ProgForm->HideProgress();
    EXPECT_FALSE(ProgForm->Visible());
    EXPECT_EQ(ProgForm->NestingLevel(), 0);

    // A caller that hides the window itself ends every level.
    ProgForm->ShowProgress(false);
    ProgForm->ShowProgress(true);
    ProgForm->Hide();
    EXPECT_EQ(ProgForm->NestingLevel(), 0);
    ProgForm->ShowProgress(false);
    EXPECT_EQ(ProgForm->NestingLevel(), 1);
    EXPECT_EQ(ProgForm->FAbort, 0);
}

} // namespace
