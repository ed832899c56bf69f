#include "playback/PlayLog.h"

#include "app/MyLog.h"

namespace playback {

void LogDebug(const rtl::UnicodeString& text)
{
    if (MyLogModule)
        MyLogModule->LogDebug(rtl::AnsiString(text));
}

void LogInfo(const rtl::UnicodeString& text)
{
    if (MyLogModule)
        MyLogModule->LogInfo(rtl::AnsiString(text));
}

void LogError(const rtl::UnicodeString& text)
{
    if (MyLogModule)
        MyLogModule->LogError(rtl::AnsiString(text));
}

void LogMessage(const rtl::UnicodeString& text, int level)
{
    if (MyLogModule)
        MyLogModule->LogMessage(rtl::AnsiString(text), level);
}

void LogException(const char16_t* where, const rtl::Exception& e)
{
    LogError(rtl::UnicodeString(where) + u" ERROR:" + e.Message);
}

} // namespace playback
