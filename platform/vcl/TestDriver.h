// Drives the program as a person would, for tests and scripted use: find a
// control by form name and control name, click, type, press keys, answer
// the next box, move the virtual clock, pump messages.
//
// While it lives, the driver is the application's idle handler and the
// system message boxes' responder; it moves the virtual clock that is
// installed (or given), else installs one of its own. Answers are queued before the action that
// needs them:
//
//     TestDriver driver;                                  // a TApplication exists
//     driver.AnswerForm(u"SDDlg", u"NGLabel");            // the box's second button
//     driver.Click(u"MainForm", u"ImageDel");             // the handler shows the box
//     EXPECT_FALSE(driver.Failed());
//
// A modal loop (ShowModal, Run) that waits with no step left fails the
// test: the failure is recorded (OnFailure, Failed(), Failure()), every
// loop then gives up (modal loops end with mrCancel, Run returns) and
// EDriverFailure is thrown, so no test hangs. A system box without a queued
// answer is recorded and answered with its default button; it is a failure
// too unless AllowUnexpectedBoxes(true).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/FolderDialog.h"
#include "platform/vcl/IdleHandler.h"
#include "platform/vcl/SavePictureDialog.h"
#include "platform/win/Clock.h"
#include "platform/win/MessageBoxResponder.h"

namespace vcl {

class TApplication;
class TCustomForm;
class TWinControl;
class TDateTimePicker;

// Not derived from the framework's Exception, so `catch (Exception&)` in
// the program does not swallow it.
class EDriverFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TestDriver : public IdleHandler, public win::MessageBoxResponder {
public:
    // Uses Application (which must exist).
    TestDriver();
    // Uses the given application and clock (installed by the caller); with
    // clock null, the installed virtual clock or else one of its own.
    explicit TestDriver(TApplication& app, win::VirtualClock* clock = nullptr);
    ~TestDriver() override;
    TestDriver(const TestDriver&) = delete;
    TestDriver& operator=(const TestDriver&) = delete;

    // --- finding (a miss fails the test and throws EDriverFailure) ---
    // A form by Name (without regard to case).
    TCustomForm& Form(const UnicodeString& formName);
    // A control of the form: owned by it (at any depth) or in its tree.
    TControl& Find(const UnicodeString& formName, const UnicodeString& controlName);
    template <class T>
    T& Find(const UnicodeString& formName, const UnicodeString& controlName)
    {
        TControl& c = Find(formName, controlName);
        if (auto* t = dynamic_cast<T*>(&c))
            return *t;
        Fail("control " + Utf8(formName) + "." + Utf8(controlName) + " is not of the expected class");
        throw EDriverFailure(FFailure);
    }
    // Null instead of failing.
    TCustomForm* FindForm(const UnicodeString& formName) const;
    TControl* FindControl(const UnicodeString& formName, const UnicodeString& controlName) const;

    // --- mouse (coordinates: the control's client area; default its centre).
    // Each returns whether the input reached the control. ---
    bool Click(TControl& control);
    bool Click(const UnicodeString& formName, const UnicodeString& controlName);
    bool DoubleClick(TControl& control);
    bool MouseDown(TControl& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
    void MouseMove(TControl& control, int x, int y, TShiftState shift = {});
    bool MouseUp(TControl& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});

    // --- keyboard: the control takes the focus first (failing when it
    // cannot); each character is key down, key press, key up. ---
    void Type(TWinControl& control, const UnicodeString& text);
    void Type(const UnicodeString& formName, const UnicodeString& controlName, const UnicodeString& text);
    void PressKey(TWinControl& control, std::uint16_t key, TShiftState shift = {});
    // To the focused control of the active form (or the form itself).
    void PressKey(std::uint16_t key, TShiftState shift = {});
    // Enters a date (date picker) or a time of day (time picker) as a person
    // would: held inside the picker's range, OnChange on a change. False when
    // input does not reach the picker.
    bool SetDateTime(TDateTimePicker& picker, double value);

    // The title bar's close box: false when the form has none (no
    // biSystemMenu) or input to it is blocked.
    bool CloseByTitleBar(TCustomForm& form);

    // Activation moves to form, as when the user clicks into it; null moves
    // it to another program (the program's forms deactivate).
    void Activate(TCustomForm* form);

