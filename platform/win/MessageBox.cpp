#include "platform/win/MessageBox.h"

#include "platform/host/Seam.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/MessageBoxResponder.h"

#include <cstdio>

namespace win {

namespace {

// The default: the box goes to standard error and takes its default button.
class StandardErrorResponder final : public MessageBoxResponder {
public:
    int Answer(const MessageBoxCall& call) override
    {
        std::fprintf(stderr, "[message box] %s: %s\n", rtl::Utf16ToUtf8(call.caption).c_str(),
                     rtl::Utf16ToUtf8(call.text).c_str());
        return DefaultMessageBoxResult(call.type);
    }
};

MessageBoxResponder* StandardError()
{
    static StandardErrorResponder responder;
    return &responder;
}

constinit host::Seam<MessageBoxResponder*, host::SeamReaders::AnyThread> gResponders(&StandardError);

// The buttons of each MB_ type, in order.
struct Buttons {
    int ids[3];
    int count;
    int cancel; // what Esc / closing gives
};

Buttons ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{IDOK, IDCANCEL, 0}, 2, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, IDRETRY, IDIGNORE}, 3, IDABORT};
    case MB_YESNOCANCEL:
        return {{IDYES, IDNO, IDCANCEL}, 3, IDCANCEL};
    case MB_YESNO:
        return {{IDYES, IDNO, 0}, 2, IDNO};
    case MB_RETRYCANCEL:
        return {{IDRETRY, IDCANCEL, 0}, 2, IDCANCEL};
    default:
        return {{IDOK, 0, 0}, 1, IDOK};
    }
}

int Show(const MessageBoxCall& call)
{
    const int result = gResponders.Current()->Answer(call);
    return IsMessageBoxButton(call.type, result) ? result : ButtonsOf(call.type).cancel;
}

} // namespace

int DefaultMessageBoxResult(UINT type)
{
    const Buttons buttons = ButtonsOf(type);
    const int index = static_cast<int>((type & MB_DEFMASK) >> 8);
    return buttons.ids[index < buttons.count ? index : 0];
}

bool IsMessageBoxButton(UINT type, int result)
{
    const Buttons buttons = ButtonsOf(type);
    for (int i = 0; i < buttons.count; ++i)
        if (buttons.ids[i] == result)
            return true;
    return false;
}

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type)
{
    MessageBoxCall call;
    call.owner = owner;
    if (text)
        call.text = text;
    if (caption)
        call.caption = caption;
    call.type = type;
    return Show(call);
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    MessageBoxCall call;
    call.owner = owner;
    if (text)
        call.text = rtl::Cp932ToUtf16(text);
    if (caption)
        call.caption = rtl::Cp932ToUtf16(caption);
    call.type = type;
    return Show(call);
}

int MessageBox(HWND owner, const char16_t* text, const char16_t* caption, UINT type)
{
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxResponder* InstallMessageBoxResponder(MessageBoxResponder* next) { return gResponders.Install(next); }

TRecordingMessageBoxResponder::TRecordingMessageBoxResponder() : previous_(InstallMessageBoxResponder(this)) {}

TRecordingMessageBoxResponder::~TRecordingMessageBoxResponder() { InstallMessageBoxResponder(previous_); }

void TRecordingMessageBoxResponder::QueueAnswer(int result)
{
    QueueAnswer([result](const MessageBoxCall&) { return result; });
}

void TRecordingMessageBoxResponder::QueueAnswer(std::function<int(const MessageBoxCall&)> answer)
{
    std::lock_guard<std::mutex> guard(mutex_);
    answers_.push_back(std::move(answer));
}

std::vector<MessageBoxCall> TRecordingMessageBoxResponder::Calls() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return calls_;
}

int TRecordingMessageBoxResponder::UnqueuedCount() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return unqueued_;
}

int TRecordingMessageBoxResponder::Answer(const MessageBoxCall& call)
{
    std::function<int(const MessageBoxCall&)> answer;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        calls_.push_back(call);
        if (answers_.empty()) {
            ++unqueued_;
            return DefaultMessageBoxResult(call.type);
        }
        answer = std::move(answers_.front());
        answers_.pop_front();
    }
    // Outside the lock: the answer may pump messages that show more boxes.
    return answer(call);
}

} // namespace win
