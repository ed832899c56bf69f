// The run-time library: strings and the code page, numbers, dates and
// times, formatting, exceptions, string lists, INI files and streams.
//
// Conventions: the framework's properties are methods of the same name
// (`list->Count()`, `s.Length()`), written through `Set` + name
// (`list->SetText(t)`). UnicodeString is UTF-16 (u"..." literals);
// AnsiString holds code page 932 bytes.
#pragma once

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileNames.h"
#include "platform/rtl/FileStream.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatArg.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/MemoryStream.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringFunctions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/UnicodeString.h"

using namespace rtl;
