// BeginPaint and EndPaint over a window's surface: bad arguments first, then
// the context's life and the surface across a change of size.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win/win.h"

namespace {

constexpr DWORD kInvalidParameter = 87;
constexpr DWORD kAccessDenied = 5;

// A window whose client area is `width` x `height`.
class PaintedWindow : public win::WindowProcedure {
public:
    int width = 40;
    int height = 30;
    win::WindowSurface surface;
    win::LRESULT WindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM) override { return 0; }
    win::WindowSurface* Surface() override
    {
        surface.Resize(width, height);
        return &surface;
    }
};

// A window that cannot be painted (the default).
class PlainWindow : public win::WindowProcedure {
public:
    win::LRESULT WindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM) override { return 0; }
};

TEST(DeviceContext, BadArgumentsGiveNoContext)
{
    PaintedWindow painted;
    PlainWindow plain;
    win::HWND window = win::CreateWindowHandle(&painted);
    win::HWND unpaintable = win::CreateWindowHandle(&plain);
    win::PAINTSTRUCT ps;

    struct Row {
        const char* what;
        win::HWND window;
        win::PAINTSTRUCT* paint;
        DWORD error;
    };
    const Row rows[] = {
        {"null paint record", window, nullptr, kInvalidParameter},
        {"null window", nullptr, &ps, win::ERROR_INVALID_WINDOW_HANDLE},
        {"a window that cannot be painted", unpaintable, &ps, kInvalidParameter},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        win::SetLastError(0);
        EXPECT_EQ(win::BeginPaint(row.window, row.paint), nullptr);
        EXPECT_EQ(win::GetLastError(), row.error);
    }

    // Another thread's window.
    win::HDC fromOther = reinterpret_cast<win::HDC>(1);
    DWORD otherError = 0;
    std::thread([&] {
        win::PAINTSTRUCT other;
        fromOther = win::BeginPaint(window, &other);
        otherError = win::GetLastError();
    }).join();
    EXPECT_EQ(fromOther, nullptr);
    EXPECT_EQ(otherError, kAccessDenied);

    EXPECT_EQ(win::EndPaint(window, nullptr), 0);
    win::PAINTSTRUCT never;
    EXPECT_EQ(win::EndPaint(window, &never), 0);
    EXPECT_EQ(win::OpenDeviceContexts(), 0);
    win::DestroyWindow(window);
    win::DestroyWindow(unpaintable);
    EXPECT_EQ(win::BeginPaint(window, &ps), nullptr) << "a destroyed window";
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_WINDOW_HANDLE);
}

TEST(DeviceContext, AContextDrawsIntoItsWindowUntilItEnds)
{
    PaintedWindow painted;
    PaintedWindow other;
    win::HWND window = win::CreateWindowHandle(&painted);
    win::HWND second = win::CreateWindowHandle(&other);

    win::PAINTSTRUCT ps;
    win::HDC dc = win::BeginPaint(window, &ps);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ps.hdc, dc);
    EXPECT_EQ(ps.rcPaint, (win::RECT{0, 0, 40, 30}));
    EXPECT_EQ(win::OpenDeviceContexts(), 1);
    EXPECT_EQ(win::WindowFromDC(dc), window);
    win::WindowSurface* surface = win::SurfaceOfDC(dc);
    ASSERT_EQ(surface, &painted.surface);
    EXPECT_TRUE(surface->painted);
    surface->pixels[0] = 0x123456;

    EXPECT_EQ(win::EndPaint(second, &ps), 0) << "another window's context";
    EXPECT_EQ(win::EndPaint(window, &ps), 1);
    EXPECT_EQ(win::EndPaint(window, &ps), 0) << "ended twice";
    EXPECT_EQ(win::SurfaceOfDC(dc), nullptr);
    EXPECT_EQ(win::OpenDeviceContexts(), 0);
    EXPECT_EQ(painted.surface.pixels[0], 0x123456u) << "the window keeps what was drawn";

    // A window destroyed while painting: the context no longer reaches it.
    dc = win::BeginPaint(second, &ps);
    ASSERT_NE(dc, nullptr);
    win::DestroyWindow(second);
    EXPECT_EQ(win::SurfaceOfDC(dc), nullptr);
    EXPECT_EQ(win::EndPaint(second, &ps), 1);
    EXPECT_FALSE(other.surface.pixels.empty());
    win::DestroyWindow(window);
}

TEST(DeviceContext, TheSurfaceFollowsTheClientSizeKeepingWhatStillFits)
{
    win::WindowSurface surface;
    surface.Resize(3, 2);
    surface.pixels = {1, 2, 3, 4, 5, 6};
    surface.Resize(2, 3);
    EXPECT_EQ(surface.pixels, (std::vector<std::uint32_t>{1, 2, 4, 5, 0, 0}));
    surface.Resize(-5, 4);
    EXPECT_EQ(surface.width, 0);
    EXPECT_TRUE(surface.pixels.empty());
    surface.Resize(20000, 1);
    EXPECT_EQ(surface.width, 16384);

    PaintedWindow painted;
    win::HWND window = win::CreateWindowHandle(&painted);
    win::RECT client{};
    ASSERT_EQ(win::GetClientRect(window, &client), 1);
    EXPECT_EQ(client, (win::RECT{0, 0, 40, 30}));
    painted.width = 10;
    ASSERT_EQ(win::GetClientRect(window, &client), 1);
    EXPECT_EQ(client, (win::RECT{0, 0, 10, 30}));
    EXPECT_FALSE(painted.surface.painted) << "asking the size paints nothing";
    EXPECT_EQ(win::GetClientRect(window, nullptr), 0);
    win::DestroyWindow(window);
}

} // namespace
