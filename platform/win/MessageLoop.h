// The pieces every message loop of the program is made of: the application's
// Run and ProcessMessages, modal forms, the message boxes' modal display and
// thread waits. Each runs on the calling thread and dispatches to the
// windows that thread owns. Every one of them is re-entrant: a handler may
// run another loop inside it.
//
// Quit: a loop that meets WM_QUIT ends and leaves the quit pending (it is
// posted again with PostQuitMessage), so the outer loop meets it too.
//
// Under the virtual clock (Clock.h) no loop ever sleeps: when every thread of
// the layer waits in the layer and nothing is pending anywhere, the clock
// moves to the next due timer or loop deadline. When nothing at all can come
// (no message, no timer, every thread waiting), the loop calls the stall
// handler instead of hanging; so does, under the virtual clock, a wait that
// has not been woken for 30 s of real time. A thread counts as waiting only
// inside the layer's waits: one that has used the layer and now blocks
// elsewhere (a join, a condition variable) holds the clock still.
// Under the real clock loops simply wait, as on Windows.
#pragma once

#include "platform/win/Messages.h"

#include <functional>
#include <stdexcept>
#include <string>

namespace win {

// What the default stall handler throws. Not derived from the framework's
// Exception, so the program's own `catch (Exception&)` does not swallow it.
class EMessageLoopStalled : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One step of a loop: handles the sent messages, then dispatches one posted
// message or due timer tick. Never waits.
enum class PumpResult {
    Dispatched, // something was handled (a sent message counts: a loop's condition may have changed)
    Idle, // nothing was there
    Quit, // WM_QUIT was met and left pending
};
PumpResult PumpOnce();

// Dispatches everything pending now: sent messages, the posted messages in
// order, then each due timer once. Never waits and never moves the clock.
// Returns false when it met WM_QUIT (left pending, messages behind it stay).
bool PumpPendingMessages();

// Waits for and dispatches messages until done() returns true (checked
// before every wait and after every message). Returns true when done, false
// when WM_QUIT came first (left pending).
bool PumpUntil(const std::function<bool()>& done);

// Waits for and dispatches messages until `milliseconds` of the layer's clock
// have passed; under the virtual clock each timer ticks at its exact time.
// Returns false when WM_QUIT came first (left pending).
bool PumpFor(DWORD milliseconds);

// Handles the messages sent to the calling thread from other threads, only
// those (TThread::WaitFor's wait); returns how many.
int HandleSentMessages();

// The stall handler: called on the stalled thread with a description, e.g.
// to record a test failure; the loop then throws EMessageLoopStalled (the
// handler may throw something else instead). Returns the previous handler;
// an empty function means none.
using StallHandler = std::function<void(const std::string& what)>;
StallHandler SetStallHandler(StallHandler handler);

} // namespace win
