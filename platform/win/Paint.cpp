#include "platform/win/Paint.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "platform/win/LastError.h"
#include "platform/win/MessageSystem.h"
#include "platform/win/detail/DeviceContext.h"
#include "platform/win/Window.h"

namespace win {

namespace {

constexpr int kMaxSide = 16384;
constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorInvalidParameter = 87;

std::mutex contextsMutex;
std::unordered_set<HDC> contexts;

// The procedure of a window the calling thread owns, or null with the error.
WindowProcedure* OwnedProcedure(HWND window)
{
    detail::MessageSystem& system = detail::System();
    std::shared_ptr<detail::ThreadQueue> queue = system.Current();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto it = system.windows.find(window);
    if (window == nullptr || it == system.windows.end() || it->second.destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (it->second.owner != queue) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    return it->second.procedure;
}

bool IsOpen(HDC dc)
{
    std::lock_guard<std::mutex> guard(contextsMutex);
    return dc != nullptr && contexts.count(dc) != 0;
}

} // namespace

void WindowSurface::Resize(int newWidth, int newHeight)
{
    newWidth = std::clamp(newWidth, 0, kMaxSide);
    newHeight = std::clamp(newHeight, 0, kMaxSide);
    if (newWidth == width && newHeight == height)
        return;
    std::vector<std::uint32_t> next(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight), 0);
    const int keepW = std::min(width, newWidth);
    const int keepH = std::min(height, newHeight);
    for (int y = 0; y < keepH; ++y)
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, keepW,
                    next.begin() + static_cast<std::ptrdiff_t>(y) * newWidth);
    pixels = std::move(next);
    width = newWidth;
    height = newHeight;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    if (paint == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    WindowProcedure* procedure = OwnedProcedure(window);
    if (procedure == nullptr)
        return nullptr;
    WindowSurface* surface = procedure->Surface();
    if (surface == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    surface->painted = true;
    HDC dc = new HDC__{window, HDC__::Paint};
    {
        std::lock_guard<std::mutex> guard(contextsMutex);
        contexts.insert(dc);
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = RECT{0, 0, surface->width, surface->height};
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (paint == nullptr || paint->hdc == nullptr)
        return 0;
    {
        std::lock_guard<std::mutex> guard(contextsMutex);
        auto it = contexts.find(paint->hdc);
        if (it == contexts.end() || (*it)->window != window)
            return 0;
        delete *it;
        contexts.erase(it);
    }
    if (WindowProcedure* procedure = OwnedProcedure(window))
        procedure->SurfacePainted();
    return 1;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    if (rect == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    WindowProcedure* procedure = OwnedProcedure(window);
    WindowSurface* surface = procedure != nullptr ? procedure->Surface() : nullptr;
    if (surface == nullptr)
        return 0;
    *rect = RECT{0, 0, surface->width, surface->height};
    return 1;
}

HWND WindowFromDC(HDC dc) { return IsOpen(dc) ? dc->window : nullptr; }

WindowSurface* SurfaceOfDC(HDC dc)
{
    HWND window = WindowFromDC(dc);
    if (window == nullptr)
        return nullptr;
    WindowProcedure* procedure = OwnedProcedure(window);
    return procedure != nullptr ? procedure->Surface() : nullptr;
}

int OpenDeviceContexts()
{
    std::lock_guard<std::mutex> guard(contextsMutex);
    return static_cast<int>(contexts.size());
}

} // namespace win
