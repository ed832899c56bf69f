// Input from a real display (HostInput, in window coordinates) must reach
// the controls exactly as the test driver's input does: each row plays the
// same user action both ways on a fresh pair of forms and compares the
// events the program sees.
#include <gtest/gtest.h>

#include <functional>

#include "VclFixture.h"

namespace {

class WheelEdit : public TEdit {
public:
    WheelEdit(TComponent* owner, EventLog& log) : TEdit(owner), FLog(log) {}
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_MOUSEWHEEL)
            FLog.Add(rtl::ToUtf8(Name()) + " wheel " +
                     std::to_string(static_cast<std::int16_t>((m.WParam >> 16) & 0xFFFF)) + " keys " +
                     std::to_string(m.WParam & 0xFFFF));
        TEdit::Dispatch(m);
    }

private:
    EventLog& FLog;
};

// Two shown forms: F1 with a caption frame, an image, a framed panel
// holding a second image, an edit and a default button; F2 without a frame.
struct Scene {
    explicit Scene(TApplication& app)
    {
        f1 = NewForm<TForm>(&app);
        f1->SetName(u"F1");
        f1->SetBorderStyle(bsSingle);
        f1->SetBounds(50, 60, 400, 300);
        image1 = Make<TImage>(f1, u"Image1", 10, 20, 50, 40);
        panel = Make<TPanel>(f1, u"Panel1", 100, 100, 120, 80);
        panel->SetBorderWidth(4);
        image2 = Make<TImage>(panel, u"Image2", 5, 5, 30, 30);
        edit = new WheelEdit(f1, log);
        edit->SetName(u"Edit1");
        edit->SetParent(f1);
        edit->SetBounds(10, 200, 100, 20);
        edit->SetTabStop(true);
        button = Make<TButton>(f1, u"OK", 300, 200, 60, 24);
        button->SetDefault(true);
        f2 = NewForm<TForm>(&app);
        f2->SetName(u"F2");
        f2->SetBorderStyle(bsNone);
        f2->SetBounds(600, 60, 200, 100);
        for (TControl* c : {static_cast<TControl*>(image1), static_cast<TControl*>(panel),
                            static_cast<TControl*>(image2), static_cast<TControl*>(edit)})
            RecordMouse(log, c, rtl::ToUtf8(c->Name()));
        button->OnClick = [this](TObject*) { log.Add("OK click"); };
        edit->OnEnter = [this](TObject*) { log.Add("Edit1 enter focus"); };
        edit->OnExit = [this](TObject*) { log.Add("Edit1 exit focus"); };
        edit->OnKeyDown = [this](TObject*, std::uint16_t& k, TShiftState s) {
            log.Add("Edit1 keydown " + std::to_string(k) + (s.Contains(ssShift) ? " shift" : ""));
        };
        edit->OnKeyPress = [this](TObject*, char16_t& c) { log.Add("Edit1 keypress " + std::to_string(c)); };
        edit->OnKeyUp = [this](TObject*, std::uint16_t& k, TShiftState) {
            log.Add("Edit1 keyup " + std::to_string(k));
        };
        for (TForm* f : {f1, f2}) {
            const std::string n = rtl::ToUtf8(f->Name());
            f->OnActivate = [this, n](TObject*) { log.Add(n + " activate"); };
            f->OnDeactivate = [this, n](TObject*) { log.Add(n + " deactivate"); };
        }
        f2->Show();
        f1->Show();
        MouseInput::Reset();
        log.Take();
    }
    ~Scene()
    {
        MouseInput::Reset();
        delete f2;
        delete f1;
    }

