// The one place that puts the real back ends behind the layer's seams. The
// program calls it once at start-up; unit tests never link it and keep the
// null or recording back ends. Decoding and sound are installed at once;
// the display (with its text) is loaded from its module when a display is
// there, the browser and printing from theirs when first needed
// (Modules.h, OnDemand.h).
#pragma once

namespace backends {

// Installs every real back end this machine can run. Returns false when
// the program is to run headless (no display, VELMORASTINE_DISPLAY set to
// "headless", or no display module); the back ends that need no display
// are installed anyway.
bool InstallRealBackends();

} // namespace backends