    // --- answers and steps, run in order at the next idle point of a
    // waiting loop ---
    // When a modal loop of formName waits: click its control controlName.
    void AnswerForm(const UnicodeString& formName, const UnicodeString& controlName);
    // When a modal loop of formName waits: set its ModalResult.
    void AnswerFormResult(const UnicodeString& formName, int modalResult);
    // Any step (description names it in failures).
    void Then(std::function<void()> step, const std::string& description = "step");
    // Steps for a loop that is not modal (Run): click a control that must
    // take the click; let ms of the clock pass.
    void ThenClick(const UnicodeString& formName, const UnicodeString& controlName);
    void ThenAdvance(std::uint64_t ms);
    int PendingSteps() const { return static_cast<int>(FSteps.size()); }
    // The next system message box is answered with this button (IDOK...).
    void AnswerBox(int button);
    int PendingBoxAnswers() const { return static_cast<int>(FBoxAnswers.size()); }
    void AllowUnexpectedBoxes(bool allow) { FAllowBoxes = allow; }
    // Every system box shown while the driver lived.
    const std::vector<win::MessageBoxCall>& Boxes() const { return FBoxes; }

    // --- clock and messages ---
    // Moves the virtual clock on by ms, dispatching messages and each timer
    // tick at its time. A quit met on the way ends the application's loops.
    void Advance(std::uint64_t ms);
    // Handles everything pending now.
    void Pump();
    win::VirtualClock& Clock() { return *FClockInUse; }

    // --- failures ---
    bool Failed() const { return !FFailure.empty(); }
    const std::string& Failure() const { return FFailure; }
    // Called once per failure with its text (a test hooks ADD_FAILURE here).
    std::function<void(const std::string&)> OnFailure;
    // Records a failure and throws EDriverFailure.
    [[noreturn]] void Fail(const std::string& text);

    // IdleHandler and MessageBoxResponder.
    bool Idle(const IdleContext& context) override;
    int Answer(const win::MessageBoxCall& call) override;

    static std::string Utf8(const UnicodeString& text);

    // --- the folder picker (FolderDialog.h), installed while the driver
    // lives: the next picker chooses `folder`, or is cancelled. A picker
    // with no answer queued is a failure and cancels. ---
    void AnswerFolder(const UnicodeString& folder);
    void CancelFolder();
    struct FolderPickerCall {
        UnicodeString title;
        UnicodeString start;
    };
    // Every picker shown while the driver lived.
    const std::vector<FolderPickerCall>& FolderPickers() const;
    int PendingFolderAnswers() const;

    // --- the picture save dialog (SavePictureDialog.h) and the print
    // dialog (PrintDialog.h), installed while the driver lives: the next one
    // confirms `path` / prints, or is cancelled. A dialog with no answer
    // queued is a failure and cancels. ---
    void AnswerSaveFile(const UnicodeString& path);
    void CancelSaveFile();
    // Every save dialog shown while the driver lived, as it opened.
    const std::vector<SaveFileRequest>& SaveFileDialogs() const;
    void AnswerPrintDialog(bool print);
    int PrintDialogsShown() const;
    int PendingDialogAnswers() const;

private:
    struct Step {
        std::string description;
        UnicodeString formName; // empty: any loop
        std::function<void()> action;
    };

    void Record(const std::string& text);
    void Focus(TWinControl& control);
    void Key(TWinControl& target, std::uint16_t key, char16_t ch, TShiftState shift);

    TApplication* FApp = nullptr;
    std::unique_ptr<win::VirtualClock> FOwnClock;
    std::unique_ptr<win::ScopedClock> FClockScope;
    win::VirtualClock* FClockInUse = nullptr;
    IdleHandler* FPreviousIdle = nullptr;
    win::MessageBoxResponder* FPreviousResponder = nullptr;
    std::deque<Step> FSteps;
    std::deque<int> FBoxAnswers;
    std::vector<win::MessageBoxCall> FBoxes;
    bool FAllowBoxes = false;
    std::string FFailure;

    class FolderAnswers;
    static FolderAnswers* NewFolderAnswers(TestDriver* driver);
    static void DeleteFolderAnswers(FolderAnswers* answers);
    std::unique_ptr<FolderAnswers, void (*)(FolderAnswers*)> FFolderAnswers{NewFolderAnswers(this),
                                                                            &DeleteFolderAnswers};

    class DialogAnswers;
    static DialogAnswers* NewDialogAnswers(TestDriver* driver);
    static void DeleteDialogAnswers(DialogAnswers* answers);
    std::unique_ptr<DialogAnswers, void (*)(DialogAnswers*)> FDialogAnswers{NewDialogAnswers(this),
                                                                            &DeleteDialogAnswers};
};

} // namespace vcl
