#include "platform/backends/Install.h"

namespace backends {

bool InstallRealBackends()
{
    // Each back end adds its installation here.
    return false;
}

} // namespace backends
