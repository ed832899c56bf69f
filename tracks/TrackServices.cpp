#include "tracks/TrackServices.h"

#include "app/Common.h"
#include "app/MyLog.h"

void TrackLogError(const rtl::AnsiString& text)
{
    if (MyLogModule)
        MyLogModule->LogError(text);
}

void TrackLogDebug(const rtl::AnsiString& text)
{
    if (MyLogModule)
        MyLogModule->LogDebug(text);
}

double TrackStrToFloatOrZero(const rtl::UnicodeString& text) { return StrToFloatOrZero(rtl::AnsiString(text)); }
