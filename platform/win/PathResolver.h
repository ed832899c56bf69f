// Windows paths to host paths (platform/host/PathResolver.h) under the names
// the layer's Windows calls use.
#pragma once

#include "platform/host/PathResolver.h"
#include "platform/win/LastError.h"

namespace win {

using host::AbsoluteWindowsPath;
using host::AnsiPathToWide;
using host::IsWindowsName;
using host::NamesEqualIgnoringCase;
using host::ResolvedPath;
using host::ResolvePath;
using host::UpperCaseForNames;
using host::Utf16ToUtf8;
using host::Utf8ToUtf16;

} // namespace win
