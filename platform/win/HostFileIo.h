// The host's file opening and replacing (platform/host/FileIo.h) under the
// names the layer's Windows calls use.
#pragma once

#include "platform/host/FileIo.h"

namespace win {

using host::IsReadableRegularFile;
using host::OpenRegularCFile;
using host::OpenRegularFile;
using host::ReadFileAt;
using host::RemoveStaleTemporaries;
using host::ReplaceFileDurably;

} // namespace win
