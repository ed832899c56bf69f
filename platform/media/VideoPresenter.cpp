#include "platform/media/VideoPresenter.h"

#include <algorithm>
#include <atomic>

#include "platform/win/Paint.h"

namespace media {

namespace {
std::atomic<VideoPresenter*> installed{nullptr};

struct Span {
    int from;
    int to; // exclusive
};

// The part of [a, b) inside [0, limit).
Span Clip(LONG a, LONG b, int limit) { return {std::clamp<int>(a, 0, limit), std::clamp<int>(b, 0, limit)}; }

// 0x00BBGGRR to the surface's 0x00RRGGBB.
std::uint32_t SurfacePixel(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

} // namespace

VideoPresenter::~VideoPresenter() = default;

void VideoPresenter::Repaint(HWND, HDC dc, const Frame& frame, const RECT& source, const RECT& picture,
                             const RECT& destination, COLORREF border)
{
    win::WindowSurface* surface = win::SurfaceOfDC(dc);
    if (surface == nullptr) return;
    const int w = surface->width;
    const int h = surface->height;
    auto row = [&](int y) { return surface->pixels.data() + static_cast<std::size_t>(y) * w; };

    const Span dx = Clip(destination.left, destination.right, w);
    const Span dy = Clip(destination.top, destination.bottom, h);
    const std::uint32_t fill = SurfacePixel(border);
    for (int y = dy.from; y < dy.to; ++y) std::fill(row(y) + dx.from, row(y) + dx.to, fill);

    const std::int64_t sw = std::int64_t(source.right) - source.left;
    const std::int64_t sh = std::int64_t(source.bottom) - source.top;
    const std::int64_t pw = std::int64_t(picture.right) - picture.left;
    const std::int64_t ph = std::int64_t(picture.bottom) - picture.top;
    if (frame.width <= 0 || frame.height <= 0 || sw <= 0 || sh <= 0 || pw <= 0 || ph <= 0) return;
    if (frame.pixels.size() != static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height)) return;
    if (source.left < 0 || source.top < 0 || source.right > frame.width || source.bottom > frame.height) return;

    const Span px = Clip(picture.left, picture.right, w);
    const Span py = Clip(picture.top, picture.bottom, h);
    for (int y = py.from; y < py.to; ++y) {
        const int fy = static_cast<int>(source.top + (std::int64_t(y) - picture.top) * sh / ph);
        const std::uint32_t* from = frame.pixels.data() + static_cast<std::size_t>(fy) * frame.width;
        std::uint32_t* to = row(y);
        for (int x = px.from; x < px.to; ++x)
            to[x] = from[source.left + (std::int64_t(x) - picture.left) * sw / pw] & 0x00FFFFFFu;
    }
}

VideoPresenter& CurrentVideoPresenter()
{
    static VideoPresenter none;
    VideoPresenter* p = installed.load();
    return p != nullptr ? *p : none;
}

VideoPresenter* InstallVideoPresenter(VideoPresenter* presenter) { return installed.exchange(presenter); }

} // namespace media
