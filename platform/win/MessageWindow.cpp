#include "platform/win/MessageWindow.h"

#include "platform/win/MessageSystem.h"

namespace win {

TMessageWindow::TMessageWindow(Handler handler) : handler_(std::move(handler)) { handle_ = CreateWindowHandle(this); }

TMessageWindow::~TMessageWindow()
{
    // Destroyed by another thread: the handle must not outlive this object.
    if (handle_ && !DestroyWindow(handle_))
        detail::ForgetWindow(handle_);
}

LRESULT TMessageWindow::WindowProc(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    TMessage msg{message, wParam, lParam, 0};
    if (handler_)
        handler_(msg);
    return msg.Result;
}

} // namespace win
