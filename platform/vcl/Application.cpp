#include "platform/vcl/Application.h"

#include <algorithm>

#include "platform/vcl/CustomForm.h"
#include "platform/vcl/DataModule.h"
#include "platform/win/Clock.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Messages.h"

namespace vcl {

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr), FPrevious(Application) { Application = this; }

TApplication::~TApplication()
{
    // The forms and modules go newest first, while this object is whole.
    DestroyComponents();
    FHandle.reset();
    // A quit nobody took would end the next loop of this thread at once.
    win::MSG m;
    while (win::PeekMessage(&m, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE)) {}
    if (Application == this)
        Application = FPrevious;
}

void TApplication::Initialize() {}

win::HWND TApplication::Handle()
{
    if (!FHandle)
        FHandle = std::make_unique<win::TMessageWindow>([](win::TMessage&) {});
    return FHandle->Handle();
}

void TApplication::AfterCreate(TComponent* instance)
{
    const auto life = instance->LifeToken();
    if (auto* form = dynamic_cast<TCustomForm*>(instance)) {
        form->AfterConstruction();
        if (Alive(life) && !FMainForm)
            FMainForm = form;
    } else if (auto* module = dynamic_cast<TDataModule*>(instance)) {
        try {
            module->AfterConstruction();
        } catch (const rtl::Exception& e) {
            HandleException(module, &e);
        }
    }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
}

bool TApplication::ProcessOne()
{
    win::MSG msg;
    if (!win::PeekMessage(&msg, nullptr, 0, 0, win::PM_REMOVE))
        return false;
    if (msg.message == win::WM_QUIT) {
        FTerminated = true;
        return true;
    }
    win::TranslateMessage(&msg);
    win::DispatchMessage(&msg);
    return true;
}

bool TApplication::HandleOne(TCustomForm* modalForm)
{
    if (ProcessOne())
        return true;
    if (OnIdle)
        OnIdle(this);
    if (FIdleHandler) {
        IdleContext context;
        context.ModalForm = modalForm;
        context.ModalLevel = ModalLevel();
        return FIdleHandler->Idle(context);
    }
    // The program's default: wait until something arrives, then let the
    // caller look at its condition again; a message sent meanwhile is handled
    // inside the wait and may have ended the loop. Under the virtual clock the
    // layer moves the clock to the next timer, or calls its stall handler when
    // nothing can come.
    win::WaitMessage();
    return true;
}

void TApplication::HandleMessage() { HandleOne(nullptr); }

void TApplication::ProcessMessages()
{
    // As the framework: a quit on the way marks the application terminated
    // and the messages behind it are still handled. Messages that keep coming
    // faster than they are handled (timers and paints of a slow display) would
    // hold the caller here for good, so a call gives them up to this long on
    // the program's clock and then returns; the rest waits for the next call.
    constexpr std::uint64_t kBudgetMs = 250;
    const std::uint64_t start = win::GetTickCount64();
    while (ProcessOne()) {
        if (win::GetTickCount64() - start >= kBudgetMs)
            break;
    }
}

void TApplication::Run()
{
    if (!FMainForm)
        return;
    if (ShowMainForm && !FMainForm->Visible())
        FMainForm->Show();
    while (!FTerminated) {
        try {
            if (!HandleOne(nullptr))
                break;
        } catch (const rtl::Exception& e) {
            HandleException(this, &e);
        }
    }
}

void TApplication::Terminate() { win::PostQuitMessage(0); }

void TApplication::ShowException(const rtl::Exception* E)
{
    UnicodeString text = E ? E->Message : UnicodeString();
    // As the framework: a message that ends in a character above "." gets one.
    if (!text.IsEmpty() && text[text.Length()] > u'.')
        text += u".";
    UnicodeString caption = FTitle;
    win::MessageBoxW(Handle(), text.c_str(), caption.c_str(), win::MB_OK | win::MB_ICONSTOP);
}

int TApplication::MessageBox(const UnicodeString& text, const UnicodeString& caption, unsigned flags)
{
    const UnicodeString shown = caption.IsEmpty() ? FTitle : caption;
    return win::MessageBoxW(Handle(), text.c_str(), shown.c_str(), flags);
}

void TApplication::HandleException(TObject* Sender, const rtl::Exception* E)
{
    if (dynamic_cast<const rtl::EAbort*>(E))
        return;
    if (OnException)
        OnException(Sender, const_cast<rtl::Exception*>(E));
    else
        ShowException(E);
}

void TApplication::Minimize()
{
    if (FMinimized)
        return;
    FMinimized = true;
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Restore()
{
    if (!FMinimized)
        return;
    FMinimized = false;
    if (OnRestore)
        OnRestore(this);
}

void TApplication::PopModal(TCustomForm* form)
{
    const auto it = std::find(FModalStack.rbegin(), FModalStack.rend(), form);
    if (it != FModalStack.rend())
        FModalStack.erase(std::next(it).base());
}

int TApplication::FormCount() const
{
    int n = 0;
    for (int i = 0; i < ComponentCount(); ++i)
        if (dynamic_cast<TCustomForm*>(Components(i)))
            ++n;
    return n;
}

TCustomForm* TApplication::Forms(int index) const
{
    int n = 0;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TCustomForm*>(Components(i)); f && n++ == index)
            return f;
    throw rtl::EListError(UnicodeString(u"List index out of bounds (") + UnicodeString(index) + u")");
}

} // namespace vcl
