// A window that only handles messages (the framework's AllocateHWnd): a
// handle owned by the creating thread whose procedure is a function. Handy
// for helpers and tests that need a target for sent and posted messages.
#pragma once

#include "platform/win/Window.h"

#include <functional>

namespace win {

class TMessageWindow : public WindowProcedure {
public:
    // Handler: fills TMessage::Result; messages it leaves alone are answered
    // with 0. The handle is created here, on the calling thread.
    using Handler = std::function<void(TMessage&)>;
    explicit TMessageWindow(Handler handler);
    // Destroys the handle (on the owner's thread, as every DestroyWindow).
    ~TMessageWindow() override;
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;

    HWND Handle() const { return handle_; }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Handler handler_;
    HWND handle_ = nullptr;
};

} // namespace win
