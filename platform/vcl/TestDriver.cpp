#include "platform/vcl/TestDriver.h"

#include "platform/rtl/CodePage.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/DateTimePicker.h"
#include "platform/vcl/MouseInput.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Messages.h"

namespace vcl {

namespace {

TControl* FindIn(TComponent* root, const UnicodeString& name)
{
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* c = root->Components(i);
        if (c->Name().CompareIC(name) == 0)
            if (auto* control = dynamic_cast<TControl*>(c))
                return control;
    }
    for (int i = 0; i < root->ComponentCount(); ++i)
        if (TControl* found = FindIn(root->Components(i), name))
            return found;
    if (auto* w = dynamic_cast<TWinControl*>(root))
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* c = w->Controls(i);
            if (c->Name().CompareIC(name) == 0)
                return c;
            if (c->Owner() != root)
                if (TControl* found = FindIn(c, name))
                    return found;
        }
    return nullptr;
}

TPoint Centre(const TControl& c) { return TPoint(c.ClientWidth() / 2, c.ClientHeight() / 2); }

// The character a key types, or 0.
char16_t CharOfKey(std::uint16_t key, TShiftState shift)
{
    switch (key) {
    case VK_BACK:
        return u'\b';
    case VK_TAB:
        return u'\t';
    case VK_RETURN:
        return u'\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_SPACE:
        return u' ';
    default:
        break;
    }
    if (key >= '0' && key <= '9')
        return static_cast<char16_t>(key);
    if (key >= 'A' && key <= 'Z')
        return static_cast<char16_t>(shift.Contains(ssShift) ? key : key + 32);
    return 0;
}

// The key that types a character (0 for characters without one).
std::uint16_t KeyOfChar(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<std::uint16_t>(c - 32);
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
        return c;
    switch (c) {
    case u' ':
        return VK_SPACE;
    case u'\b':
        return VK_BACK;
    case u'\r':
        return VK_RETURN;
    case u'\t':
        return VK_TAB;
    default:
        return 0;
    }
}

} // namespace

TestDriver::TestDriver() : TestDriver(*Application) {}

TestDriver::TestDriver(TApplication& app, win::VirtualClock* clock) : FApp(&app)
{
    // A virtual clock the test installed already is the one to move.
    if (!clock)
        clock = dynamic_cast<win::VirtualClock*>(&win::CurrentClock());
    if (clock) {
        FClockInUse = clock;
    } else {
        FOwnClock = std::make_unique<win::VirtualClock>();
        FClockScope = std::make_unique<win::ScopedClock>(*FOwnClock);
        FClockInUse = FOwnClock.get();
    }
    FPreviousIdle = FApp->GetIdleHandler();
    FApp->SetIdleHandler(this);
    FPreviousResponder = win::InstallMessageBoxResponder(this);
    MouseInput::Reset();
}

TestDriver::~TestDriver()
{
    MouseInput::Reset();
    win::InstallMessageBoxResponder(FPreviousResponder);
    if (Application == FApp || FApp->GetIdleHandler() == this)
        FApp->SetIdleHandler(FPreviousIdle);
}

std::string TestDriver::Utf8(const UnicodeString& text) { return rtl::ToUtf8(text); }

void TestDriver::Record(const std::string& text)
{
    if (FFailure.empty())
        FFailure = text;
    else
        FFailure += "; " + text;
    if (OnFailure)
        OnFailure(text);
}

void TestDriver::Fail(const std::string& text)
{
    Record(text);
    throw EDriverFailure(text);
}

TCustomForm* TestDriver::FindForm(const UnicodeString& formName) const
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Name().CompareIC(formName) == 0)
            return Screen->Forms(i);
    return nullptr;
}

TControl* TestDriver::FindControl(const UnicodeString& formName, const UnicodeString& controlName) const
{
    TCustomForm* form = FindForm(formName);
    return form ? FindIn(form, controlName) : nullptr;
}

TCustomForm& TestDriver::Form(const UnicodeString& formName)
{
    if (TCustomForm* form = FindForm(formName))
        return *form;
    Fail("no form named " + Utf8(formName));
}

