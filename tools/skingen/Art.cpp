#include "tools/skingen/Art.h"

#include "mainwindow/LayoutTable.h"

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

const Rgb kBackTop = RgbOf(27, 30, 36);
const Rgb kBackBottom = RgbOf(13, 15, 18);
const Rgb kColumnTop = RgbOf(36, 40, 48);
const Rgb kColumnBottom = RgbOf(22, 25, 30);
const Rgb kDeckTop = RgbOf(40, 44, 52);
const Rgb kDeckBottom = RgbOf(27, 30, 36);
// Behind the skinned buttons: their pictures' corners take it too.
const Rgb kButtonBed = RgbOf(17, 19, 23);
const Rgb kGroove = RgbOf(5, 6, 8);
const Rgb kEdgeDark = RgbOf(6, 7, 9);
const Rgb kEdgeLight = RgbOf(62, 68, 80);
const Rgb kCream = RgbOf(255, 251, 240);
const Rgb kCreamDim = RgbOf(150, 146, 138);
const Rgb kAmber = RgbOf(244, 170, 64);

constexpr float kPi = 3.14159265f;

struct Rect {
    float l, t, w, h;
    float r() const { return l + w; }
    float b() const { return t + h; }
};

void FillBox(Image& img, const Rect& r, const Paint& paint, float radius = 0, float alpha = 1)
{
    img.Fill(Box(r.l, r.t, r.w, r.h, radius), paint, alpha, r.l, r.t, r.r(), r.b());
}

void FrameBox(Image& img, const Rect& r, const Rgb& colour, float width, float radius = 0, float alpha = 1)
{
    img.Fill(Outline(Box(r.l, r.t, r.w, r.h, radius), width), Solid(colour), alpha, r.l - width, r.t - width,
             r.r() + width, r.b() + width);
}

// A raised plate: gradient, light top edge, dark frame.
void Plate(Image& img, const Rect& r, float radius, const Rgb& top, const Rgb& bottom)
{
    img.Glow(Box(r.l, r.t + 2, r.w, r.h, radius), RgbOf(0, 0, 0), 6, 0.45f, r.l, r.t, r.r(), r.b());
    FillBox(img, r, Vertical(top, bottom, r.t, r.b()), radius);
    img.Fill(Intersect(Outline(Box(r.l + 1, r.t + 1, r.w - 2, r.h - 2, radius - 1), 1), Box(r.l, r.t, r.w, r.h / 2)),
             Solid(kEdgeLight), 0.55f, r.l, r.t, r.r(), r.t + r.h / 2);
    FrameBox(img, {r.l + 0.5f, r.t + 0.5f, r.w - 1, r.h - 1}, kEdgeDark, 1, radius);
}

// A sunken well: dark fill, inner shadow, light lower edge.
void Well(Image& img, const Rect& r, float radius, const Rgb& fill)
{
    FillBox(img, r, Solid(fill), radius);
    img.Fill(Intersect(Outline(Box(r.l, r.t, r.w, r.h, radius), 1.5f), Box(r.l, r.t, r.w, r.h / 2)),
             Solid(RgbOf(0, 0, 0)), 0.8f, r.l - 1, r.t - 1, r.r() + 1, r.t + r.h / 2);
    img.Fill(Intersect(Outline(Box(r.l - 0.5f, r.t - 0.5f, r.w + 1, r.h + 1, radius), 1),
                       Box(r.l - 2, r.t + r.h / 2, r.w + 4, r.h / 2 + 2)),
             Solid(kEdgeLight), 0.5f, r.l - 2, r.t + r.h / 2, r.r() + 2, r.b() + 2);
}

Sdf Triangle(float x0, float y0, float x1, float y1, float x2, float y2) { return Polygon({x0, y0, x1, y1, x2, y2}); }

// A box turned by `angle` about its centre (cx, cy), as a polygon.
Sdf TurnedBox(float cx, float cy, float halfLength, float halfWidth, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    std::vector<float> xy;
    for (auto [u, v] : {std::pair{-halfLength, -halfWidth}, std::pair{halfLength, -halfWidth},
                        std::pair{halfLength, halfWidth}, std::pair{-halfLength, halfWidth}})
        xy.insert(xy.end(), {cx + u * c - v * s, cy + u * s + v * c});
    return Polygon(xy);
}

