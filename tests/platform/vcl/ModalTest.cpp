#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

// A box with two buttons, as the program's own message box.
class TBox : public TForm {
public:
    explicit TBox(TComponent* owner, const char16_t* name = u"Box") : TForm(owner)
    {
        SetName(name);
        Ok = new TButton(this);
        Ok->SetName(u"Ok");
        Ok->SetParent(this);
        Ok->OnClick = [this](TObject*) { SetModalResult(mrOk); };
        No = new TButton(this);
        No->SetName(u"No");
        No->SetParent(this);
        No->SetModalResult(mrCancel); // through the button's own property
        OnShow = [this](TObject*) { Events.push_back("show"); };
        OnHide = [this](TObject*) { Events.push_back("hide"); };
    }
    TButton* Ok;
    TButton* No;
    std::vector<std::string> Events;
};

class ModalTest : public VclTest {
protected:
    ModalTest()
    {
        main = NewForm<TForm>(&app);
        main->SetName(u"Main");
        main->Show();
        box = NewForm<TBox>(&app);
    }
    TForm* main;
    TBox* box;
};

TEST_F(ModalTest, ButtonsEndTheLoopWithTheirResult)
{
    struct Row {
        const char16_t* button;
        int result;
    };
    for (const Row& row : {Row{u"Ok", mrOk}, Row{u"No", mrCancel}}) {
        SCOPED_TRACE(TestDriver::Utf8(row.button));
        driver->AnswerForm(u"Box", row.button);
        EXPECT_EQ(box->ShowModal(), row.result);
        EXPECT_FALSE(box->Visible());
        EXPECT_EQ(box->ModalResult(), row.result);
    }
    EXPECT_EQ(box->Events, (std::vector<std::string>{"show", "hide", "show", "hide"}));
    EXPECT_EQ(driver->PendingSteps(), 0);
}

TEST_F(ModalTest, AVisibleFormCannotBeShownModally)
{
    box->Show();
    EXPECT_THROW(box->ShowModal(), EInvalidOperation);
    box->Hide();
    box->SetEnabled(false);
    EXPECT_THROW(box->ShowModal(), EInvalidOperation);
}

TEST_F(ModalTest, OtherFormsTakeNoInputWhileTheLoopRuns)
{
    auto* button = new TButton(main);
    button->SetParent(main);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    bool delivered = true;
    driver->Then([&] { delivered = driver->Click(*button); }, "click the main form");
    driver->AnswerForm(u"Box", u"Ok");
    EXPECT_EQ(box->ShowModal(), mrOk);
    EXPECT_FALSE(delivered);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(driver->Click(*button)); // free again afterwards
    EXPECT_EQ(clicks, 1);
}

TEST_F(ModalTest, PostedMessagesAndTimersRunInsideTheLoop)
{
    std::vector<std::string> seen;
    win::TMessageWindow target([&](win::TMessage& m) {
        if (m.Msg == WM_APP)
            seen.push_back("posted");
    });
    auto* timer = new TTimer(main);
    timer->SetInterval(100);
    timer->OnTimer = [&](TObject*) {
        seen.push_back("tick");
        timer->SetEnabled(false);
    };
    PostMessage(target.Handle(), WM_APP, 0, 0);
    driver->Then([&] { driver->Advance(100); }, "wait 100 ms");
    driver->AnswerForm(u"Box", u"Ok");
    EXPECT_EQ(box->ShowModal(), mrOk);
    EXPECT_EQ(seen, (std::vector<std::string>{"posted", "tick"}));
}

TEST_F(ModalTest, QuitInsideTheLoopEndsItWithCancelAndEndsRun)
{
    app.CreateForm(main); // replaces main by a fresh main form made by CreateForm
    driver->Then([&] { app.Terminate(); }, "terminate");
    EXPECT_EQ(box->ShowModal(), mrCancel);
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(box->Visible());
    app.Run(); // the quit reached the outer loop too: Run ends at once
}

TEST_F(ModalTest, NestedLoopsEndInnerFirst)
{
    auto* inner = NewForm<TBox>(&app, u"Inner");
    std::vector<int> results;
    box->Ok->OnClick = [&](TObject*) {
        results.push_back(inner->ShowModal());
        box->SetModalResult(mrOk);
    };
    driver->AnswerForm(u"Box", u"Ok");
    driver->AnswerForm(u"Inner", u"No");
    results.push_back(box->ShowModal());
    EXPECT_EQ(results, (std::vector<int>{mrCancel, mrOk}));
    EXPECT_EQ(app.ModalLevel(), 0);
}

