// The system message box, answered by a responder.
//
// Every box goes to the installed responder (MessageBoxResponder.h): a
// test's answers, or on a real display a window the user answers while the
// box waits in our own modal loop. Without one (headless), the box is
// written to standard error and answered with its default button, so the
// program never blocks on a box nobody can see. A responder that wants the
// modal display's message handling can pump inside Answer (MessageLoop.h).
#pragma once

#include "platform/win/Types.h"

#include <string>

namespace win {

// Buttons.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONHAND = MB_ICONERROR;
inline constexpr UINT MB_ICONSTOP = MB_ICONERROR;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;
inline constexpr UINT MB_ICONASTERISK = MB_ICONINFORMATION;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
// Default button.
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement (recorded, no effect here).
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

// Results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// One box as the responder sees it. Texts are UTF-16 (MessageBoxA's code
// page 932 bytes converted).
struct MessageBoxCall {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT type = MB_OK;
    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

// The button the box would take on Enter: MB_DEFBUTTONn of the box's buttons.
int DefaultMessageBoxResult(UINT type);
// Whether `result` is one of the box's buttons.
bool IsMessageBoxButton(UINT type, int result);

// Shows the box; returns the button chosen (IDOK ...). Called on any thread;
// the responder answers on that thread. A null text or caption is empty (a
// null caption reads "Error" on the real platform; here it stays empty).
int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type);
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
int MessageBox(HWND owner, const char16_t* text, const char16_t* caption, UINT type);

} // namespace win
