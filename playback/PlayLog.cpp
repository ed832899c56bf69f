#include "playback/PlayLog.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "app/MyLog.h"

namespace playback {

namespace {

std::mutex gOutputLock;
std::deque<std::string> gOutput;
constexpr std::size_t kKeptOutput = 256;

} // namespace

void LogDebug(const rtl::UnicodeString& text) {
    if (MyLogModule) MyLogModule->LogDebug(rtl::AnsiString(text));
}

void LogInfo(const rtl::UnicodeString& text) {
    if (MyLogModule) MyLogModule->LogInfo(rtl::AnsiString(text));
}

void LogError(const rtl::UnicodeString& text) {
    if (MyLogModule) MyLogModule->LogError(rtl::AnsiString(text));
}

void LogMessage(const rtl::UnicodeString& text, int level) {
    if (MyLogModule) MyLogModule->LogMessage(rtl::AnsiString(text), level);
}

void LogException(const char16_t* where, const rtl::Exception& e) {
    LogError(rtl::UnicodeString(where) + u" ERROR:" + e.Message);
}

void OutputDebugStringA(const char* text) {
    if (text == nullptr) return;
    if (std::getenv("VELMORASTINE_DEBUG_OUTPUT") != nullptr) std::fputs(text, stderr);
    std::lock_guard<std::mutex> lock(gOutputLock);
    gOutput.emplace_back(text);
    if (gOutput.size() > kKeptOutput) gOutput.pop_front();
}

std::vector<std::string> DebugOutputTexts() {
    std::lock_guard<std::mutex> lock(gOutputLock);
    return {gOutput.begin(), gOutput.end()};
}

void ClearDebugOutput() {
    std::lock_guard<std::mutex> lock(gOutputLock);
    gOutput.clear();
}

} // namespace playback
