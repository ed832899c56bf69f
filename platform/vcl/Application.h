// The application object: creates the forms, runs the message loop, shows
// exceptions that escape a handler. `Application` points to the newest live
// TApplication: the program's main makes one on its stack before WinMain,
// and each test makes its own (the previous one comes back when it goes).
#pragma once

#include <cstddef>
#include <functional>
#include <new>
#include <type_traits>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Events.h"
#include "platform/vcl/IdleHandler.h"
#include "platform/win/MessageWindow.h"
#include "platform/win/Types.h"

#include <memory>
#include <vector>

namespace vcl {

class TCustomForm;

using TExceptionEvent = std::function<void(TObject* Sender, rtl::Exception* E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    const UnicodeString& Title() const { return FTitle; }
    void SetTitle(const UnicodeString& title) { FTitle = title; }
    // The hidden application window (owner of the program's system boxes).
    win::HWND Handle();

    TCustomForm* MainForm() const { return FMainForm; }
    // Run makes the main form visible first when this is true (the default).
    bool ShowMainForm = true;

    // Builds a form or data module owned by this object. Reference points to
    // the object before its constructor body runs (so the constructor and
    // everything it calls can reach it through the global); a constructor
    // that raises leaves Reference null and the exception goes on to the
    // caller. After the constructor: OnCreate (an exception there goes to the
    // exception box, creation stands), then the first form becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference);

    // Pumps until the quit message ends the loop. Exceptions that escape a
    // handler go to HandleException; the loop goes on.
    void Run();
    // Posts the quit message; loops that meet it end, Run returns.
    void Terminate();
    // True once a loop met the quit message.
    bool Terminated() const { return FTerminated; }
    // Handles every pending message (sent, posted, due timers), then returns.
    void ProcessMessages();
    // Handles one message, or idles when there is none.
    void HandleMessage();

    // The exception box: the message (with "." added when it ends in a
    // character above "."), the title as caption, the stop icon.
    void ShowException(const rtl::Exception* E);
    // OnException when set, else ShowException. Called by the loops.
    void HandleException(TObject* Sender, const rtl::Exception* E);
    // The system message box owned by the application window; caption
    // empty: the title. Returns the button (IDOK...).
    int MessageBox(const UnicodeString& text, const UnicodeString& caption, unsigned flags);
    TExceptionEvent OnException;

    TNotifyEvent OnRestore;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnIdle;
    void Minimize();
    void Restore();
    bool Minimized() const { return FMinimized; }

    // The loops' seam (IdleHandler.h); null restores the blocking default.
    void SetIdleHandler(IdleHandler* handler) { FIdleHandler = handler; }
    IdleHandler* GetIdleHandler() const { return FIdleHandler; }

    // Modal loops in progress, innermost last.
    int ModalLevel() const { return static_cast<int>(FModalStack.size()); }
    TCustomForm* ModalForm() const { return FModalStack.empty() ? nullptr : FModalStack.back(); }

    // Forms owned by this object in creation order (data modules left out).
    int FormCount() const;
    TCustomForm* Forms(int index) const;

    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Used by the framework's own loops (ShowModal); not for program code.
    // One message or idle; false when the idle handler gave up.
    bool ModalStep(TCustomForm* modalForm) { return HandleOne(modalForm); }
    void PushModal(TCustomForm* form) { FModalStack.push_back(form); }
    void PopModal(TCustomForm* form);
    // Set by a loop when the quit message arrived (it stays set).
    void NoteQuit() { FTerminated = true; }

private:
    void AfterCreate(TComponent* instance);
    // One message: true when there was one.
    bool ProcessOne();
    // One message or idle; false when the idle handler gave up.
    bool HandleOne(TCustomForm* modalForm);

    UnicodeString FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FMinimized = false;
    std::unique_ptr<win::TMessageWindow> FHandle;
    IdleHandler* FIdleHandler = nullptr;
    std::vector<TCustomForm*> FModalStack;
    TApplication* FPrevious = nullptr;
};

extern TApplication* Application;

template <class T>
void TApplication::CreateForm(T*& Reference)
{
    static_assert(std::is_base_of_v<TComponent, T>, "CreateForm builds components");
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "over-aligned form");
    // The storage comes first so that Reference is valid inside the
    // constructor; the matching deleting destructor frees it later.
    void* memory = ::operator new(sizeof(T));
    Reference = static_cast<T*>(memory);
    T* instance = nullptr;
    try {
        instance = ::new (memory) T(this);
    } catch (...) {
        Reference = nullptr;
        ::operator delete(memory, sizeof(T));
        throw;
    }
    AfterCreate(instance);
}

} // namespace vcl
