// A small anti-aliased painter for the skin: shapes are signed distance
// functions (negative inside, in pixels), painted with their edge blended
// over one pixel, so strokes and curves come out smooth at any size.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace skingen {

struct Rgb {
    float r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, float t);
inline Rgb RgbOf(int r, int g, int b) { return {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)}; }

using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Rgb(float x, float y)>;

Paint Solid(const Rgb& colour);
// From `top` at y0 to `bottom` at y1.
Paint Vertical(const Rgb& top, const Rgb& bottom, float y0, float y1);

// Shapes (coordinates in pixels, y down).
Sdf Box(float left, float top, float width, float height, float radius = 0);
Sdf Circle(float cx, float cy, float radius);
Sdf Segment(float x0, float y0, float x1, float y1, float halfWidth);
// A closed polygon (any winding, may be concave).
Sdf Polygon(std::vector<float> xy);
// An arc of a ring: centre, radius, half the stroke, from angle a0 to a1
// (radians, clockwise on screen from the +x axis), round ends.
Sdf Arc(float cx, float cy, float radius, float halfWidth, float a0, float a1);

Sdf Union(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
// The outline of a shape, `width` wide, centred on its edge.
Sdf Outline(Sdf a, float width);
Sdf Offset(Sdf a, float dx, float dy);

class Image {
public:
    Image(int width, int height, const Rgb& fill);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Paints the shape inside the box (left, top, right, bottom) it lies in.
    void Fill(const Sdf& shape, const Paint& paint, float alpha = 1, float left = -1e9f, float top = -1e9f,
              float right = 1e9f, float bottom = 1e9f);
    // A soft light around (and under) a shape: strongest at its edge, gone
    // `radius` pixels out.
    void Glow(const Sdf& shape, const Rgb& colour, float radius, float strength, float left = -1e9f, float top = -1e9f,
              float right = 1e9f, float bottom = 1e9f);

    Rgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    // 8-bit RGB rows, top-down.
    std::vector<std::uint8_t> Bytes() const;

private:
    void Blend(int x, int y, const Rgb& colour, float alpha);

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

} // namespace skingen
