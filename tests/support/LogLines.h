// The program's log as tests read it.
#pragma once

#include <string>
#include <vector>

#include "app/MyLog.h"

namespace test_support {

// The log lines from index `from` on, oldest first, without their time stamp
// and with the level tag shortened: "[Debug] text", "[Warning] text".
std::vector<std::string> TaggedLogLines(const TMyLogModule& log, int from);

// The same lines' texts alone.
std::vector<std::string> LogLineTexts(const TMyLogModule& log, int from);

} // namespace test_support
