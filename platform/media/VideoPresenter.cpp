#include "platform/media/VideoPresenter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/host/Seam.h"
#include "platform/win/Paint.h"

namespace media {

namespace {

VideoPresenter* Headless()
{
    static VideoPresenter none;
    return &none;
}

constinit host::Seam<VideoPresenter*, host::SeamReaders::AnyThread> gPresenters(&Headless);

struct Span {
    int from;
    int to; // exclusive
};

// The part of [a, b) inside [0, limit).
Span Clip(LONG a, LONG b, int limit) { return {std::clamp<int>(a, 0, limit), std::clamp<int>(b, 0, limit)}; }

// Reused from repaint to repaint (one thread paints).
std::vector<std::uint32_t>& ColumnTable()
{
    thread_local std::vector<std::uint32_t> table;
    return table;
}

// 0x00BBGGRR to the surface's 0x00RRGGBB.
std::uint32_t SurfacePixel(COLORREF c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }

} // namespace

VideoPresenter::~VideoPresenter() = default;

void VideoPresenter::Repaint(HWND, HDC dc, const Frame& frame, const RECT& source, const RECT& picture,
                             const RECT& destination, COLORREF border)
{
    win::WindowSurface* surface = win::SurfaceOfDC(dc);
    if (surface == nullptr)
        return;
    const int w = surface->width;
    const int h = surface->height;
    auto row = [&](int y) { return surface->pixels.data() + static_cast<std::size_t>(y) * w; };

    const std::int64_t sw = std::int64_t(source.right) - source.left;
    const std::int64_t sh = std::int64_t(source.bottom) - source.top;
    const std::int64_t pw = std::int64_t(picture.right) - picture.left;
    const std::int64_t ph = std::int64_t(picture.bottom) - picture.top;
    const bool draws = frame.width > 0 && frame.height > 0 && sw > 0 && sh > 0 && pw > 0 && ph > 0 &&
        frame.pixels.size() == static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height) &&
        source.left >= 0 && source.top >= 0 && source.right <= frame.width && source.bottom <= frame.height;
    PaintBorder(*surface, draws ? &picture : nullptr, destination, border);
    if (!draws)
        return;
    const Span px = Clip(picture.left, picture.right, w);
    const Span py = Clip(picture.top, picture.bottom, h);
    if (px.from >= px.to || py.from >= py.to)
        return;
    // The frame column of each surface column, worked out once per repaint;
    // each row then only gathers (or repeats the row above when the two read
    // the same frame row).
    std::vector<std::uint32_t>& columns = ColumnTable();
    columns.resize(static_cast<std::size_t>(px.to - px.from));
    for (int x = px.from; x < px.to; ++x)
        columns[static_cast<std::size_t>(x - px.from)] =
            static_cast<std::uint32_t>(source.left + (std::int64_t(x) - picture.left) * sw / pw);
    const std::size_t span = columns.size();
    int previous = -1;
    for (int y = py.from; y < py.to; ++y) {
        const int fy = static_cast<int>(source.top + (std::int64_t(y) - picture.top) * sh / ph);
        std::uint32_t* to = row(y) + px.from;
        if (fy == previous) {
            std::memcpy(to, row(y - 1) + px.from, span * sizeof(std::uint32_t));
            continue;
        }
        previous = fy;
        const std::uint32_t* from = frame.pixels.data() + static_cast<std::size_t>(fy) * frame.width;
        const std::uint32_t* column = columns.data();
        for (std::size_t i = 0; i < span; ++i)
            to[i] = from[column[i]] & 0x00FFFFFFu;
    }
}

bool VideoPresenter::ShowsFramesAsTheyCome() const { return false; }

bool VideoPresenter::RepaintsAsTheDefault() const { return true; }

void PaintBorder(win::WindowSurface& surface, const RECT* picture, const RECT& destination, COLORREF border)
{
    const int w = surface.width;
    const int h = surface.height;
    if (surface.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        return;
    auto row = [&](int y) { return surface.pixels.data() + static_cast<std::size_t>(y) * w; };
    const Span dx = Clip(destination.left, destination.right, w);
    const Span dy = Clip(destination.top, destination.bottom, h);
    const std::uint32_t fill = SurfacePixel(border);
    const Span px = picture != nullptr ? Clip(picture->left, picture->right, w) : Span{0, 0};
    const Span py = picture != nullptr ? Clip(picture->top, picture->bottom, h) : Span{0, 0};
    for (int y = dy.from; y < dy.to; ++y) {
        if (y < py.from || y >= py.to || px.from >= px.to) {
            std::fill(row(y) + dx.from, row(y) + dx.to, fill);
            continue;
        }
        std::fill(row(y) + dx.from, row(y) + std::max(dx.from, std::min(px.from, dx.to)), fill);
        std::fill(row(y) + std::min(dx.to, std::max(px.to, dx.from)), row(y) + dx.to, fill);
    }
}

VideoPresenter& CurrentVideoPresenter() { return *gPresenters.Current(); }

VideoPresenter* InstallVideoPresenter(VideoPresenter* presenter) { return gPresenters.Install(presenter); }

} // namespace media
