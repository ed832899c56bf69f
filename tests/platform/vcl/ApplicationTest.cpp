#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

EventLog gLog;

class TFirstForm;
class TSecondForm;
class TModule;
TFirstForm* FirstForm = nullptr;
TSecondForm* SecondForm = nullptr;
TModule* Module = nullptr;

class TModule : public TDataModule {
public:
    explicit TModule(TComponent* owner) : TDataModule(owner)
    {
        gLog.Add(std::string("TModule ctor, global set: ") + (Module == this ? "yes" : "no"));
        OnCreate = [](TObject*) { gLog.Add("TModule OnCreate"); };
    }
    ~TModule() override { gLog.Add("~TModule"); }
};

class TFirstForm : public TForm {
public:
    explicit TFirstForm(TComponent* owner) : TForm(owner)
    {
        SetName(u"FirstForm");
        gLog.Add(std::string("TFirstForm ctor, global set: ") + (FirstForm == this ? "yes" : "no") +
                 ", main form: " + (Application->MainForm() ? "set" : "none"));
        OnCreate = [](TObject*) {
            gLog.Add(std::string("TFirstForm OnCreate, main form: ") + (Application->MainForm() ? "set" : "none"));
        };
    }
    ~TFirstForm() override { gLog.Add("~TFirstForm"); }
};

class TSecondForm : public TForm {
public:
    explicit TSecondForm(TComponent* owner) : TForm(owner)
    {
        SetName(u"SecondForm");
        if (ThrowInConstructor)
            throw EInvalidOperation(u"second form fails");
        gLog.Add("TSecondForm ctor");
    }
    ~TSecondForm() override { gLog.Add("~TSecondForm"); }
    static inline bool ThrowInConstructor = false;
};

class ApplicationTest : public VclTest {
protected:
    ApplicationTest()
    {
        gLog.Take();
        FirstForm = nullptr;
        SecondForm = nullptr;
        Module = nullptr;
        TSecondForm::ThrowInConstructor = false;
    }
};

TEST_F(ApplicationTest, CreateFormSetsTheGlobalFirstAndMainFormAfterTheConstructor)
{
    app.CreateForm(Module);
    app.CreateForm(FirstForm);
    app.CreateForm(SecondForm);
    EXPECT_EQ(gLog.Take(),
              (std::vector<std::string>{
                  "TModule ctor, global set: yes",
                  "TModule OnCreate",
                  "TFirstForm ctor, global set: yes, main form: none",
                  "TFirstForm OnCreate, main form: none",
                  "TSecondForm ctor",
              }));
    EXPECT_EQ(app.MainForm(), FirstForm); // the data module never is
    EXPECT_FALSE(FirstForm->Visible());
}

TEST_F(ApplicationTest, ConstructorExceptionResetsTheGlobalAndGoesOn)
{
    app.CreateForm(FirstForm);
    TSecondForm::ThrowInConstructor = true;
    EXPECT_THROW(app.CreateForm(SecondForm), EInvalidOperation);
    EXPECT_EQ(SecondForm, nullptr);
    EXPECT_EQ(app.ComponentCount(), 1); // the half-built form left its owner
    EXPECT_EQ(driver->FindForm(u"SecondForm"), nullptr);
}

