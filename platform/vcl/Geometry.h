// The framework's point and rectangle records (right and bottom exclusive).
#pragma once

#include <algorithm>

namespace vcl {

struct TPoint {
    int X = 0;
    int Y = 0;
    TPoint() = default;
    TPoint(int x, int y) : X(x), Y(y) {}
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    TRect() = default;
    TRect(int left, int top, int right, int bottom) : Left(left), Top(top), Right(right), Bottom(bottom) {}
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(const TPoint& p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    TRect Intersect(const TRect& o) const
    {
        TRect r(std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom));
        if (r.Empty())
            return TRect();
        return r;
    }
    TRect Offset(int dx, int dy) const { return TRect(Left + dx, Top + dy, Right + dx, Bottom + dy); }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) { return TRect(left, top, right, bottom); }
inline TRect Bounds(int left, int top, int width, int height) { return TRect(left, top, left + width, top + height); }
inline TPoint Point(int x, int y) { return TPoint(x, y); }

} // namespace vcl
