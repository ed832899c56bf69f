// COM counting, the system message box and its responder, the work area.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

namespace winmsg_test {
namespace {

TEST(WinCom, InitialiseCountsPerThreadAndBalances)
{
    EXPECT_EQ(CoInitialize(reinterpret_cast<void*>(1)), static_cast<HRESULT>(0x80070057u));
    EXPECT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(CoInitialize(nullptr), 0); // S_OK
    EXPECT_EQ(CoInitialize(nullptr), 1); // S_FALSE: already, still a success
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(CoInitializeCount(), 2);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize(); // one too many: nothing
    EXPECT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), 0);
    CoUninitialize();
    void* block = CoTaskMemAlloc(16);
    EXPECT_NE(block, nullptr);
    CoTaskMemFree(block);
    CoTaskMemFree(nullptr);
}

TEST(WinMessageBox, DefaultButtonsAndValidResults)
{
    struct Row {
        UINT type;
        int expectedDefault;
    };
    const Row rows[] = {
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_ICONWARNING, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OK | MB_DEFBUTTON3, IDOK}, // no third button: the first
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "type 0x" << std::hex << row.type);
        EXPECT_EQ(DefaultMessageBoxResult(row.type), row.expectedDefault);
    }
    EXPECT_TRUE(IsMessageBoxButton(MB_YESNO, IDNO));
    EXPECT_FALSE(IsMessageBoxButton(MB_YESNO, IDOK));
    EXPECT_FALSE(IsMessageBoxButton(MB_OK, 0));
}

TEST(WinMessageBox, ResponderSeesEveryBoxAndAnswersIt)
{
    TRecordingMessageBoxResponder responder;
    responder.QueueAnswer(IDNO);
    responder.QueueAnswer(IDYES); // not a button of an OK box: the box's cancel result
    EXPECT_EQ(MessageBoxW(nullptr, u"ビューワは既に起動しています。", u"Error", MB_YESNO | MB_ICONERROR), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"x", nullptr, MB_OK), IDOK);
    // Code page 932 bytes of "エラー".
    EXPECT_EQ(MessageBoxA(nullptr, "\x83\x47\x83\x89\x81\x5B", "Warning", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(responder.UnqueuedCount(), 1);
    const std::vector<MessageBoxCall> expected{
        {nullptr, u"ビューワは既に起動しています。", u"Error", MB_YESNO | MB_ICONERROR},
        {nullptr, u"x", u"", MB_OK},
        {nullptr, u"エラー", u"Warning", MB_OKCANCEL | MB_DEFBUTTON2},
    };
    EXPECT_EQ(responder.Calls(), expected);
}

TEST(WinMessageBox, WithoutResponderTheDefaultButtonAnswersAtOnce)
{
    ScopedMessageBoxResponder none(nullptr);
    EXPECT_EQ(MessageBoxW(nullptr, u"no one is watching", u"Warning", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

class WinMessageBoxModal : public VirtualClockTest {};

TEST_F(WinMessageBoxModal, AnAnswerMayPumpMessagesAsTheModalDisplayDoes)
{
    EventLog log;
    RecordingWindow window(log, "W");
    TRecordingMessageBoxResponder responder;
    responder.QueueAnswer([&](const MessageBoxCall&) {
        log.Step("box shown");
        PumpFor(500);
        return IDOK;
    });
    SetTimer(window.Handle(), 1, 200, nullptr);
    PostMessage(window.Handle(), WM_APP, 0, 0);
    EXPECT_EQ(MessageBoxW(window.Handle(), u"t", u"c", MB_OK), IDOK);
    log.Step("box closed");
    KillTimer(window.Handle(), 1);
    EXPECT_EQ(
        log.Events(),
        (std::vector<Event>{
            Step("box shown"), {"W", WM_APP, 0, 0}, {"W", WM_TIMER, 1, 0}, {"W", WM_TIMER, 1, 0}, Step("box closed")}));
}

TEST(WinSystemInfo, WorkAreaIsSettableAndBadArgumentsFail)
{
    SetScreen(SIZE{1366, 768}, RECT{0, 0, 1366, 728});
    RECT area{};
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area, (RECT{0, 0, 1366, 728}));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1366);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetSystemMetrics(99), 0);
    SetLastError(0);
    EXPECT_EQ(SystemParametersInfoW(SPI_GETWORKAREA, 0, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SystemParametersInfoW(0x1234, 0, &area, 0), 0);
    ResetScreen();
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    if (!std::getenv("VELMORASTINE_SCREEN")) {
        EXPECT_EQ(area, (RECT{0, 0, 1920, 1040}));
    }
}

} // namespace
} // namespace winmsg_test