// The ten function icons, by Tag, centred on (cx, cy) in a square of side s.
void DrawIcon(Image& img, int tag, float cx, float cy, float s, const Rgb& ink, const Rgb& hole)
{
    auto X = [&](float u) { return cx + u * s; };
    auto Y = [&](float v) { return cy + v * s; };
    const float w = std::max(1.3f, s * 0.075f);
    const float l = cx - s, t = cy - s, r = cx + s, b = cy + s;
    auto stroke = [&](const Sdf& shape, float alpha = 1) {
        img.Fill(Outline(shape, w), Solid(ink), alpha, l, t, r, b);
    };
    auto fill = [&](const Sdf& shape, const Rgb& colour, float alpha = 1) {
        img.Fill(shape, Solid(colour), alpha, l, t, r, b);
    };
    switch (tag) {
    case 1: // two channels side by side
        for (float u : {-0.47f, 0.03f}) {
            fill(Box(X(u), Y(-0.25f), 0.44f * s, 0.5f * s, 0.05f * s), ink, 0.18f);
            stroke(Box(X(u), Y(-0.25f), 0.44f * s, 0.5f * s, 0.05f * s));
        }
        break;
    case 2: // four channels
        for (float u : {-0.47f, 0.03f})
            for (float v : {-0.38f, 0.02f}) {
                fill(Box(X(u), Y(v), 0.44f * s, 0.36f * s, 0.05f * s), ink, 0.18f);
                stroke(Box(X(u), Y(v), 0.44f * s, 0.36f * s, 0.05f * s));
            }
        break;
    case 3: // padlock
        img.Fill(Arc(cx, Y(-0.12f), 0.2f * s, w * 0.75f, kPi, 2 * kPi), Solid(ink), 1, l, t, r, b);
        fill(Segment(X(-0.2f), Y(-0.12f), X(-0.2f), Y(0.02f), w * 0.75f), ink);
        fill(Segment(X(0.2f), Y(-0.12f), X(0.2f), Y(0.02f), w * 0.75f), ink);
        fill(Box(X(-0.33f), Y(0.0f), 0.66f * s, 0.46f * s, 0.08f * s), ink);
        fill(Union(Circle(cx, Y(0.17f), 0.065f * s), Segment(cx, Y(0.17f), cx, Y(0.32f), 0.03f * s)), hole);
        break;
    case 4: { // camera
        const Sdf body =
            Union(Box(X(-0.47f), Y(-0.22f), 0.94f * s, 0.58f * s, 0.09f * s),
                  Polygon({X(-0.2f), Y(-0.21f), X(-0.12f), Y(-0.34f), X(0.12f), Y(-0.34f), X(0.2f), Y(-0.21f)}));
        fill(body, ink, 0.18f);
        stroke(body);
        fill(Circle(cx, Y(0.07f), 0.19f * s), hole);
        stroke(Circle(cx, Y(0.07f), 0.17f * s));
        fill(Circle(cx, Y(0.07f), 0.07f * s), ink);
        fill(Circle(X(0.33f), Y(-0.1f), 0.04f * s), ink);
        break;
    }
    case 5: // printer
        stroke(Box(X(-0.25f), Y(-0.44f), 0.5f * s, 0.3f * s, 0.02f * s));
        fill(Box(X(-0.47f), Y(-0.18f), 0.94f * s, 0.42f * s, 0.08f * s), ink, 0.18f);
        stroke(Box(X(-0.47f), Y(-0.18f), 0.94f * s, 0.42f * s, 0.08f * s));
        fill(Box(X(-0.28f), Y(0.06f), 0.56f * s, 0.38f * s), hole);
        stroke(Box(X(-0.28f), Y(0.06f), 0.56f * s, 0.38f * s, 0.02f * s));
        fill(Segment(X(-0.15f), Y(0.19f), X(0.15f), Y(0.19f), w * 0.4f), ink);
        fill(Segment(X(-0.15f), Y(0.3f), X(0.08f), Y(0.3f), w * 0.4f), ink);
        fill(Circle(X(0.34f), Y(-0.07f), 0.035f * s), kAmber);
        break;
    case 6: { // the recorder's settings: a cog
        Sdf cog = Circle(cx, cy, 0.3f * s);
        for (int i = 0; i < 8; ++i) {
            const float a = i * kPi / 4;
            cog = Union(cog,
                        TurnedBox(cx + std::cos(a) * 0.36f * s, cy + std::sin(a) * 0.36f * s, 0.1f * s, 0.075f * s, a));
        }
        fill(Subtract(cog, Circle(cx, cy, 0.13f * s)), ink);
        break;
    }
    case 7: // search: a magnifier
        fill(Circle(X(-0.08f), Y(-0.08f), 0.26f * s), ink, 0.18f);
        stroke(Circle(X(-0.08f), Y(-0.08f), 0.26f * s));
        fill(Segment(X(0.13f), Y(0.13f), X(0.4f), Y(0.4f), w * 1.1f), ink);
        break;
    case 8: { // copy: two sheets
        stroke(Box(X(-0.38f), Y(-0.44f), 0.5f * s, 0.64f * s, 0.04f * s), 0.7f);
        const Sdf sheet = Polygon(
            {X(-0.12f), Y(-0.2f), X(0.22f), Y(-0.2f), X(0.38f), Y(-0.04f), X(0.38f), Y(0.44f), X(-0.12f), Y(0.44f)});
        fill(sheet, hole);
        fill(sheet, ink, 0.18f);
        stroke(sheet);
        fill(Segment(X(0.22f), Y(-0.2f), X(0.22f), Y(-0.04f), w * 0.45f), ink);
        fill(Segment(X(0.22f), Y(-0.04f), X(0.38f), Y(-0.04f), w * 0.45f), ink);
        break;
    }
    case 9: { // delete: a bin
        fill(Segment(X(-0.4f), Y(-0.29f), X(0.4f), Y(-0.29f), w * 0.6f), ink);
        stroke(Box(X(-0.11f), Y(-0.42f), 0.22f * s, 0.13f * s, 0.03f * s));
        const Sdf bin = Polygon({X(-0.31f), Y(-0.19f), X(0.31f), Y(-0.19f), X(0.25f), Y(0.44f), X(-0.25f), Y(0.44f)});
        fill(bin, ink, 0.18f);
        stroke(bin);
        for (float u : {-0.12f, 0.0f, 0.12f})
            fill(Segment(X(u), Y(-0.07f), X(u * 0.85f), Y(0.32f), w * 0.4f), ink);
        break;
    }
    case 10: { // open a folder
        const Sdf back = Polygon({X(-0.46f), Y(-0.34f), X(-0.16f), Y(-0.34f), X(-0.07f), Y(-0.23f), X(0.36f), Y(-0.23f),
                                  X(0.36f), Y(0.36f), X(-0.46f), Y(0.36f)});
        stroke(back);
        const Sdf flap = Polygon({X(-0.32f), Y(-0.06f), X(0.5f), Y(-0.06f), X(0.36f), Y(0.36f), X(-0.46f), Y(0.36f)});
        fill(flap, ink);
        break;
    }
    default:
        break;
    }
}

