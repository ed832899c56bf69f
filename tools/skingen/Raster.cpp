#include "tools/skingen/Raster.h"

#include <algorithm>
#include <cmath>

namespace skingen {

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Paint Solid(const Rgb& colour)
{
    return [colour](float, float) { return colour; };
}

Paint Vertical(const Rgb& top, const Rgb& bottom, float y0, float y1)
{
    return [=](float, float y) {
        const float t = y1 > y0 ? std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f) : 0.0f;
        return Mix(top, bottom, t);
    };
}

Sdf Box(float left, float top, float width, float height, float radius)
{
    const float cx = left + width / 2, cy = top + height / 2;
    const float hx = width / 2, hy = height / 2;
    radius = std::min({radius, hx, hy});
    return [=](float x, float y) {
        const float qx = std::fabs(x - cx) - hx + radius;
        const float qy = std::fabs(y - cy) - hy + radius;
        const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Sdf Circle(float cx, float cy, float radius)
{
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

namespace {
float SegmentDistance(float x, float y, float x0, float y0, float x1, float y1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}
} // namespace

Sdf Segment(float x0, float y0, float x1, float y1, float halfWidth)
{
    return [=](float x, float y) { return SegmentDistance(x, y, x0, y0, x1, y1) - halfWidth; };
}

Sdf Polygon(std::vector<float> xy)
{
    return [xy = std::move(xy)](float x, float y) {
        const std::size_t n = xy.size() / 2;
        float best = 1e9f;
        bool inside = false;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            best = std::min(best, SegmentDistance(x, y, xi, yi, xj, yj));
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                inside = !inside;
        }
        return inside ? -best : best;
    };
}

Sdf Arc(float cx, float cy, float radius, float halfWidth, float a0, float a1)
{
    return [=](float x, float y) {
        float a = std::atan2(y - cy, x - cx);
        // Bring the angle into [a0, a0 + 2 pi).
        const float twoPi = 6.28318531f;
        while (a < a0)
            a += twoPi;
        while (a >= a0 + twoPi)
            a -= twoPi;
        if (a <= a1)
            return std::fabs(std::hypot(x - cx, y - cy) - radius) - halfWidth;
        const float e0 = std::hypot(x - (cx + radius * std::cos(a0)), y - (cy + radius * std::sin(a0)));
        const float e1 = std::hypot(x - (cx + radius * std::cos(a1)), y - (cy + radius * std::sin(a1)));
        return std::min(e0, e1) - halfWidth;
    };
}

Sdf Union(Sdf a, Sdf b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Sdf Subtract(Sdf a, Sdf b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Sdf Intersect(Sdf a, Sdf b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Sdf Outline(Sdf a, float width)
{
    return [a = std::move(a), width](float x, float y) { return std::fabs(a(x, y)) - width / 2; };
}

Sdf Offset(Sdf a, float dx, float dy)
{
    return [a = std::move(a), dx, dy](float x, float y) { return a(x - dx, y - dy); };
}

Image::Image(int width, int height, const Rgb& fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill)
{
}

void Image::Blend(int x, int y, const Rgb& colour, float alpha)
{
    Rgb& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p = Mix(p, colour, std::clamp(alpha, 0.0f, 1.0f));
}

void Image::Fill(const Sdf& shape, const Paint& paint, float alpha, float left, float top, float right, float bottom)
{
    const int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
    const int x1 = std::min(width_, static_cast<int>(std::ceil(right)) + 1);
    const int y1 = std::min(height_, static_cast<int>(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float coverage = std::clamp(0.5f - shape(px, py), 0.0f, 1.0f);
            if (coverage > 0)
                Blend(x, y, paint(px, py), coverage * alpha);
        }
}

void Image::Glow(const Sdf& shape, const Rgb& colour, float radius, float strength, float left, float top, float right,
                 float bottom)
{
    const int x0 = std::max(0, static_cast<int>(std::floor(left - radius)));
    const int y0 = std::max(0, static_cast<int>(std::floor(top - radius)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(right + radius)));
    const int y1 = std::min(height_, static_cast<int>(std::ceil(bottom + radius)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float d = shape(x + 0.5f, y + 0.5f);
            if (d < radius) {
                const float t = d <= 0 ? 1.0f : 1.0f - d / radius;
                Blend(x, y, colour, strength * t * t);
            }
        }
}

std::vector<std::uint8_t> Image::Bytes() const
{
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const Rgb& p : pixels_)
        for (float c : {p.r, p.g, p.b})
            out.push_back(static_cast<std::uint8_t>(std::clamp(std::lround(c), 0L, 255L)));
    return out;
}

} // namespace skingen
