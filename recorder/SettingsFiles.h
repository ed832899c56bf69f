// The two files the drive recorder reads from the root of its card:
// "setup.ini" (event-file protection, G-sensor threshold, G event switch),
// read and written, and "TIMESET.ini" (the date and time for its clock),
// written only.
//
// "setup.ini" as the program writes it, 66 bytes, CR LF after every line:
//
//     [Monitor]
//     PROTECT_EVFILE=1
//     GSS_THRESHOLD=7
//     GSS_EVENT_ENABLE=1
//
// "TIMESET.ini", 18 bytes: "2024/03/05 14:07" and CR LF.
#pragma once

#include <string>

#include "platform/rtl/StringList.h"
#include "platform/rtl/UnicodeString.h"

// "X:\setup.ini" on the drive of the program folder's first character.
rtl::UnicodeString SetupIniPath(const rtl::UnicodeString& programFolder);
// The drive root of a folder with ":\" ("E:\TIMESET.ini"), else the folder
// itself.
rtl::UnicodeString TimeSetIniPath(const rtl::UnicodeString& programFolder);

// Track bar position 0 (low sensitivity) .. 4 (high) and the digit on disk:
// 9 - position. Digits 0 to 4 are beyond the bar's right end and read as 4.
int ThresholdDigitOf(int position);
int ThresholdPositionOf(int digit);

// The bytes of each file.
std::string SetupIniText(bool eventFileOverwrite, int thresholdDigit, bool gEventEnabled);
// The first 10 characters of the date text, a space, the first 5 of the
// time text, CR LF; each character's low byte. Raises EConvertError when a
// text is shorter.
std::string TimeSetIniText(const rtl::UnicodeString& dateText, const rtl::UnicodeString& timeText);

// Only the head of "setup.ini" is read: the values are on its first four
// lines, and a card may hold anything under that name.
inline constexpr int SetupIniReadLimit = 64 * 1024;

// Loads the lines of "setup.ini" (a BOM selects the encoding, else code
// page 932; lines end at CR LF, LF or CR). False when no file is there;
// raises the stream's exception when it cannot be read.
bool LoadSetupIniLines(const rtl::UnicodeString& path, rtl::TStringList& lines);

// The values by line number and character position alone (the key texts
// are not compared). A missing line raises EListError; a threshold
// character that is not a decimal digit raises EConvertError.
bool SetupEventFileOverwrite(const rtl::TStrings& lines);
int SetupThresholdDigit(const rtl::TStrings& lines);
bool SetupGEventEnabled(const rtl::TStrings& lines);

// Writes bytes to a temporary file beside path and renames it over path, so
// the old file stays whole until the new one is complete. Raises
// EFCreateError or EWriteError on failure and leaves no temporary file.
void ReplaceFileBytes(const rtl::UnicodeString& path, const std::string& bytes);
