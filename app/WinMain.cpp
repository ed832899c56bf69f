#include "app/WinMain.h"

#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "app/PassChange.h"
#include "app/PassInput.h"
#include "app/PasswordScramble.h"
#include "app/ProgBar.h"
#include "mainwindow/FileSearch.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MAIN.h"
#include "platform/win/CurrentDirectory.h"
#include "platform/win/Files.h"
#include "playback/VideoView.h"
#include "recorder/TimerSet.h"
#include "tracks/GraphView.h"
#include "tracks/MapView.h"

namespace {

constexpr int kMutexAttempts = 80;
constexpr win::DWORD kMutexWaitMs = 100;

TStartupObserver* gObserver = nullptr;

template <class T>
void Create(T*& reference)
{
    Application->CreateForm(reference);
    if (gObserver)
        gObserver->Created(reference);
}

// True when the mutex could not be had: another instance still held it
// after every attempt. `mutex` is the handle left open (may be null).
bool AnotherInstanceHolds(win::HANDLE& mutex)
{
    mutex = win::CreateMutex(nullptr, false, kInstanceMutexName);
    if (!mutex || win::GetLastError() != win::ERROR_ALREADY_EXISTS)
        return false;
    // An instance that is ending (the automatic restart's predecessor) gets
    // its time to close: every attempt runs, also after a free one.
    bool held = true;
    for (int attempt = 0; attempt < kMutexAttempts; ++attempt) {
        if (mutex)
            win::CloseHandle(mutex);
        mutex = win::CreateMutex(nullptr, false, kInstanceMutexName);
        if (mutex && win::GetLastError() == win::ERROR_ALREADY_EXISTS) {
            win::Sleep(kMutexWaitMs);
            held = true;
        } else {
            held = false;
        }
    }
    return held;
}

void CloseMutex(win::HANDLE& mutex)
{
    if (mutex)
        win::CloseHandle(mutex);
    mutex = nullptr;
}

// The windows in the reverse order of their creation, the log module last.
void DestroyEverything()
{
    try {
        Application->DestroyComponents();
    } catch (...) {
    }
}

void LogDebug(const AnsiString& text)
{
    if (MyLogModule)
        MyLogModule->LogDebug(text);
}

void RunProgram()
{
    Application->Initialize();
    Application->SetTitle(UnicodeString(u"Velmorastine II  ") + VersionText);

    ViewingAllowed = 0;
    ProgramFolder = UnicodeString(win::CurrentDirectory());
    ProgramDrive = ProgramFolder.IsEmpty() ? '\0' : static_cast<char>(ProgramFolder[1]);

    if (!CanWriteIconFolder()) {
        const UnicodeString text = Format(u"ドライブ（%c：内）の書き込みに失敗しました。", ProgramDrive);
        win::MessageBox(Application->Handle(), text.c_str(), u"Error", win::MB_OK | win::MB_ICONWARNING);
        Application->Terminate();
        return;
    }

    AnsiString password;
    {
        const TIniFile settings(ProgramFolder + u"\\Icon\\view");
        password = StartupPassword(ReadStoredPassword(settings, u"SYSTEM", u"p_m").Bytes);
    }

    Create(MyLogModule);
    LogDebug(AnsiString("================================== Application [Velmorastine] START!  (App Path:") +
             AnsiString(ProgramFolder) + ")========================");

    if (!password.IsEmpty()) {
        // The prompt becomes the application's main form; the main window
        // waits hidden until the prompt accepts the password.
        Create(PassWordInput);
        Create(MainForm);
        if (MainForm)
            MainForm->Hide();
    } else {
        ViewingAllowed = 1;
        Create(MainForm);
        Create(PassWordInput);
    }
    if (PassWordInput)
        PassWordInput->FExpectedPassword = password;

    Create(SDDlg);
    Create(ProgForm);
    Create(TimeSet);
    Create(FormSearch);
    Create(PlayControl);
    Create(ListControl);
    Create(PWChange);
    Create(MapControl);
    Create(GraphControl);

    // The prompt takes input only now that every window it leads to exists.
    if (!password.IsEmpty() && PassWordInput)
        PassWordInput->Show();

    Application->Run();
}

} // namespace

TStartupObserver* SetStartupObserver(TStartupObserver* observer)
{
    TStartupObserver* previous = gObserver;
    gObserver = observer;
    return previous;
}

AnsiString StartupPassword(const AnsiString& storedForm) { return PasswordFromStoredForm(storedForm); }

bool CanWriteIconFolder()
{
    try {
        const UnicodeString path = ProgramFolder + u"\\Icon\\.rd";
        if (win::FileExists(path))
            return win::DeleteFile(path);
        {
            TFileStream file(path, fmCreate);
        }
        win::DeleteFile(path);
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

// The user's close asks first; a stop request from outside is the user's "yes".
void CloseMainWindows(bool confirmed)
{
    TCustomForm* applicationMain = Application ? Application->MainForm() : nullptr;
    if (!MainForm && !applicationMain) {
        if (Application)
            Application->Terminate();
        return;
    }
    if (MainForm) {
        if (confirmed)
            MainForm->CloseConfirmed();
        else
            MainForm->Close();
    }
    if (applicationMain && applicationMain != MainForm)
        applicationMain->Close();
}

} // namespace

void CloseProgramWindows() { CloseMainWindows(false); }

void StopProgram() { CloseMainWindows(true); }

int WinMain(win::HINSTANCE, win::HINSTANCE, char*, int)
{
    win::HANDLE mutex = nullptr;
    try {
        if (AnotherInstanceHolds(mutex)) {
            win::MessageBox(nullptr, u"ビューワは既に起動しています。", u"Error", win::MB_OK | win::MB_ICONERROR);
            CloseMutex(mutex);
            return 0;
        }
        RunProgram();
        LogDebug("================================== Application [Velmorastine] END!  ========================");
    } catch (Exception& e) {
        Application->ShowException(&e);
    } catch (win::EMessageLoopStalled&) {
        // A test whose loop stalled: end as after any failure, then tell it.
        DestroyEverything();
        CloseMutex(mutex);
        throw;
    } catch (...) {
        const Exception empty(u"");
        Application->ShowException(&empty);
    }
    // Windows and the log go before the mutex: an instance waiting for it
    // (the automatic restart) starts only once this one has saved its log
    // and let go of the decoder.
    DestroyEverything();
    CloseMutex(mutex);
    return 0;
}
