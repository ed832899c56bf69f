// The one place that puts the real back ends behind the layer's seams. The
// program calls it once at start-up; unit tests never link it and keep the
// null or recording back ends.
#pragma once

namespace backends {

// Installs every real back end this machine can run. Returns false when
// the program is to run headless (no display, or VELMORASTINE_DISPLAY set
// to "headless"); the back ends that need no display are installed anyway.
bool InstallRealBackends();

} // namespace backends
