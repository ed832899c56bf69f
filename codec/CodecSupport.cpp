#include "codec/CodecSupport.h"

#include "app/Globals.h"
#include "app/MyLog.h"
#include "mainwindow/MAIN.h"
#include "platform/rtl/AnsiString.h"

namespace codec::detail {

bool UnregistrationStarted = false;

// The log module is read afresh at every call, as it may come and go in tests.
void LogDebug(const rtl::UnicodeString& text)
{
    if (MyLogModule != nullptr)
        MyLogModule->LogDebug(rtl::AnsiString(text));
}
void LogInfo(const rtl::UnicodeString& text)
{
    if (MyLogModule != nullptr)
        MyLogModule->LogInfo(rtl::AnsiString(text));
}
void LogError(const rtl::UnicodeString& text)
{
    if (MyLogModule != nullptr)
        MyLogModule->LogError(rtl::AnsiString(text));
}
void LogWarningBox(const rtl::UnicodeString& text)
{
    if (MyLogModule != nullptr)
        MyLogModule->LogMessage(rtl::AnsiString(text), 2);
}
void LogException(const char16_t* name, const rtl::Exception& e)
{
    LogError(rtl::UnicodeString(name) + u" ERROR:" + e.Message);
}

rtl::UnicodeString DecoderFolder() { return ProgramFolder + u"\\ffdshow"; }

bool IsSafeParameterText(const rtl::UnicodeString& text)
{
    for (char16_t c : text.view())
        if (c == u'"' || c < 0x20 || c == 0x7F)
            return false;
    return true;
}

win::HWND OwnerWindow() { return MainForm != nullptr ? MainForm->Handle() : nullptr; }

} // namespace codec::detail