Rect Scaled(const TLayoutRect& r, float sx, float sy) { return {r.Left * sx, r.Top * sy, r.Width * sx, r.Height * sy}; }

Rect Grow(const Rect& r, float dx, float dy) { return {r.l - dx, r.t - dy, r.w + 2 * dx, r.h + 2 * dy}; }

Rect Span(const Rect& a, const Rect& b)
{
    const float l = std::min(a.l, b.l), t = std::min(a.t, b.t);
    return {l, t, std::max(a.r(), b.r()) - l, std::max(a.b(), b.b()) - t};
}

// A speaker with its sound waves, fitted into r.
void Speaker(Image& img, const Rect& r, const Rgb& ink)
{
    const float s = std::min(r.w, r.h);
    const float cx = r.l + r.w / 2 - s * 0.15f, cy = r.t + r.h / 2;
    const float w = std::max(1.2f, s * 0.07f);
    img.Fill(Polygon({cx - 0.35f * s, cy - 0.12f * s, cx - 0.18f * s, cy - 0.12f * s, cx + 0.02f * s, cy - 0.32f * s,
                      cx + 0.02f * s, cy + 0.32f * s, cx - 0.18f * s, cy + 0.12f * s, cx - 0.35f * s, cy + 0.12f * s}),
             Solid(ink), 1, r.l, r.t, r.r(), r.b());
    for (float radius : {0.2f, 0.36f})
        img.Fill(Arc(cx + 0.06f * s, cy, radius * s, w / 2, -0.8f, 0.8f), Solid(ink), 0.85f, r.l, r.t, r.r() + s,
                 r.b());
}

} // namespace

