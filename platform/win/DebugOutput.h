// The debugger output (OutputDebugStringA). Nobody listens on Linux, so the
// texts are kept (the last 256) for whoever looks, and echoed to stderr when
// the environment variable VELMORASTINE_DEBUG_OUTPUT is set.
//
// Thread-safe: the player's threads, the decoder's log and the back ends
// write from any thread.
#pragma once

#include <string>
#include <vector>

namespace win {

// A null text is ignored.
void OutputDebugStringA(const char* text);
// The kept texts, oldest first.
std::vector<std::string> DebugOutputTexts();
void ClearDebugOutput();

} // namespace win