TControl& TestDriver::Find(const UnicodeString& formName, const UnicodeString& controlName)
{
    TCustomForm& form = Form(formName);
    if (TControl* c = FindIn(&form, controlName))
        return *c;
    Fail("form " + Utf8(formName) + " has no control named " + Utf8(controlName));
}

bool TestDriver::Click(TControl& control)
{
    const TPoint p = Centre(control);
    const auto life = control.LifeToken();
    if (!MouseInput::Press(&control, mbLeft, {}, p.X, p.Y))
        return false;
    MouseInput::Release(Alive(life) ? &control : nullptr, mbLeft, {}, p.X, p.Y);
    return true;
}

bool TestDriver::Click(const UnicodeString& formName, const UnicodeString& controlName)
{
    return Click(Find(formName, controlName));
}

bool TestDriver::DoubleClick(TControl& control)
{
    const TPoint p = Centre(control);
    const auto life = control.LifeToken();
    if (!Click(control) || !Alive(life))
        return false;
    if (!MouseInput::Press(&control, mbLeft, {}, p.X, p.Y, true))
        return false;
    MouseInput::Release(Alive(life) ? &control : nullptr, mbLeft, {}, p.X, p.Y);
    return true;
}

bool TestDriver::MouseDown(TControl& control, int x, int y, TMouseButton button, TShiftState shift)
{
    return MouseInput::Press(&control, button, shift, x, y);
}

void TestDriver::MouseMove(TControl& control, int x, int y, TShiftState shift)
{
    MouseInput::Move(&control, shift, x, y);
}

bool TestDriver::MouseUp(TControl& control, int x, int y, TMouseButton button, TShiftState shift)
{
    return MouseInput::Release(&control, button, shift, x, y);
}

bool TestDriver::SetDateTime(TDateTimePicker& picker, double value)
{
    if (!picker.AcceptsInput())
        return false;
    if (picker.CanFocus() && !picker.Focused())
        picker.SetFocus();
    picker.UserSet(value);
    return true;
}

void TestDriver::Focus(TWinControl& control)
{
    if (!control.AcceptsInput() || !control.CanFocus())
        Fail("control " + Utf8(control.Name()) + " cannot take the keyboard focus");
    if (TCustomForm* form = GetParentForm(&control))
        Screen->SetActiveForm(form);
    if (!control.Focused()) {
        try {
            control.SetFocus();
        } catch (const rtl::Exception& e) {
            if (Application)
                Application->HandleException(&control, &e);
        }
    }
}

void TestDriver::Key(TWinControl& target, std::uint16_t key, char16_t ch, TShiftState shift)
{
    const auto life = target.LifeToken();
    const auto guarded = [&](auto&& f) {
        try {
            f();
        } catch (const rtl::Exception& e) {
            if (!Application)
                throw;
            Application->HandleException(&target, &e);
        }
    };
    std::uint16_t k = key;
    if (k != 0)
        guarded([&] { target.KeyDown(k, shift); });
    // A key that a handler took (set to 0) types no character.
    if (ch != 0 && Alive(life) && (key == 0 || k != 0)) {
        char16_t c = ch;
        guarded([&] { target.KeyPress(c); });
    }
    if (key != 0 && Alive(life)) {
        std::uint16_t up = key;
        guarded([&] { target.KeyUp(up, shift); });
    }
}

void TestDriver::Type(TWinControl& control, const UnicodeString& text)
{
    Focus(control);
    const auto life = control.LifeToken();
    for (char16_t c : text.str()) {
        if (!Alive(life))
            Fail("control went away while text was typed into it");
        Key(control, KeyOfChar(c), c, {});
    }
}

void TestDriver::Type(const UnicodeString& formName, const UnicodeString& controlName, const UnicodeString& text)
{
    TControl& c = Find(formName, controlName);
    auto* w = dynamic_cast<TWinControl*>(&c);
    if (!w)
        Fail("control " + Utf8(controlName) + " takes no typing");
    Type(*w, text);
}

void TestDriver::PressKey(TWinControl& control, std::uint16_t key, TShiftState shift)
{
    Focus(control);
    Key(control, key, CharOfKey(key, shift), shift);
}