Image DrawBackground(int layout)
{
    const TLayoutRecord& rec = LayoutTable[layout];
    const TSkinSize size = SkinBackgroundSizes[layout];
    const float sx = static_cast<float>(size.Width) / rec.ClientWidth;
    const float sy = static_cast<float>(size.Height) / rec.ClientHeight;
    auto R = [&](int index) { return Scaled(rec.Rects[index], sx, sy); };
    const float unit = size.Width / 1440.0f; // 1 in the largest layout
    const float gap = std::max(2.0f, 5 * unit);

    Image img(size.Width, size.Height, kBackBottom);
    img.Fill(Box(0, 0, size.Width, size.Height), Vertical(kBackTop, kBackBottom, 0, size.Height));

    // The column of function icons.
    const Rect firstCell = R(lrIcon1);
    const float columnWidth = firstCell.w + 2 * unit;
    FillBox(img, {0, 0, columnWidth, static_cast<float>(size.Height)},
            Vertical(kColumnTop, kColumnBottom, 0, size.Height));
    img.Fill(Box(columnWidth, 0, std::max(1.0f, unit), size.Height), Solid(kEdgeDark), 1, columnWidth - 1, 0,
             columnWidth + 2, size.Height);
    img.Fill(Box(columnWidth - std::max(1.0f, unit), 0, std::max(1.0f, unit), size.Height), Solid(kEdgeLight), 0.35f,
             columnWidth - 2, 0, columnWidth + 1, size.Height);
    for (int n = 1; n <= 10; ++n) {
        const Rect cell = R(lrIcon1 + n - 1);
        const float iconWidth = std::floor(cell.w * static_cast<float>(IconLabelLeftFraction));
        // The icon sits on a small round plate at the left of its cell,
        // clear of the caption that starts at iconWidth.
        const float margin = std::max(2.0f, 3 * unit);
        const float plate = std::min(std::min(iconWidth, cell.h) * 0.66f * 0.72f, (iconWidth - 2 * margin) / 2);
        const float s = plate / 0.72f;
        const float cx = std::min(cell.l + iconWidth * 0.6f, cell.l + iconWidth - margin - plate),
                    cy = cell.t + cell.h / 2;
        img.Fill(Circle(cx, cy, s * 0.72f), Vertical(RgbOf(48, 53, 63), RgbOf(30, 33, 40), cy - s, cy + s), 1, cx - s,
                 cy - s, cx + s, cy + s);
        img.Fill(Outline(Circle(cx, cy, s * 0.72f), 1), Solid(kEdgeDark), 1, cx - s, cy - s, cx + s, cy + s);
        DrawIcon(img, n, cx, cy, s * 0.8f, kCream, RgbOf(34, 38, 46));
        if (n < 10) {
            const float y = std::round(cell.b());
            img.Fill(Box(gap, y - 1, columnWidth - 2 * gap, 1), Solid(kEdgeDark), 1, 0, y - 2, columnWidth, y + 1);
            img.Fill(Box(gap, y, columnWidth - 2 * gap, 1), Solid(kEdgeLight), 0.3f, 0, y - 1, columnWidth, y + 2);
        }
    }
    Well(img, Grow(R(lrEditPath), 2 * unit, 2 * unit), 3 * unit, RgbOf(8, 9, 11));

    // The control deck between the video and the graph.
    const Rect video = R(lrPanelVideo), graph = R(lrPanelGraph);
    const Rect deck = {video.l, video.b() + gap, video.w, graph.t - video.b() - 2 * gap};
    Plate(img, deck, 6 * unit, kDeckTop, kDeckBottom);
    // Seek groove, centred on the thumb, with a scale beneath.
    const Rect track = R(lrTrackRect);
    const float grooveHeight = std::max(3.0f, track.h * 0.3f);
    const Rect groove = {track.l, track.t + (track.h - grooveHeight) / 2, track.w, grooveHeight};
    Well(img, groove, grooveHeight / 2, kGroove);
    for (int i = 0; i <= 20; ++i) {
        const float x = track.l + R(lrTrack).w / 2 + (track.w - R(lrTrack).w) * i / 20.0f;
        const float h = (i % 5 == 0 ? 4.0f : 2.0f) * unit + 1;
        img.Fill(Box(x - 0.5f, track.b() + unit, 1, h), Solid(kCreamDim), i % 5 == 0 ? 0.7f : 0.4f, x - 2, track.b(),
                 x + 2, track.b() + h + 2 * unit);
    }
    // Beds of the transport buttons and of the zoom buttons.
    const Rect transport = Span(R(lrComaPre), R(lrSpeedUp));
    const Rect zoom = Span(R(lrZoom1), R(lrZoom0));
    Well(img, Grow(transport, 3 * unit, 3 * unit), 5 * unit, kButtonBed);
    Well(img, Grow(zoom, 3 * unit, 3 * unit), 5 * unit, kButtonBed);

    // The panes: a fine frame with a shadow.
    for (int index : {lrPanelVideo, lrPanelMap, lrPanelList, lrPanelGraph}) {
        const Rect p = R(index);
        img.Glow(Box(p.l, p.t, p.w, p.h), RgbOf(0, 0, 0), 8 * unit, 0.6f, p.l, p.t, p.r(), p.b());
        FillBox(img, p, Solid(RgbOf(0, 0, 0)));
        FrameBox(img, Grow(p, 0.5f, 0.5f), kEdgeLight, 1, 0, 0.8f);
    }

    // The lower right: time read-out and volume.
    const Rect list = R(lrPanelList);
    const Rect corner = {list.l, list.b() + 1, list.w, size.Height - list.b() - 1 - gap};
    Plate(img, corner, 6 * unit, kDeckTop, kDeckBottom);
    Rect playTime = R(lrPlayTime);
    playTime.h = PlayTimeHeight(layout) * sy;
    Well(img, Grow(playTime, 5 * unit, 3 * unit), 3 * unit, RgbOf(4, 5, 6));
    const Rect volume = R(lrVolumeRect);
    const float vb = volume.t + volume.h * 0.8f, vt = volume.t + volume.h * 0.2f;
    const float vl = volume.l + R(lrVolume).w / 2, vr = volume.r() - R(lrVolume).w / 2;
    const Sdf wedge = Polygon({vl, vb, vr, vt, vr, vb});
    img.Fill(
        wedge, [&](float x, float) { return Mix(kCreamDim, kAmber, std::clamp((x - vl) / (vr - vl), 0.0f, 1.0f)); },
        0.55f, vl, vt, vr, vb);
    img.Fill(Outline(wedge, 1), Solid(kEdgeDark), 0.8f, vl - 1, vt - 1, vr + 1, vb + 1);
    Speaker(img, {list.l + 4 * unit, volume.t, volume.l - list.l - 8 * unit, volume.h}, kCream);
    return img;
}

