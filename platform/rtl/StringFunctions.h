// The framework's free string functions (ordinal, locale-independent: only
// ASCII letters change case).
#pragma once

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/UnicodeString.h"

namespace rtl {

UnicodeString Trim(const UnicodeString& text);
UnicodeString TrimLeft(const UnicodeString& text);
UnicodeString TrimRight(const UnicodeString& text);
UnicodeString UpperCase(const UnicodeString& text);
UnicodeString LowerCase(const UnicodeString& text);
AnsiString AnsiUpperCase(const AnsiString& text);
AnsiString AnsiLowerCase(const AnsiString& text);

// < 0, 0, > 0. CompareStr is ordinal; CompareText ignores ASCII case.
int CompareStr(const UnicodeString& a, const UnicodeString& b);
int CompareText(const UnicodeString& a, const UnicodeString& b);
bool SameText(const UnicodeString& a, const UnicodeString& b);
// Byte comparison (the "case-sensitive comparison in the user's locale" of
// 8-bit texts such as passwords is byte equality).
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);

// 1-based, 0 when absent.
int Pos(const UnicodeString& sub, const UnicodeString& text);
int PosEx(const UnicodeString& sub, const UnicodeString& text, int offset);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
UnicodeString StringReplace(const UnicodeString& text, const UnicodeString& from, const UnicodeString& to, int flags);

UnicodeString QuotedStr(const UnicodeString& text);

} // namespace rtl
