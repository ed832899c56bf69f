// Files held open by the player or the track reader
// (platform/host/OpenFileHold.h), as win::OpenFileHold.
#pragma once

#include "platform/host/OpenFileHold.h"

namespace win {

using host::OpenFileHold;

} // namespace win