void TestDriver::PressKey(std::uint16_t key, TShiftState shift)
{
    TCustomForm* form = Screen->ActiveForm();
    if (!form)
        Fail("no active form for a key press");
    TWinControl* target = form->ActiveControl();
    if (!target)
        target = form;
    if (!target->AcceptsInput())
        Fail("the active form takes no input");
    Key(*target, key, CharOfKey(key, shift), shift);
}

bool TestDriver::CloseByTitleBar(TCustomForm& form)
{
    if (!form.BorderIcons().Contains(biSystemMenu) || !form.AcceptsInput())
        return false;
    form.Perform(win::WM_CLOSE, 0, 0);
    return true;
}

void TestDriver::Activate(TCustomForm* form) { Screen->SetActiveForm(form); }

void TestDriver::AnswerForm(const UnicodeString& formName, const UnicodeString& controlName)
{
    Step s;
    s.description = "click " + Utf8(formName) + "." + Utf8(controlName);
    s.formName = formName;
    s.action = [this, formName, controlName] {
        TControl& c = Find(formName, controlName);
        if (!Click(c))
            Fail("control " + Utf8(formName) + "." + Utf8(controlName) + " did not take the click");
    };
    FSteps.push_back(std::move(s));
}

void TestDriver::AnswerFormResult(const UnicodeString& formName, int modalResult)
{
    Step s;
    s.description = "modal result " + std::to_string(modalResult) + " for " + Utf8(formName);
    s.formName = formName;
    s.action = [this, formName, modalResult] { Form(formName).SetModalResult(modalResult); };
    FSteps.push_back(std::move(s));
}

void TestDriver::Then(std::function<void()> step, const std::string& description)
{
    Step s;
    s.description = description;
    s.action = std::move(step);
    FSteps.push_back(std::move(s));
}

void TestDriver::ThenClick(const UnicodeString& formName, const UnicodeString& controlName)
{
    Then(
        [this, formName, controlName] {
            if (!Click(Find(formName, controlName)))
                Fail("control " + Utf8(formName) + "." + Utf8(controlName) + " did not take the click");
        },
        "click " + Utf8(formName) + "." + Utf8(controlName));
}

void TestDriver::ThenAdvance(std::uint64_t ms)
{
    Then([this, ms] { Advance(ms); }, "wait " + std::to_string(ms) + " ms");
}

void TestDriver::AnswerBox(int button) { FBoxAnswers.push_back(button); }

bool TestDriver::Idle(const IdleContext& context)
{
    if (Failed())
        return false; // every loop gives up after a failure
    const std::string who =
        context.ModalForm ? "the modal loop of " + Utf8(context.ModalForm->Name()) : std::string("the message loop");
    if (FSteps.empty())
        Fail(who + " waits with no answer coming");
    Step step = std::move(FSteps.front());
    FSteps.pop_front();
    if (!step.formName.IsEmpty() && (!context.ModalForm || context.ModalForm->Name().CompareIC(step.formName) != 0))
        Fail(who + " waits, but the next answer is: " + step.description);
    step.action();
    return !Failed();
}

int TestDriver::Answer(const win::MessageBoxCall& call)
{
    FBoxes.push_back(call);
    if (!FBoxAnswers.empty()) {
        const int answer = FBoxAnswers.front();
        FBoxAnswers.pop_front();
        return answer;
    }
    if (!FAllowBoxes)
        Record("unexpected message box \"" + rtl::Utf16ToUtf8(call.text) + "\" (caption \"" +
               rtl::Utf16ToUtf8(call.caption) + "\")");
    return win::DefaultMessageBoxResult(call.type);
}

void TestDriver::Advance(std::uint64_t ms)
{
    while (ms > 0) {
        const std::uint64_t chunk = std::min<std::uint64_t>(ms, 0x7FFFFFFF);
        ms -= chunk;
        if (!win::PumpFor(static_cast<win::DWORD>(chunk))) {
            // The quit belongs to the application's loops.
            win::MSG m;
            while (win::PeekMessage(&m, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE)) {}
            FApp->NoteQuit();
            return;
        }
    }
}

void TestDriver::Pump() { FApp->ProcessMessages(); }

} // namespace vcl
