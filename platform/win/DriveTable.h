// The drive letters the program sees and the host folders behind them
// (platform/host/DriveTable.h), as win::DriveTable.
#pragma once

#include "platform/host/DriveTable.h"

namespace win {

using host::DriveEntry;
using host::DriveTable;

} // namespace win
