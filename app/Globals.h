// Program-wide state set by the program entry at start-up.
#pragma once

#include <cstdint>

#include "platform/rtl/UnicodeString.h"

// The process's current directory at start-up, in Windows form ("E:\" or
// "E:\Viewer"): the base of "Icon", the decoder folder and the log.
extern rtl::UnicodeString ProgramFolder;
// The first character of ProgramFolder, in the case the system reported it.
extern char ProgramDrive;
// 1 once viewing is allowed (no password, or the prompt accepted it).
// Written and read on the user interface thread only.
extern std::uint8_t ViewingAllowed;
