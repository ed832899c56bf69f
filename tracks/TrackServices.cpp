#include "tracks/TrackServices.h"

// VM_TRACKS_STANDALONE: the fuzz targets, built without the program's
// services (no log; the same number reading on the class library's own).
#ifndef VM_TRACKS_STANDALONE
#include "app/Common.h"
#include "app/MyLog.h"
#else
#include "platform/rtl/Numbers.h"
#endif

void TrackLogError(const rtl::AnsiString& text)
{
#ifndef VM_TRACKS_STANDALONE
    if (MyLogModule)
        MyLogModule->LogError(text);
#else
    (void)text;
#endif
}

void TrackLogDebug(const rtl::AnsiString& text)
{
#ifndef VM_TRACKS_STANDALONE
    if (MyLogModule)
        MyLogModule->LogDebug(text);
#else
    (void)text;
#endif
}

double TrackStrToFloatOrZero(const rtl::UnicodeString& text)
{
#ifndef VM_TRACKS_STANDALONE
    return StrToFloatOrZero(rtl::AnsiString(text));
#else
    if (text.IsEmpty() || text == u"0")
        return 0.0;
    try {
        double value = 0.0;
        if (rtl::TryStrToFloat(text, value))
            return value;
    } catch (...) {
    }
    return 0.0;
#endif
}
