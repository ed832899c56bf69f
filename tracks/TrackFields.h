// The two text rules of the track sentences: how a sentence splits into
// fields, and how the numbers of a GPS fix are written.
#pragma once

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/UnicodeString.h"

#include <string_view>
#include <vector>

// Splits by the framework's comma-text rules: blanks and control characters
// (codes 1 to 32) separate fields like commas, a field in double quotes may
// hold them (a doubled quote is one quote), "a,,b" has an empty middle field
// and a comma at the very end adds a last empty field. The text ends at its
// first zero character.
std::vector<rtl::UnicodeString> SplitTrackFields(std::u16string_view text);

// The number text of a GPS fix: at most 15 significant digits, "." as the
// decimal point, no trailing zeros, never "-0"; exponent form below 1e-5 and
// from 1e15 on.
rtl::AnsiString TrackNumberText(double value);
