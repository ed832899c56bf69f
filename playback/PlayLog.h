// The playback control's log lines. The log calls write nothing while the
// log module is gone (early start-up, late exit). Its debugger output is the
// layer's (platform/win/DebugOutput.h).
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/rtl/UnicodeString.h"

namespace playback {

void LogDebug(const rtl::UnicodeString& text);
void LogInfo(const rtl::UnicodeString& text);
void LogError(const rtl::UnicodeString& text);
// Shown in the log's box first (level 3: "Error").
void LogMessage(const rtl::UnicodeString& text, int level);
// "<where> ERROR:" directly followed by the exception's message.
void LogException(const char16_t* where, const rtl::Exception& e);

} // namespace playback
