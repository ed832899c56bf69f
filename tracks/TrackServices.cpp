#include "tracks/TrackServices.h"

// VM_TRACKS_STANDALONE: the fuzz targets, built without the program's services.
#if !defined(VM_TRACKS_STANDALONE) && __has_include("app/MyLog.h")
#include "app/MyLog.h"
#define VM_TRACKS_HAVE_LOG 1
#endif
#if !defined(VM_TRACKS_STANDALONE) && __has_include("app/Common.h")
#include "app/Common.h"
#define VM_TRACKS_HAVE_COMMON 1
#else
#include "platform/rtl/Numbers.h"
#endif

void TrackLogError(const rtl::AnsiString& text)
{
#ifdef VM_TRACKS_HAVE_LOG
    if (MyLogModule)
        MyLogModule->LogError(text);
#else
    (void)text;
#endif
}

void TrackLogDebug(const rtl::AnsiString& text)
{
#ifdef VM_TRACKS_HAVE_LOG
    if (MyLogModule)
        MyLogModule->LogDebug(text);
#else
    (void)text;
#endif
}

double TrackStrToFloatOrZero(const rtl::UnicodeString& text)
{
#ifdef VM_TRACKS_HAVE_COMMON
    return StrToFloatOrZero(rtl::AnsiString(text));
#else
    return rtl::StrToFloatDef(text, 0.0);
#endif
}
