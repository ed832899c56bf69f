// The seam between the layer's message waits and the event loop of a host
// display (the window presenter's toolkit). Our loops stay the only loops:
// the user interface thread's waits hand the host its turn here instead of
// sleeping, so timers, posted and sent messages keep running while the host
// delivers its input.
//
// None is installed by default (tests, headless): the waits sleep on their
// condition variable as before. Host events become posted messages (the
// presenter posts them to a window of its own), so they are handled in order
// with everything else and only by loops that dispatch posted messages.
#pragma once

#include <cstdint>

#include "platform/host/Seam.h"

namespace win {

class HostEventSource {
public:
    virtual ~HostEventSource() = default;
    // Host thread, layer unlocked, from the waits that dispatch posted
    // messages (GetMessage, WaitMessage, the pumps) and from an unfiltered
    // PeekMessage that found nothing (with timeoutMs 0). Handles what the
    // host has now, then blocks at most timeoutMs (never more than 60 s) for
    // more. May post messages; must not dispatch them.
    virtual void Wait(std::uint64_t timeoutMs) = 0;
    // Any thread, possibly with the layer's lock held: makes a Wait in
    // progress return soon, or the next one return at once. Must not call
    // into the layer.
    virtual void Wake() = 0;
};

// Installs `source` for the calling thread (the only thread whose waits
// hand it their turn); null removes it. Returns the previous source.
// Only the real clock waits through it: under a virtual clock it is left
// alone. Read by every thread's waits and wakes: a seam under a lock
// (platform/host/Seam.h).
HostEventSource* InstallHostEventSource(HostEventSource* source);
using ScopedHostEventSource = host::ScopedInstall<HostEventSource*, &InstallHostEventSource>;

} // namespace win
