// The playback control's log lines and its debugger output. The log calls
// write nothing while the log module is gone (early start-up, late exit).
#pragma once

#include <string>
#include <vector>

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

// The debugger output: nobody listens on Linux, so the texts are kept (the
// last 256) for whoever looks, and echoed to stderr when the environment
// variable VELMORASTINE_DEBUG_OUTPUT is set.
void OutputDebugStringA(const char* text);
std::vector<std::string> DebugOutputTexts();
void ClearDebugOutput();

} // namespace playback
