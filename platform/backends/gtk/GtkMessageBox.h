// The system message boxes as GTK windows, answered by the user while our
// own modal loop (PumpUntil) keeps the messages and timers running.
#pragma once

#include <thread>

#include "platform/win/MessageBoxResponder.h"

namespace backends::gtk {

class GtkPresenter;

class GtkMessageBoxes : public win::MessageBoxResponder {
public:
    // On the user interface thread, the presenter's.
    explicit GtkMessageBoxes(GtkPresenter& presenter);
    // Any thread: a box of another thread is shown by the user interface
    // thread (sent to it) while the calling thread waits.
    int Answer(const win::MessageBoxCall& call) override;

private:
    int Show(const win::MessageBoxCall& call);

    GtkPresenter& FPresenter;
    std::thread::id FUiThread;
};

} // namespace backends::gtk
