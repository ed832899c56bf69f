// What a waiting loop does when it finds nothing to handle: the one seam
// between the framework's loops (Run, ShowModal, HandleMessage) and whoever
// supplies the next event. The program's default blocks until a message
// arrives; the test driver runs its next scripted step instead, or fails the
// test when no step is left, so that no loop can hang a test.
#pragma once

namespace vcl {

class TCustomForm;

struct IdleContext {
    // The modal form whose loop is waiting, null for the application's Run.
    TCustomForm* ModalForm = nullptr;
    // Nesting depth of modal loops at this point (0 in Run).
    int ModalLevel = 0;
};

class IdleHandler {
public:
    virtual ~IdleHandler() = default;
    // Called on the user interface thread by a loop that has nothing to
    // handle. Return when something may have arrived; the loop looks again.
    // Returning false asks the loop to give up: Run returns, a modal loop
    // ends with mrCancel (the driver does this after it has failed a test).
    virtual bool Idle(const IdleContext& context) = 0;
};

} // namespace vcl
