// Drive checks and small conversions shared by the whole program.
#pragma once

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/UnicodeString.h"

// True while the drive named by the path's first character answers (its size
// can be read). Switches critical-error boxes off for the query and restores
// the previous error mode; calls from the two threads are serialised so that
// neither restores the other's mode. Never fails; a first character that is
// no drive letter (an empty path, "\\server") gives false.
bool IsDriveReady(const rtl::UnicodeString& path);
bool IsDriveReady(char letter);

// The time of day ms milliseconds after midnight. Raises EConvertError from
// 24 hours on.
rtl::TDateTime MsToTime(std::uint32_t ms);

// "" and "0" give 0 without conversion; a text that is no number gives 0.
// Never raises.
double StrToFloatOrZero(const rtl::AnsiString& text);

// The nearest whole number (ties to even) as "%.0f" text: 2.5 -> "2",
// -0.4 -> "0" (never "-0").
rtl::AnsiString RoundToText(double value);

// The low 32 bits, as a signed number, of the size of the first entry that a
// search for the path finds (any attribute); 0 when nothing matches.
std::int32_t GetFileSizeByName(const rtl::AnsiString& path);