TEST_F(ModalTest, OnCloseCaNoneKeepsTheLoopWaiting)
{
    int asked = 0;
    box->OnClose = [&](TObject*, TCloseAction& a) {
        if (++asked == 1)
            a = caNone;
    };
    driver->AnswerForm(u"Box", u"Ok");
    driver->AnswerForm(u"Box", u"No");
    EXPECT_EQ(box->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(ModalTest, CloseInsideTheLoopIsACancel)
{
    driver->Then([&] { EXPECT_TRUE(driver->CloseByTitleBar(*box)); }, "close box");
    EXPECT_EQ(box->ShowModal(), mrCancel);
}

TEST_F(ModalTest, ALoopWithNoAnswerFailsInsteadOfHanging)
{
    driver->OnFailure = nullptr; // expected here
    EXPECT_THROW(box->ShowModal(), EDriverFailure);
    EXPECT_TRUE(driver->Failed());
    EXPECT_NE(driver->Failure().find("modal loop of Box waits with no answer coming"), std::string::npos);
    EXPECT_FALSE(box->Visible());
    EXPECT_EQ(app.ModalLevel(), 0);
    // A program that swallows the failure still cannot hang: every loop gives up.
    EXPECT_EQ(box->ShowModal(), mrCancel);
}

TEST_F(ModalTest, AnAnswerForAnotherFormFails)
{
    driver->OnFailure = nullptr;
    driver->AnswerForm(u"SomeOtherBox", u"Ok");
    EXPECT_THROW(box->ShowModal(), EDriverFailure);
    EXPECT_NE(driver->Failure().find("click SomeOtherBox.Ok"), std::string::npos);
}

TEST_F(ModalTest, ReleaseInsideTheLoopDeletesAfterwards)
{
    const auto life = box->LifeToken();
    box->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    driver->AnswerForm(u"Box", u"Ok");
    EXPECT_EQ(box->ShowModal(), mrOk);
    EXPECT_TRUE(Alive(life));
    driver->Pump();
    EXPECT_FALSE(Alive(life));
}

} // namespace

namespace {

// Records the activation messages its Dispatch sees.
class TWatched : public TForm {
public:
    TWatched(TComponent* owner, const char16_t* name, std::vector<std::string>& log) : TForm(owner), FLog(log)
    {
        SetName(name);
    }
    void Dispatch(TMessage& m) override
    {
        const std::string n = TestDriver::Utf8(Name());
        if (m.Msg == WM_ACTIVATE)
            FLog.push_back(n + (m.WParam ? " activate" : " deactivate"));
        else if (m.Msg == WM_SETFOCUS)
            FLog.push_back(n + " setfocus");
        else if (m.Msg == WM_KILLFOCUS)
            FLog.push_back(n + " killfocus");
        TForm::Dispatch(m);
    }

private:
    std::vector<std::string>& FLog;
};

TEST_F(VclTest, ActivationMovesToAModalFormAndBack)
{
    std::vector<std::string> log;
    auto* main = NewForm<TWatched>(&app, u"Main", log);
    auto* box = NewForm<TWatched>(&app, u"Box", log);
    main->Show();
    EXPECT_EQ(log, (std::vector<std::string>{"Main activate", "Main setfocus"}));
    log.clear();
    driver->AnswerFormResult(u"Box", mrOk);
    EXPECT_EQ(box->ShowModal(), mrOk);
    EXPECT_EQ(log,
              (std::vector<std::string>{"Main deactivate", "Box activate", "Main killfocus", "Box setfocus",
                                        "Box deactivate", "Main activate", "Box killfocus", "Main setfocus"}));
    log.clear();
    driver->Activate(nullptr); // another program takes the focus
    EXPECT_EQ(log, (std::vector<std::string>{"Main deactivate", "Main killfocus"}));
}

} // namespace

namespace {

TEST(ModalWithoutDriverTest, ALoopNothingCanEndStallsInsteadOfHanging)
{
    win::VirtualClock clock;
    win::ScopedClock scope(clock);
    TApplication app; // no driver: the loops wait through the Windows layer
    auto* form = NewForm<TForm>(&app);
    EXPECT_THROW(form->ShowModal(), win::EMessageLoopStalled);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(app.ModalLevel(), 0);
}

} // namespace

namespace {

TEST(ProcessMessagesTest, ATimerSlowerThanItsPeriodStillLetsTheCallerOn)
{
    // Each tick takes longer than the period, so a tick is always due: the
    // call gives the messages a bounded turn and returns to its caller.
    win::VirtualClock clock;
    win::ScopedClock scope(clock);
    TApplication app;
    auto* timer = new TTimer(&app);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        clock.Advance(30);
    };
    timer->SetInterval(10);
    timer->SetEnabled(true);
    clock.Advance(10);
    app.ProcessMessages();
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 10);
    const int before = ticks;
    clock.Advance(10);
    app.ProcessMessages(); // the rest waits for the next call, not lost
    EXPECT_GT(ticks, before);
}

} // namespace
