// Who answers the system message boxes (MessageBox.h).
#pragma once

#include "platform/host/Seam.h"
#include "platform/win/MessageBox.h"

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace win {

class MessageBoxResponder {
public:
    virtual ~MessageBoxResponder() = default;
    // Called on the thread that shows the box; returns the button pressed.
    // A result that is not one of the box's buttons is replaced by what
    // closing the box gives: IDCANCEL where it has that button, else IDNO for
    // yes/no, IDABORT for abort/retry/ignore, IDOK for OK.
    virtual int Answer(const MessageBoxCall& call) = 0;
};

// Installs the responder for every thread (null: the default, which writes
// the box to standard error and takes the default button). Returns the
// previous one (null for the default). The responder must outlive its
// installation. Read by every thread that shows a box: an atomic seam
// (platform/host/Seam.h).
MessageBoxResponder* InstallMessageBoxResponder(MessageBoxResponder* responder);
using ScopedMessageBoxResponder = host::ScopedInstall<MessageBoxResponder*, &InstallMessageBoxResponder>;

// Records every box and answers from a queue of answers, then with the
// default button. Thread-safe. Installs itself for its lifetime.
class TRecordingMessageBoxResponder : public MessageBoxResponder {
public:
    TRecordingMessageBoxResponder();
    ~TRecordingMessageBoxResponder() override;
    TRecordingMessageBoxResponder(const TRecordingMessageBoxResponder&) = delete;
    TRecordingMessageBoxResponder& operator=(const TRecordingMessageBoxResponder&) = delete;

    // The next box is answered with `result`.
    void QueueAnswer(int result);
    // The next box is answered by `answer` (which may pump messages first).
    void QueueAnswer(std::function<int(const MessageBoxCall&)> answer);

    std::vector<MessageBoxCall> Calls() const;
    // Boxes answered with the default because the queue was empty.
    int UnqueuedCount() const;

    int Answer(const MessageBoxCall& call) override;

private:
    mutable std::mutex mutex_;
    std::deque<std::function<int(const MessageBoxCall&)>> answers_;
    std::vector<MessageBoxCall> calls_;
    int unqueued_ = 0;
    MessageBoxResponder* previous_ = nullptr;
};

} // namespace win
