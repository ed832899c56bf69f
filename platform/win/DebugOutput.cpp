#include "platform/win/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace win {

namespace {

std::mutex gOutputLock;
std::deque<std::string> gOutput; // guarded by gOutputLock
constexpr std::size_t kKeptOutput = 256;

} // namespace

void OutputDebugStringA(const char* text)
{
    if (text == nullptr)
        return;
    if (std::getenv("VELMORASTINE_DEBUG_OUTPUT") != nullptr)
        std::fputs(text, stderr);
    std::lock_guard<std::mutex> lock(gOutputLock);
    gOutput.emplace_back(text);
    if (gOutput.size() > kKeptOutput)
        gOutput.pop_front();
}

std::vector<std::string> DebugOutputTexts()
{
    std::lock_guard<std::mutex> lock(gOutputLock);
    return {gOutput.begin(), gOutput.end()};
}

void ClearDebugOutput()
{
    std::lock_guard<std::mutex> lock(gOutputLock);
    gOutput.clear();
}

} // namespace win
