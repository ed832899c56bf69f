#include <gtest/gtest.h>

#include "VclFixture.h"

namespace {

class TTestForm : public TForm {
public:
    TTestForm(TComponent* owner, const char16_t* name, EventLog& log) : TForm(owner), FLog(log)
    {
        SetName(name);
        const std::string n = driver_name(name);
        OnShow = [this, n](TObject*) { FLog.Add(n + ".OnShow"); };
        OnHide = [this, n](TObject*) { FLog.Add(n + ".OnHide"); };
        OnResize = [this, n](TObject*) { FLog.Add(n + ".OnResize"); };
        SetBounds(10, 10, 300, 200); // during the build: no OnResize
    }
    ~TTestForm() override { FLog.Add("~" + TestDriver::Utf8(Name())); }
    static std::string driver_name(const char16_t* n) { return TestDriver::Utf8(n); }

private:
    EventLog& FLog;
};

// A form CreateForm can build (the application's main form in these tests).
struct TMain : TTestForm {
    explicit TMain(TComponent* o) : TTestForm(o, u"Main", *Log) {}
    static inline EventLog* Log = nullptr;
};

class FormTest : public VclTest {
protected:
    TTestForm* Make(const char16_t* name)
    {
        auto* f = new TTestForm(&app, name, log);
        f->AfterConstruction();
        return f;
    }
    FormTest() { TMain::Log = &log; }
    // The forms log their end: they go before the log does.
    ~FormTest() override { app.DestroyComponents(); }
    EventLog log;
};

TEST_F(FormTest, OnShowAndOnHideOnlyOnARealChange)
{
    TTestForm* f = Make(u"F");
    f->Show();
    f->Show();
    f->SetVisible(true);
    f->Hide();
    f->Hide();
    f->Show();
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"F.OnShow", "F.OnHide", "F.OnShow"}));
}

TEST_F(FormTest, OnResizeOnlyAfterTheBuildAndOnlyForASizeChange)
{
    TTestForm* f = Make(u"F");
    EXPECT_TRUE(log.Take().empty());
    f->SetLeft(50); // a move is no resize
    f->SetWidth(400);
    f->SetBounds(50, 10, 400, 200);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"F.OnResize"}));
}

TEST_F(FormTest, CloseActions)
{
    struct Row {
        TCloseAction action;
        bool visibleAfter;
        bool existsAfterPump;
    };
    const Row rows[] = {{caHide, false, true}, {caNone, true, true}, {caFree, true, false}, {caMinimize, true, true}};
    TMain* main = nullptr; // the main form is not under test here
    app.CreateForm(main);
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.action));
        TTestForm* f = Make(u"Other");
        const auto life = f->LifeToken();
        f->OnClose = [&](TObject*, TCloseAction& a) {
            EXPECT_EQ(a, caHide); // the framework's default
            a = row.action;
        };
        f->Show();
        f->Close();
        EXPECT_TRUE(Alive(life)); // caFree deletes from the message loop, not inside Close
        EXPECT_EQ(f->Visible(), row.visibleAfter);
        driver->Pump();
        EXPECT_EQ(Alive(life), row.existsAfterPump);
        if (Alive(life))
            delete f;
        EXPECT_FALSE(app.Terminated());
    }
}

TEST_F(FormTest, OnCloseQueryCanRefuse)
{
    TTestForm* f = Make(u"F");
    f->Show();
    bool allow = false;
    int closes = 0;
    f->OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    f->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    f->Close();
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(closes, 0);
    allow = true;
    f->Close();
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(closes, 1);
}

TEST_F(FormTest, ClosingTheMainFormEndsTheApplication)
{
    TMain* main = nullptr;
    app.CreateForm(main);
    driver->Then([&] { EXPECT_TRUE(driver->CloseByTitleBar(*main)); }, "close box");
    app.Run();
    EXPECT_TRUE(app.Terminated());
    EXPECT_TRUE(main->Visible()); // it ends the application instead of hiding
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"Main.OnShow"}));
}

TEST_F(FormTest, ADockedFormShowsWithItsHost)
{
    TTestForm* host = Make(u"Host");
    auto* panel = new TPanel(host);
    panel->SetParent(host);
    panel->SetAlign(alClient);
    auto* docked = new TTestForm(&app, u"Docked", log);
    docked->SetParent(panel);
    docked->SetAlign(alClient);
    docked->Show(); // while building: shows after the build
    docked->AfterConstruction();
    EXPECT_FALSE(docked->Showing());
    EXPECT_TRUE(log.Take().empty());
    host->Show();
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"Host.OnShow", "Docked.OnShow"}));
    EXPECT_EQ(docked->Width(), host->ClientWidth());
    EXPECT_EQ(docked->Height(), host->ClientHeight());
    host->Hide();
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"Host.OnHide", "Docked.OnHide"}));
}

