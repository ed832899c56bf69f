#include "platform/vcl/Timer.h"

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"
#include "platform/win/Timers.h"

namespace vcl {

namespace {
constexpr win::UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { Update(); }

TTimer::~TTimer()
{
    if (FWindow && FArmed)
        win::KillTimer(FWindow->Handle(), kTimerId);
    FArmed = false;
}

void TTimer::SetEnabled(bool enabled)
{
    FEnabled = enabled;
    Update();
}

void TTimer::SetInterval(unsigned milliseconds)
{
    FInterval = milliseconds;
    Update();
}

void TTimer::Update()
{
    if (FWindow && FArmed) {
        win::KillTimer(FWindow->Handle(), kTimerId);
        FArmed = false;
    }
    if (!FEnabled || FInterval == 0)
        return;
    if (!FWindow)
        FWindow = std::make_unique<win::TMessageWindow>([this](win::TMessage& m) { Handle(m); });
    FArmed = win::SetTimer(FWindow->Handle(), kTimerId, FInterval, nullptr) != 0;
}

void TTimer::Handle(win::TMessage& m)
{
    if (m.Msg != win::WM_TIMER || m.WParam != kTimerId || !FArmed)
        return;
    try {
        Timer();
    } catch (const rtl::Exception& e) {
        if (!Application)
            throw;
        Application->HandleException(this, &e);
    }
}

void TTimer::Timer()
{
    ++FTicks;
    if (OnTimer)
        OnTimer(this);
}

} // namespace vcl
