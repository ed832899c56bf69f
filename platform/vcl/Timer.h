// A timer on the Windows layer's timers (and so on the layer's clock):
// OnTimer runs from message processing, at most one pending tick.
//
// Enabled (default true) and Interval (default 1000 ms; 0 stops it) arm the
// timer. Decision: every SetEnabled(true) re-arms it for a full interval,
// also when it is running already ("every start re-arms it"), and so does
// every SetInterval. The timer ticks whether or not OnTimer is set; a tick
// without OnTimer does nothing. An exception escaping OnTimer goes to the
// application's exception box.
#pragma once

#include <memory>

#include "platform/vcl/Component.h"
#include "platform/vcl/Events.h"
#include "platform/win/MessageWindow.h"

namespace vcl {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned milliseconds);
    // Armed with the layer right now.
    bool Armed() const { return FArmed; }
    // Ticks delivered so far (for tests).
    int TickCount() const { return FTicks; }

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void Update();
    void Handle(win::TMessage& m);

    bool FEnabled = true;
    unsigned FInterval = 1000;
    bool FArmed = false;
    int FTicks = 0;
    std::unique_ptr<win::TMessageWindow> FWindow;
};

} // namespace vcl
