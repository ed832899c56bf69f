// Splitting and joining Windows path texts ("E:\DATA\X.ASF"). Pure text
// operations on UTF-16: "\" and ":" are the delimiters (so split an 8-bit
// path only after widening it: a trail byte 0x5C is not a backslash).
#pragma once

#include "platform/rtl/UnicodeString.h"

namespace rtl {

// Up to and including the last "\" or ":" ("E:\DATA\" for "E:\DATA\X.ASF").
UnicodeString ExtractFilePath(const UnicodeString& path);
// Without the trailing delimiter ("E:\DATA"), but "E:\" stays.
UnicodeString ExtractFileDir(const UnicodeString& path);
UnicodeString ExtractFileName(const UnicodeString& path);
// From the last "." after the last delimiter, with the dot; "" when none.
UnicodeString ExtractFileExt(const UnicodeString& path);
// "E:" for "E:\DATA", "\\server\share" for a UNC path, else "".
UnicodeString ExtractFileDrive(const UnicodeString& path);
UnicodeString ChangeFileExt(const UnicodeString& path, const UnicodeString& extension);
UnicodeString IncludeTrailingPathDelimiter(const UnicodeString& path);
UnicodeString ExcludeTrailingPathDelimiter(const UnicodeString& path);
UnicodeString IncludeTrailingBackslash(const UnicodeString& path);
UnicodeString ExcludeTrailingBackslash(const UnicodeString& path);

} // namespace rtl