Image DrawButton(int tag, bool pressed)
{
    const int width = SkinButtonWidths[tag - 1], height = SkinButtonHeight;
    Image img(width, height, kButtonBed);
    const Rect face = {1, 1, width - 2.0f, height - 2.0f};
    if (pressed) {
        FillBox(img, face, Vertical(RgbOf(14, 16, 19), RgbOf(30, 33, 39), face.t, face.b()), 6);
        img.Fill(Intersect(Outline(Box(face.l + 1, face.t + 1, face.w - 2, face.h - 2, 5), 3),
                           Box(0, 0, width, height / 2.0f)),
                 Solid(RgbOf(0, 0, 0)), 0.6f);
        img.Glow(Box(face.l + 4, face.t + 4, face.w - 8, face.h - 8, 4), kAmber, 10, 0.08f);
    } else {
        FillBox(img, face, Vertical(RgbOf(66, 72, 84), RgbOf(32, 35, 42), face.t, face.b()), 6);
        img.Fill(Intersect(Outline(Box(face.l + 1, face.t + 1, face.w - 2, face.h - 2, 5), 1),
                           Box(0, 0, width, height / 2.0f)),
                 Solid(RgbOf(120, 128, 142)), 0.6f);
    }
    FrameBox(img, {face.l + 0.5f, face.t + 0.5f, face.w - 1, face.h - 1}, kEdgeDark, 1, 6);

    const Rgb ink = pressed ? kAmber : kCream;
    const float cx = width / 2.0f, cy = height / 2.0f + (pressed ? 1 : 0);
    const float h = 8.5f; // half the symbol's height
    auto fill = [&](const Sdf& shape, float alpha = 1) { img.Fill(shape, Solid(ink), alpha); };
    auto play = [&](float left, float halfHeight) {
        fill(Triangle(left, cy - halfHeight, left + halfHeight * 1.6f, cy, left, cy + halfHeight));
    };
    switch (tag) {
    case 1: // one frame back
        fill(Box(cx - 10, cy - h, 3.5f, 2 * h, 1));
        fill(Triangle(cx + 9, cy - h, cx + 9, cy + h, cx - 5, cy));
        break;
    case 2: // play / pause
        play(cx - 19, h + 1);
        fill(Box(cx + 5, cy - h, 4.5f, 2 * h, 1));
        fill(Box(cx + 13, cy - h, 4.5f, 2 * h, 1));
        break;
    case 3: // one frame on
        fill(Triangle(cx - 9, cy - h, cx - 9, cy + h, cx + 5, cy));
        fill(Box(cx + 6.5f, cy - h, 3.5f, 2 * h, 1));
        break;
    case 4: // stop
        fill(Box(cx - 7.5f, cy - 7.5f, 15, 15, 1.5f));
        break;
    case 5: // slower
        fill(Segment(cx - 16, cy, cx - 7, cy, 1.6f));
        play(cx - 2, h);
        break;
    case 6: // normal speed: "x1"
        fill(Segment(cx - 12, cy - 3, cx - 4, cy + 6, 1.5f));
        fill(Segment(cx - 12, cy + 6, cx - 4, cy - 3, 1.5f));
        fill(Segment(cx + 6, cy - h, cx + 6, cy + h, 1.7f));
        fill(Segment(cx + 6, cy - h, cx + 2, cy - h + 4, 1.5f));
        break;
    case 7: // faster
        play(cx - 14, h);
        play(cx, h);
        break;
    default: { // 8..11 one quadrant enlarged, 12 back to the split view
        // Solid blocks: the pictures are shrunk to a third by plain pixel
        // picking, which loses thin lines.
        const float cw = 13, ch = 8, g = 3;
        for (int q = 0; q < 4; ++q) {
            const float x = cx - cw - g / 2 + (q % 2) * (cw + g);
            const float y = cy - ch - g / 2 + (q / 2) * (ch + g);
            const bool chosen = tag == 12 || q == tag - 8;
            img.Fill(Box(x, y, cw, ch, 1), Solid(chosen ? ink : RgbOf(84, 90, 102)));
        }
        break;
    }
    }
    return img;
}

Image DrawTrackThumb()
{
    const TSkinSize size = SkinTrackThumbSize;
    Image img(size.Width, size.Height, kDeckBottom);
    const float w = size.Width, h = size.Height;
    img.Fill(Box(1, 1, w - 2, h - 2, 3), Vertical(kCream, RgbOf(196, 190, 176), 1, h - 1));
    img.Fill(Outline(Box(1.5f, 1.5f, w - 3, h - 3, 3), 1), Solid(kEdgeDark));
    img.Fill(Box(w / 2 - 1, 7, 2, h - 14, 1), Solid(kAmber));
    return img;
}

Image DrawVolumeThumb()
{
    const TSkinSize size = SkinVolumeThumbSize;
    Image img(size.Width, size.Height, kDeckBottom);
    const float w = size.Width, h = size.Height;
    img.Fill(Box(3, 2, w - 6, h - 4, 8), Vertical(kCream, RgbOf(196, 190, 176), 2, h - 2));
    img.Fill(Outline(Box(3.5f, 2.5f, w - 7, h - 5, 8), 2), Solid(kEdgeDark));
    img.Fill(Box(w / 2 - 3, 12, 6, h - 24, 3), Solid(kAmber));
    return img;
}

} // namespace skingen