TEST_F(ApplicationTest, OnCreateExceptionGoesToTheExceptionBox)
{
    app.SetTitle(u"Title");
    driver->AnswerBox(IDOK);
    // A form whose OnCreate raises still stands.
    struct TBad : TForm {
        explicit TBad(TComponent* o) : TForm(o)
        {
            OnCreate = [](TObject*) { throw Exception(u"broken"); };
        }
    };
    TBad* bad = nullptr;
    app.CreateForm(bad);
    ASSERT_NE(bad, nullptr);
    ASSERT_EQ(driver->Boxes().size(), 1u);
    EXPECT_EQ(driver->Boxes()[0].text, u"broken.");
    EXPECT_EQ(driver->Boxes()[0].caption, u"Title");
    EXPECT_EQ(driver->Boxes()[0].type, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(app.MainForm(), bad);
}

TEST_F(ApplicationTest, ShowExceptionAddsNoPeriodAfterOne)
{
    driver->AllowUnexpectedBoxes(true);
    const Exception withPeriod(u"done.");
    const Exception japanese(u"失敗しました。");
    app.ShowException(&withPeriod);
    app.ShowException(&japanese);
    ASSERT_EQ(driver->Boxes().size(), 2u);
    EXPECT_EQ(driver->Boxes()[0].text, u"done.");
    EXPECT_EQ(driver->Boxes()[1].text, u"失敗しました。."); // "。" is above "."
}

TEST_F(ApplicationTest, OwnedObjectsGoInReverseOrderOfCreation)
{
    {
        TApplication inner;
        TestDriver innerDriver(inner, &driver->Clock());
        inner.CreateForm(Module);
        inner.CreateForm(FirstForm);
        inner.CreateForm(SecondForm);
        gLog.Take();
    }
    EXPECT_EQ(gLog.Take(), (std::vector<std::string>{"~TSecondForm", "~TFirstForm", "~TModule"}));
    EXPECT_EQ(Application, &app); // the outer application is back
}

TEST_F(ApplicationTest, TerminateDuringCreationLetsCreationFinishAndRunEndsAtOnce)
{
    app.CreateForm(FirstForm);
    int handled = 0;
    win::TMessageWindow target([&](win::TMessage& m) {
        if (m.Msg == WM_APP)
            ++handled;
    });
    PostMessage(target.Handle(), WM_APP, 0, 0);
    app.Terminate(); // only posts the quit
    app.CreateForm(SecondForm);
    EXPECT_NE(SecondForm, nullptr);
    EXPECT_FALSE(app.Terminated());
    app.Run(); // no idle step queued: Run must not wait
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(handled, 1); // posted before the quit, handled first
    EXPECT_TRUE(FirstForm->Visible()); // Run shows the main form first
}

TEST_F(ApplicationTest, RunWithoutMainFormReturns)
{
    app.Run();
    EXPECT_FALSE(app.Terminated());
}

TEST_F(ApplicationTest, HandlerExceptionInRunGoesToTheBoxAndTheLoopGoesOn)
{
    app.CreateForm(FirstForm);
    app.SetTitle(u"T");
    auto* button = new TButton(FirstForm);
    button->SetParent(FirstForm);
    button->OnClick = [](TObject*) { throw EConvertError(u"bad number"); };
    driver->AnswerBox(IDOK);
    driver->Then([&] { driver->Click(*button); }, "click");
    driver->Then([&] { FirstForm->Close(); }, "close");
    app.Run();
    ASSERT_EQ(driver->Boxes().size(), 1u);
    EXPECT_EQ(driver->Boxes()[0].text, u"bad number.");
    EXPECT_TRUE(app.Terminated());
}

TEST_F(ApplicationTest, RunThatWaitsForeverFailsInsteadOfHanging)
{
    app.CreateForm(FirstForm);
    driver->OnFailure = nullptr; // this failure is the expected outcome
    EXPECT_THROW(app.Run(), EDriverFailure);
    EXPECT_TRUE(driver->Failed());
    EXPECT_NE(driver->Failure().find("message loop waits"), std::string::npos);
    app.Run(); // after a failure every loop gives up at once
}

} // namespace

namespace {

// The shape of a program test: script first, then run the program's loop.
TEST_F(ApplicationTest, AScriptedRunClicksWaitsAndCloses)
{
    app.CreateForm(FirstForm);
    auto* button = new TButton(FirstForm);
    button->SetName(u"Start");
    button->SetParent(FirstForm);
    auto* timer = new TTimer(FirstForm);
    timer->SetEnabled(false);
    timer->SetInterval(500);
    std::vector<std::string> seen;
    button->OnClick = [&](TObject*) {
        seen.push_back("clicked");
        timer->SetEnabled(true);
    };
    timer->OnTimer = [&](TObject*) {
        seen.push_back("tick");
        timer->SetEnabled(false);
        FirstForm->Close(); // the main form: ends the application
    };
    driver->ThenClick(u"FirstForm", u"Start");
    driver->ThenAdvance(500);
    app.Run();
    EXPECT_EQ(seen, (std::vector<std::string>{"clicked", "tick"}));
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(driver->PendingSteps(), 0);
}

} // namespace