    template <class T>
    T* Make(TWinControl* parent, const char16_t* name, int l, int t, int w, int h)
    {
        auto* c = new T(f1);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    // A point of control c (its client coordinates) in its form's window.
    static TPoint In(TControl* c, int x, int y)
    {
        return GetParentForm(c)->ScreenToClient(c->ClientToScreen(TPoint(x, y)));
    }
    static TPoint Centre(TControl* c) { return In(c, c->ClientWidth() / 2, c->ClientHeight() / 2); }

    TForm* f1;
    TForm* f2;
    TImage* image1;
    TPanel* panel;
    TImage* image2;
    WheelEdit* edit;
    TButton* button;
    EventLog log;
};

using Action = std::function<void(Scene&, TestDriver&)>;

struct Row {
    const char* name;
    Action host; // through HostInput
    Action driver; // the same through the test driver
};

void HostClick(Scene&, TForm* f, TPoint p)
{
    HostInput::Press(*f, mbLeft, {}, p.X, p.Y);
    HostInput::Release(*f, mbLeft, {}, p.X, p.Y);
}

class HostInputTest : public VclTest {};

TEST_F(HostInputTest, HostEventsReachControlsAsTheDriversDo)
{
    const Row rows[] = {
        {"click on an image", [](Scene& s, TestDriver&) { HostClick(s, s.f1, Scene::Centre(s.image1)); },
         [](Scene& s, TestDriver& d) { d.Click(*s.image1); }},
        {"click on a control inside a framed panel",
         [](Scene& s, TestDriver&) { HostClick(s, s.f1, Scene::Centre(s.image2)); },
         [](Scene& s, TestDriver& d) { d.Click(*s.image2); }},
        {"release outside goes to the pressed control, without a click",
         [](Scene& s, TestDriver&) {
             const TPoint a = Scene::In(s.image1, 15, 15), b = Scene::In(s.image2, 3, 4);
             HostInput::Press(*s.f1, mbLeft, {}, a.X, a.Y);
             HostInput::Move(*s.f1, {}, b.X, b.Y);
             HostInput::Release(*s.f1, mbLeft, {}, b.X, b.Y);
         },
         [](Scene& s, TestDriver& d) {
             d.MouseDown(*s.image1, 15, 15);
             d.MouseMove(*s.image2, 3, 4);
             d.MouseUp(*s.image2, 3, 4);
         }},
        {"moves without a button hover from control to control",
         [](Scene& s, TestDriver&) {
             const TPoint a = Scene::In(s.image1, 3, 4), b = Scene::In(s.panel, 1, 70);
             HostInput::Move(*s.f1, {}, a.X, a.Y);
             HostInput::Move(*s.f1, {}, b.X, b.Y);
             HostInput::Leave(*s.f1);
         },
         [](Scene& s, TestDriver& d) {
             d.MouseMove(*s.image1, 3, 4);
             d.MouseMove(*s.panel, 1, 70);
             MouseInput::HoverTo(nullptr);
         }},
        {"right button: down and up, no click",
         [](Scene& s, TestDriver&) {
             const TPoint a = Scene::In(s.image1, 2, 3);
             HostInput::Press(*s.f1, mbRight, {}, a.X, a.Y);
             HostInput::Release(*s.f1, mbRight, {}, a.X, a.Y);
         },
         [](Scene& s, TestDriver& d) {
             d.MouseDown(*s.image1, 2, 3, mbRight);
             d.MouseUp(*s.image1, 2, 3, mbRight);
         }},
        {"double click",
         [](Scene& s, TestDriver&) {
             const TPoint a = Scene::Centre(s.image1);
             HostClick(s, s.f1, a);
             HostInput::Press(*s.f1, mbLeft, {}, a.X, a.Y, true);
             HostInput::Release(*s.f1, mbLeft, {}, a.X, a.Y);
         },
         [](Scene& s, TestDriver& d) { d.DoubleClick(*s.image1); }},
        {"a disabled control gets enter only",
         [](Scene& s, TestDriver&) {
             s.image1->SetEnabled(false);
             HostClick(s, s.f1, Scene::Centre(s.image1));
         },
         [](Scene& s, TestDriver& d) {
             s.image1->SetEnabled(false);
             d.Click(*s.image1);
         }},
        {"a form blocked by a modal one takes no click and no key",
         [](Scene& s, TestDriver&) {
             s.f1->BlockForModal(true);
             HostClick(s, s.f1, Scene::Centre(s.image1));
             HostInput::KeyDown(*s.f1, VK_RETURN, u'\r', {});
             s.f1->BlockForModal(false);
         },
         [](Scene& s, TestDriver& d) {
             s.f1->BlockForModal(true);
             d.Click(*s.image1);
             s.f1->BlockForModal(false);
         }},
        {"keys go to the focused control: down, character, up",
         [](Scene& s, TestDriver&) {
             HostClick(s, s.f1, Scene::Centre(s.edit));
             HostInput::KeyDown(*s.f1, 'A', u'A', TShiftState{ssShift});
             HostInput::KeyUp(*s.f1, 'A', TShiftState{ssShift});
         },
         [](Scene& s, TestDriver& d) {
             d.Click(*s.edit);
             d.PressKey(*s.edit, 'A', TShiftState{ssShift});
         }},
        {"Enter reaches the default button",
         [](Scene& s, TestDriver&) {
             HostInput::FocusIn(*s.f1);
             HostInput::KeyDown(*s.f1, VK_RETURN, u'\r', {});
             HostInput::KeyUp(*s.f1, VK_RETURN, {});
         },
         [](Scene& s, TestDriver& d) {
             d.Activate(s.f1);
             d.PressKey(VK_RETURN);
         }},
        {"focus moves to the other window, then to another program",
         [](Scene& s, TestDriver&) {
             HostInput::FocusIn(*s.f2);
             HostInput::FocusOut(*s.f2);
             HostInput::FocusOut(*s.f1); // no longer active: nothing
         },
         [](Scene& s, TestDriver& d) {
             d.Activate(s.f2);
             d.Activate(nullptr);
         }},
        {"wheel goes to the focused control, 120 a notch",
         [](Scene& s, TestDriver&) {
             HostClick(s, s.f1, Scene::Centre(s.edit));
             HostInput::Wheel(*s.f1, TShiftState{ssCtrl}, 5, 5, 1);
             HostInput::Wheel(*s.f1, {}, 5, 5, -2);
         },
         [](Scene& s, TestDriver& d) {
             d.Click(*s.edit);
             s.log.Add("Edit1 wheel 120 keys 8");
             s.log.Add("Edit1 wheel -240 keys 0");
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> viaHost, viaDriver;
        {
            Scene s(app);
            row.host(s, *driver);
            viaHost = s.log.Take();
        }
        {
            Scene s(app);
            row.driver(s, *driver);
            viaDriver = s.log.Take();
        }
        EXPECT_FALSE(viaDriver.empty() && std::string(row.name).find("blocked") == std::string::npos);
        EXPECT_EQ(viaHost, viaDriver);
    }
}

TEST_F(HostInputTest, ControlAtFindsTheDeepestControlAndItsCoordinates)
{
    Scene s(app);
    TPoint local;
    EXPECT_EQ(HostInput::ControlAt(*s.f1, Scene::In(s.image2, 7, 9), local), s.image2);
    EXPECT_EQ(local, TPoint(7, 9));
    EXPECT_EQ(HostInput::ControlAt(*s.f1, Scene::In(s.panel, 1, 1), local), s.panel);
    EXPECT_EQ(local, TPoint(1, 1));
    EXPECT_EQ(HostInput::ControlAt(*s.f1, TPoint(390, 5), local), s.f1);
    EXPECT_EQ(local, TPoint(390, 5));
    s.image1->Hide();
    EXPECT_EQ(HostInput::ControlAt(*s.f1, Scene::Centre(s.image1), local), s.f1);
}

TEST_F(HostInputTest, CloseRequestAndWindowMoves)
{
    Scene s(app);
    s.f2->SetBorderIcons({});
    HostInput::CloseRequest(*s.f2); // no close box: stays
    EXPECT_TRUE(s.f2->Visible());
    HostInput::CloseRequest(*s.f1);
    EXPECT_FALSE(s.f1->Visible());
    HostInput::Moved(*s.f2, 10, 20);
    EXPECT_EQ(s.f2->BoundsRect(), TRect(10, 20, 210, 120));
}

} // namespace