TEST_F(FormTest, PositionCentresOnTheMainFormAtEveryShow)
{
    TMain* main = nullptr;
    app.CreateForm(main);
    TTestForm* box = Make(u"Box");
    box->SetPosition(poMainFormCenter);
    box->SetBounds(0, 0, 100, 50);
    main->SetBounds(200, 100, 400, 300);
    box->Show();
    EXPECT_EQ(box->Left(), 200 + (400 - 100) / 2);
    EXPECT_EQ(box->Top(), 100 + (300 - 50) / 2);
    box->Hide();
    main->SetLeft(0);
    box->Show();
    EXPECT_EQ(box->Left(), (400 - 100) / 2);
}

TEST_F(FormTest, ClientAreaFollowsTheBorderStyle)
{
    TTestForm* f = Make(u"F");
    f->SetBorderStyle(bsNone);
    f->SetClientWidth(545);
    f->SetClientHeight(86);
    EXPECT_EQ(f->Width(), 545);
    EXPECT_EQ(f->Height(), 86);
    f->SetBorderStyle(bsToolWindow);
    f->SetClientHeight(143);
    EXPECT_EQ(f->ClientHeight(), 143);
    EXPECT_GT(f->Height(), 143);
}

TEST_F(FormTest, KeyPreviewAndDefaultButtons)
{
    TTestForm* f = Make(u"F");
    auto* edit = new TEdit(f);
    edit->SetParent(f);
    auto* ok = new TButton(f);
    ok->SetParent(f);
    ok->SetDefault(true);
    auto* cancel = new TButton(f);
    cancel->SetParent(f);
    cancel->SetCancel(true);
    ok->OnClick = [&](TObject*) { log.Add("ok"); };
    cancel->OnClick = [&](TObject*) { log.Add("cancel"); };
    f->SetKeyPreview(true);
    f->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) {
        log.Add("form key " + std::to_string(key));
        if (key == VK_F1)
            key = 0; // taken by the form: the control sees nothing
    };
    edit->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) { log.Add("edit key " + std::to_string(key)); };
    f->Show();
    log.Take();
    driver->PressKey(*edit, VK_RETURN);
    driver->PressKey(*edit, VK_ESCAPE);
    driver->PressKey(*edit, VK_F1);
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{"form key 13", "edit key 13", "ok", "form key 27", "edit key 27", "cancel",
                                        "form key 112"}));
    EXPECT_EQ(edit->Text(), u"");
}

TEST_F(FormTest, FocusNeedsAShownEnabledControl)
{
    TTestForm* f = Make(u"F");
    auto* edit = new TEdit(f);
    edit->SetParent(f);
    EXPECT_THROW(edit->SetFocus(), EInvalidOperation); // form hidden
    f->Show();
    edit->SetEnabled(false);
    EXPECT_THROW(edit->SetFocus(), EInvalidOperation);
    edit->SetEnabled(true);
    edit->SetFocus();
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(f->ActiveControl(), edit);
    delete edit;
    EXPECT_EQ(f->ActiveControl(), nullptr);
}

TEST_F(FormTest, FocusingADockedFormFocusesItsOwnControl)
{
    TTestForm* host = Make(u"Host");
    auto* hostEdit = new TEdit(host);
    hostEdit->SetParent(host);
    auto* panel = new TPanel(host);
    panel->SetParent(host);
    panel->SetBounds(0, 30, 200, 100);
    auto* docked = new TTestForm(&app, u"Docked", log);
    docked->SetParent(panel);
    docked->SetAlign(alClient);
    docked->Show();
    docked->AfterConstruction();
    auto* first = new TEdit(docked);
    first->SetParent(docked);
    auto* second = new TEdit(docked);
    second->SetParent(docked);
    second->SetTop(30);
    host->Show();

    docked->SetFocus();
    EXPECT_EQ(host->ActiveControl(), first) << "no active control yet: the first tab stop";
    second->SetFocus();
    hostEdit->SetFocus();
    EXPECT_EQ(docked->ActiveControl(), second) << "the docked form remembers its own";
    docked->SetFocus();
    EXPECT_EQ(host->ActiveControl(), second);
    EXPECT_TRUE(second->Focused());

    second->SetEnabled(false);
    docked->SetFocus();
    EXPECT_EQ(host->ActiveControl(), first) << "one that cannot take it is passed over";
    first->SetEnabled(false);
    docked->SetFocus();
    EXPECT_EQ(host->ActiveControl(), docked) << "nothing inside takes it: the form itself";
}

TEST_F(FormTest, MessagesPostedToAFormReachItsDispatch)
{
    struct TMapped : TForm {
        explicit TMapped(TComponent* o) : TForm(o) {}
        std::vector<win::UINT> seen;
        void Dispatch(TMessage& m) override
        {
            if (m.Msg >= WM_APP) {
                seen.push_back(m.Msg);
                m.Result = 7;
                return;
            }
            TForm::Dispatch(m);
        }
    };
    auto* f = NewForm<TMapped>(&app);
    PostMessage(f->Handle(), WM_APP + 3, 1, 0);
    EXPECT_TRUE(f->seen.empty());
    driver->Pump();
    EXPECT_EQ(f->seen, (std::vector<win::UINT>{WM_APP + 3}));
    EXPECT_EQ(SendMessage(f->Handle(), WM_APP + 5, 0, 0), 7);
    EXPECT_EQ(f->Perform(WM_APP + 6, 0, 0), 7);
}

} // namespace
