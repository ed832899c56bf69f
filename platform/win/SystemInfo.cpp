#include "platform/win/SystemInfo.h"

#include "platform/win/LastError.h"

#include <charconv>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>

namespace win {

namespace {

struct Screen {
    SIZE size;
    RECT workArea;
};

constexpr Screen kDefaultScreen{{1920, 1080}, {0, 0, 1920, 1040}};

// "1366x768" or "1366x768:728"; every number 1..100000.
std::optional<Screen> ParseScreen(std::string_view text)
{
    auto number = [&](std::string_view& rest, LONG& out) {
        const char* end = rest.data() + rest.size();
        int value = 0;
        auto [ptr, ec] = std::from_chars(rest.data(), end, value);
        if (ec != std::errc() || ptr == rest.data() || value < 1 || value > 100000)
            return false;
        out = value;
        rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()));
        return true;
    };
    Screen screen{};
    std::string_view rest = text;
    if (!number(rest, screen.size.cx) || rest.empty() || rest.front() != 'x')
        return std::nullopt;
    rest.remove_prefix(1);
    if (!number(rest, screen.size.cy))
        return std::nullopt;
    LONG workHeight = screen.size.cy;
    if (!rest.empty()) {
        if (rest.front() != ':')
            return std::nullopt;
        rest.remove_prefix(1);
        if (!number(rest, workHeight) || !rest.empty() || workHeight > screen.size.cy)
            return std::nullopt;
    }
    screen.workArea = RECT{0, 0, screen.size.cx, workHeight};
    return screen;
}

Screen StartScreen()
{
    if (const char* env = std::getenv("VELMORASTINE_SCREEN"))
        if (auto parsed = ParseScreen(env))
            return *parsed;
    return kDefaultScreen;
}

std::mutex screenMutex;
std::optional<Screen> screenOverride;

Screen CurrentScreen()
{
    std::lock_guard<std::mutex> guard(screenMutex);
    if (!screenOverride)
        screenOverride = StartScreen();
    return *screenOverride;
}

} // namespace

BOOL SystemParametersInfoW(UINT action, UINT, void* param, UINT)
{
    if (action != SPI_GETWORKAREA || param == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    *static_cast<RECT*>(param) = CurrentScreen().workArea;
    return 1;
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni)
{
    return SystemParametersInfoW(action, uiParam, param, winIni);
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni)
{
    return SystemParametersInfoW(action, uiParam, param, winIni);
}

int GetSystemMetrics(int index)
{
    const Screen screen = CurrentScreen();
    if (index == SM_CXSCREEN)
        return screen.size.cx;
    if (index == SM_CYSCREEN)
        return screen.size.cy;
    return 0;
}

void SetScreen(const SIZE& screen, const RECT& workArea)
{
    std::lock_guard<std::mutex> guard(screenMutex);
    screenOverride = Screen{screen, workArea};
}

void ResetScreen()
{
    std::lock_guard<std::mutex> guard(screenMutex);
    screenOverride = StartScreen();
}

} // namespace win
