// What the track reader and parser use of the program's services: the log
// (error and debug levels, 8-bit texts) and the lenient number reading.
#pragma once

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/UnicodeString.h"

void TrackLogError(const rtl::AnsiString& text);
void TrackLogDebug(const rtl::AnsiString& text);

// StrToFloatOrZero: "" and "0" and any text that is not a number give 0.
double TrackStrToFloatOrZero(const rtl::UnicodeString& text);
