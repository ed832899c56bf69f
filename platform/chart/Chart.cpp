#include "platform/chart/Chart.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Numbers.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/PixelBuffer.h"

namespace chart {

namespace {

using vcl::TCanvas;
using vcl::TRect;

constexpr double kMsPerDay = rtl::MSecsPerDay;
// Date-time label steps in seconds, smallest first.
constexpr double kTimeSteps[] = {1,   2,   5,    10,   15,   20,   30,    60,    120,   300,
                                 600, 900, 1200, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
// Room between two labels along the bottom axis, and a vertical label's
// share of its row.
constexpr int kLabelGap = 8;

int TitleThickness(const TChartAxis& axis)
{
    return axis.Title.Caption.IsEmpty() ? 0 : axis.Title.Font.PixelHeight() + 3;
}

int TickRoom(const TChartAxis& axis) { return axis.TicksVisible ? std::max(axis.TickLength, 0) + 1 : 1; }

int WidestLabel(const vcl::TFont& font, const std::vector<TAxisLabel>& labels)
{
    int w = 0;
    for (const TAxisLabel& l : labels)
        w = std::max(w, TCanvas::TextWidthOf(font, l.Text));
    return w;
}

// Steps of 1, 2 and 5 times a power of ten, the first not below `least`.
double NiceStep(double least)
{
    if (!(least > 0) || !std::isfinite(least))
        return 1.0;
    const double p = std::pow(10.0, std::floor(std::log10(least)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= least * (1 - 1e-12))
            return m * p;
    return 10.0 * p;
}

rtl::UnicodeString NumberText(double v, double step)
{
    // Whole multiples of the step, so 0.1 + 0.2 shows as 0.3.
    const double snapped = std::round(v / step) * step;
    return rtl::FloatToStr(std::fabs(snapped) < step * 1e-9 ? 0.0 : snapped);
}

// Draws a text turned by 90 (upwards) or 270 degrees (downwards) with its
// top left at x, y of the canvas: the text is drawn upright into a picture
// of the background colour and turned pixel by pixel.
void TurnedText(TCanvas& canvas, int x, int y, const vcl::TFont& font, const rtl::UnicodeString& text, int angle,
                vcl::TColor background)
{
    const int w = TCanvas::TextWidthOf(font, text);
    const int h = font.PixelHeight();
    if (w <= 0 || h <= 0)
        return;
    const std::uint32_t bg = vcl::PixelBuffer::FromColor(background);
    vcl::PixelBuffer upright(w, h, bg);
    TCanvas pen(&upright);
    pen.Font = font;
    pen.Brush.Style = vcl::bsClear;
    pen.TextOut(0, 0, text);
    for (int sy = 0; sy < h; ++sy)
        for (int sx = 0; sx < w; ++sx) {
            const std::uint32_t p = upright.Pixel(sx, sy);
            if (p == bg)
                continue;
            const int dx = angle == 90 ? sy : h - 1 - sy;
            const int dy = angle == 90 ? w - 1 - sx : sx;
            canvas.SetPixel(x + dx, y + dy, vcl::PixelBuffer::ToColor(p));
        }
}

// The canvas's clip in the coordinates drawn in.
TRect DrawnClip(const TCanvas& canvas)
{
    const vcl::TPoint origin = canvas.Origin();
    return canvas.Clip().Offset(-origin.X, -origin.Y);
}

// The first dot of a line of dots from `from` (every second pixel) at or
// after `low`.
int FirstDotFrom(int from, int low) { return from >= low ? from : from + (low - from + 1) / 2 * 2; }

void DottedLine(TCanvas& canvas, int x0, int y0, int x1, int y1, vcl::TColor color)
{
    // Horizontal or vertical only; dots outside the clip are not visited.
    const TRect clip = DrawnClip(canvas);
    if (y0 == y1) {
        if (y0 < clip.Top || y0 >= clip.Bottom)
            return;
        const int last = std::min(std::max(x0, x1), clip.Right - 1);
        for (int x = FirstDotFrom(std::min(x0, x1), clip.Left); x <= last; x += 2)
            canvas.SetPixel(x, y0, color);
    } else {
        if (x0 < clip.Left || x0 >= clip.Right)
            return;
        const int last = std::min(std::max(y0, y1), clip.Bottom - 1);
        for (int y = FirstDotFrom(std::min(y0, y1), clip.Top); y <= last; y += 2)
            canvas.SetPixel(x0, y, color);
    }
}

// Liang-Barsky: clips the segment to the box; false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top, double right, double bottom)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}

} // namespace

TChart::TChart(vcl::TComponent* AOwner)
    : vcl::TWinControl(AOwner), FLeftAxis(this, false), FRightAxis(this, false), FBottomAxis(this, true)
{
    SetBounds(0, 0, 400, 250);
    SetColor(vcl::clWhite);
    FRightAxis.Title.Angle = 270;
}

TChart::~TChart()
{
    // The series may outlive the chart's own part (owned by a form): they
    // must not reach back into it.
    for (TLineSeries* s : FSeries)
        s->FChart = nullptr;
    FSeries.clear();
}

TLineSeries* TChart::Series(int index) const
{
    if (index < 0 || index >= SeriesCount())
        throw rtl::EListError(u"List index out of bounds (%d)", index);
    return FSeries[static_cast<std::size_t>(index)];
}

void TChart::AddSeries(TLineSeries* series)
{
    if (!series)
        throw rtl::EInvalidPointer(u"Invalid pointer operation");
    if (series->FChart == this)
        return;
    if (series->FChart)
        series->FChart->RemoveSeries(series);
    FSeries.push_back(series);
    series->FChart = this;
    series->FAreaKnown = false;
    Invalidate();
}

void TChart::RemoveSeries(TLineSeries* series)
{
    auto it = std::find(FSeries.begin(), FSeries.end(), series);
    if (it == FSeries.end())
        return;
    FSeries.erase(it);
    series->FChart = nullptr;
    series->FAreaKnown = false;
    Invalidate();
}

double TChart::ValueToPixel(const TChartAxis& axis, double value, const TChartLayout& layout) const
{
    double lo = 0, hi = 0;
    axis.CurrentRange(lo, hi);
    const double f = (value - lo) / (hi - lo);
    if (axis.Horizontal())
        return layout.Plot.Left + f * (layout.Plot.Width() - 1);
    return layout.Plot.Bottom - 1 - f * (layout.Plot.Height() - 1);
}

std::vector<TAxisLabel> TChart::CalcLabels(const TChartAxis& axis, const TRect& plot) const
{
    std::vector<TAxisLabel> labels;
    double lo = 0, hi = 0;
    axis.CurrentRange(lo, hi);
    const int pixels = axis.Horizontal() ? plot.Width() : plot.Height();
    if (pixels <= 1 || !std::isfinite(hi - lo))
        return labels;
    TChartLayout at;
    at.Plot = plot;
    const auto place = [&](double v) { return static_cast<int>(std::lround(ValueToPixel(axis, v, at))); };

    if (axis.IsDateTime()) {
        // Steps in whole milliseconds, so labels fall on exact seconds.
        const double loMs = lo * kMsPerDay, hiMs = hi * kMsPerDay;
        for (double seconds : kTimeSteps) {
            const double stepMs = seconds * 1000.0;
            if (stepMs < axis.Increment * kMsPerDay * (1 - 1e-9))
                continue;
            const double count = (hiMs - loMs) / stepMs;
            if (count > pixels)
                continue;
            std::vector<TAxisLabel> candidate;
            const double first = std::ceil(loMs / stepMs - 1e-6);
            for (int n = 0; n <= pixels; ++n) {
                const double ms = (first + n) * stepMs;
                if (ms > hiMs + 1e-6 * stepMs)
                    break;
                const double v = ms / kMsPerDay;
                candidate.push_back({v, place(v), rtl::FormatDateTime(axis.DateTimeFormat, rtl::TDateTime(v))});
            }
            const int room = WidestLabel(axis.LabelsFont, candidate) + kLabelGap;
            const double stepPx = stepMs / (hiMs - loMs) * (pixels - 1);
            if (stepPx >= room || seconds == kTimeSteps[std::size(kTimeSteps) - 1])
                return candidate;
        }
        return labels;
    }

    // Numbers: a vertical label takes one and a half text heights; a
    // horizontal one its width (estimated from the range's ends) and a gap.
    double roomPx = axis.LabelsFont.PixelHeight() * 1.5;
    if (axis.Horizontal())
        roomPx = std::max(TCanvas::TextWidthOf(axis.LabelsFont, rtl::FloatToStr(lo)),
                          TCanvas::TextWidthOf(axis.LabelsFont, rtl::FloatToStr(hi))) +
            kLabelGap;
    const double least = std::max(axis.Increment, (hi - lo) * roomPx / (pixels - 1));
    const double step = NiceStep(least);
    const double first = std::ceil(lo / step - 1e-9);
    // At most one label a pixel, whatever the range.
    for (int n = 0; n <= pixels; ++n) {
        const double v = (first + n) * step;
        if (v > hi + step * 1e-9)
            break;
        labels.push_back({v, place(v), NumberText(v, step)});
    }
    return labels;
}

TChartLayout TChart::CalcLayout() const
{
    TChartLayout layout;
    const int w = Width(), h = Height();
    const bool left = FLeftAxis.Visible(), right = FRightAxis.Visible(), bottom = FBottomAxis.Visible();
    int top = std::max(left ? FLeftAxis.LabelsFont.PixelHeight() / 2 : 0,
                       right ? FRightAxis.LabelsFont.PixelHeight() / 2 : 0) +
        1;
    int below = bottom ? TickRoom(FBottomAxis) + FBottomAxis.LabelsFont.PixelHeight() + TitleThickness(FBottomAxis) : 0;
    TRect plot(0, top, w, std::max(top, h - below));
    if (left)
        layout.Left = CalcLabels(FLeftAxis, plot);
    if (right)
        layout.Right = CalcLabels(FRightAxis, plot);
    // The bottom labels hang over the plot's ends by half a label.
    const int overhang = bottom ? TCanvas::TextWidthOf(FBottomAxis.LabelsFont, u"00:00:00") / 2 : 0;
    const int leftRoom =
        left ? TitleThickness(FLeftAxis) + WidestLabel(FLeftAxis.LabelsFont, layout.Left) + 2 + TickRoom(FLeftAxis) : 0;
    const int rightRoom = right
        ? TitleThickness(FRightAxis) + WidestLabel(FRightAxis.LabelsFont, layout.Right) + 2 + TickRoom(FRightAxis)
        : 0;
    plot.Left = std::max(leftRoom, overhang);
    plot.Right = std::max(plot.Left, w - std::max(rightRoom, overhang));
    layout.Plot = plot;
    // Rows stay as computed: the vertical labels do not depend on the width.
    if (bottom)
        layout.Bottom = CalcLabels(FBottomAxis, plot);
    return layout;
}

void TChart::PaintSeries(TCanvas& canvas, const TLineSeries& series, const TChartLayout& layout) const
{
    const TChartAxis& vert = series.VertAxis() == aLeftAxis ? FLeftAxis : FRightAxis;
    const TRect& plot = layout.Plot;
    canvas.Pen.Width = std::max(series.LinePen.Width, 1);
    // Segments wholly outside the clip are not drawn (their pixels would
    // all be cut); the others are drawn whole, as in a full paint.
    const TRect clip = DrawnClip(canvas);
    const double reach = canvas.Pen.Width + 2.0;
    double px = 0, py = 0;
    bool havePrevious = false;
    for (int i = 0; i < series.Count(); ++i) {
        const double x = ValueToPixel(FBottomAxis, series.XValues()->Value(i), layout);
        const double y = ValueToPixel(vert, series.YValues()->Value(i), layout);
        if (!std::isfinite(x) || !std::isfinite(y)) {
            havePrevious = false;
            continue;
        }
        const vcl::TColor color = series.ValueColor(i);
        const bool reaches = std::max(px, x) + reach >= clip.Left && std::min(px, x) - reach < clip.Right &&
            std::max(py, y) + reach >= clip.Top && std::min(py, y) - reach < clip.Bottom;
        if (havePrevious && color != vcl::clNone && reaches) {
            double x0 = px, y0 = py, x1 = x, y1 = y;
            if (ClipSegment(x0, y0, x1, y1, plot.Left - 1.0, plot.Top - 1.0, plot.Right, plot.Bottom)) {
                canvas.Pen.Color = color;
                const int ix1 = static_cast<int>(std::lround(x1)), iy1 = static_cast<int>(std::lround(y1));
                canvas.MoveTo(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)));
                canvas.LineTo(ix1, iy1);
                canvas.LineTo(ix1 + 1, iy1); // the end point too
            }
        }
        px = x;
        py = y;
        havePrevious = true;
    }
}

void TChart::PaintVerticalAxis(TCanvas& canvas, const TChartAxis& axis, const std::vector<TAxisLabel>& labels,
                               const TChartLayout& layout) const
{
    const TRect& plot = layout.Plot;
    const bool isLeft = &axis == &FLeftAxis;
    const int lineX = isLeft ? plot.Left - 1 : plot.Right;
    canvas.Pen.Width = 1;
    canvas.Pen.Color = axis.AxisColor;
    canvas.MoveTo(lineX, plot.Top);
    canvas.LineTo(lineX, plot.Bottom);
    const int tick = axis.TicksVisible ? std::max(axis.TickLength, 0) : 0;
    canvas.Font = axis.LabelsFont;
    canvas.Brush.Style = vcl::bsClear;
    const int th = axis.LabelsFont.PixelHeight();
    int widest = 0;
    for (const TAxisLabel& l : labels) {
        if (tick > 0) {
            if (axis.TicksDotted)
                DottedLine(canvas, isLeft ? lineX - tick : lineX + 1, l.Pos, isLeft ? lineX - 1 : lineX + tick, l.Pos,
                           axis.AxisColor);
            else {
                canvas.MoveTo(isLeft ? lineX - tick : lineX + 1, l.Pos);
                canvas.LineTo(isLeft ? lineX : lineX + tick + 1, l.Pos);
            }
        }
        const int tw = canvas.TextWidth(l.Text);
        widest = std::max(widest, tw);
        const int x = isLeft ? lineX - tick - 2 - tw : lineX + tick + 3;
        canvas.TextOut(x, l.Pos - th / 2, l.Text);
    }
    if (!axis.Title.Caption.IsEmpty()) {
        const vcl::TFont& font = axis.Title.Font;
        const int tw = TCanvas::TextWidthOf(font, axis.Title.Caption);
        const int x = isLeft ? lineX - tick - 2 - widest - 3 - font.PixelHeight() : lineX + tick + 3 + widest + 3;
        const int y = plot.Top + (plot.Height() - tw) / 2;
        if (axis.Title.Angle == 90 || axis.Title.Angle == 270)
            TurnedText(canvas, x, y, font, axis.Title.Caption, axis.Title.Angle, PaintColor());
        else {
            canvas.Font = font;
            canvas.TextOut(x, plot.Top + plot.Height() / 2 - font.PixelHeight() / 2, axis.Title.Caption);
        }
    }
}

void TChart::PaintBottomAxis(TCanvas& canvas, const std::vector<TAxisLabel>& labels, const TChartLayout& layout) const
{
    const TChartAxis& axis = FBottomAxis;
    const TRect& plot = layout.Plot;
    const int lineY = plot.Bottom;
    canvas.Pen.Width = 1;
    canvas.Pen.Color = axis.AxisColor;
    canvas.MoveTo(plot.Left - 1, lineY);
    canvas.LineTo(plot.Right + 1, lineY);
    const int tick = axis.TicksVisible ? std::max(axis.TickLength, 0) : 0;
    canvas.Font = axis.LabelsFont;
    canvas.Brush.Style = vcl::bsClear;
    for (const TAxisLabel& l : labels) {
        if (tick > 0) {
            if (axis.TicksDotted)
                DottedLine(canvas, l.Pos, lineY + 1, l.Pos, lineY + tick, axis.AxisColor);
            else {
                canvas.MoveTo(l.Pos, lineY + 1);
                canvas.LineTo(l.Pos, lineY + tick + 1);
            }
        }
        canvas.TextOut(l.Pos - canvas.TextWidth(l.Text) / 2, lineY + tick + 1, l.Text);
    }
    if (!axis.Title.Caption.IsEmpty()) {
        canvas.Font = axis.Title.Font;
        const int tw = canvas.TextWidth(axis.Title.Caption);
        canvas.TextOut(plot.Left + (plot.Width() - tw) / 2, lineY + tick + 1 + axis.LabelsFont.PixelHeight() + 2,
                       axis.Title.Caption);
    }
}

TChart::TLayoutKey TChart::LayoutKey() const
{
    TLayoutKey key;
    key.Width = Width();
    key.Height = Height();
    const TChartAxis* axes[3] = {&FLeftAxis, &FRightAxis, &FBottomAxis};
    for (int i = 0; i < 3; ++i) {
        axes[i]->CurrentRange(key.Ranges[2 * i], key.Ranges[2 * i + 1]);
        key.Visible[i] = axes[i]->Visible();
    }
    return key;
}

TRect TChart::SeriesArea(const TLineSeries& series, const TChartLayout& layout) const
{
    const TRect& plot = layout.Plot;
    if (!series.Active() || plot.Empty())
        return TRect();
    const TChartAxis& vert = series.VertAxis() == aLeftAxis ? FLeftAxis : FRightAxis;
    const int room = std::max(series.LinePen.Width, 1) + 2;
    // Points far outside count at the plot's edge: the line is cut there.
    const double left = plot.Left - room, right = plot.Right + room;
    const double top = plot.Top - room, bottom = plot.Bottom + room;
    double x0 = right, y0 = bottom, x1 = left, y1 = top;
    for (int i = 0; i < series.Count(); ++i) {
        const double x = ValueToPixel(FBottomAxis, series.XValues()->Value(i), layout);
        const double y = ValueToPixel(vert, series.YValues()->Value(i), layout);
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        x0 = std::min(x0, std::clamp(x, left, right));
        x1 = std::max(x1, std::clamp(x, left, right));
        y0 = std::min(y0, std::clamp(y, top, bottom));
        y1 = std::max(y1, std::clamp(y, top, bottom));
    }
    if (x0 > x1 || y0 > y1)
        return TRect();
    const TRect around(static_cast<int>(std::floor(x0)) - room, static_cast<int>(std::floor(y0)) - room,
                       static_cast<int>(std::ceil(x1)) + room + 1, static_cast<int>(std::ceil(y1)) + room + 1);
    return around.Intersect(plot);
}

void TChart::SeriesChanged(TLineSeries& series)
{
    if (!FHasPainted || !series.FAreaKnown || !(LayoutKey() == FPaintedKey)) {
        Invalidate();
        return;
    }
    const TRect now = SeriesArea(series, FPainted);
    InvalidateRect(series.FArea);
    if (!(now == series.FArea))
        InvalidateRect(now);
    series.FArea = now;
}

void TChart::Paint(TCanvas& canvas)
{
    // A part of the plot painted again over the layout last painted (a
    // cursor's strip, many times a second) keeps that layout: the axes and
    // their labels lie outside the plot, and SeriesChanged keeps the series'
    // areas. Anything else lays the chart out again.
    const TRect clip = DrawnClip(canvas);
    const bool inPlot = FHasPainted && !clip.Empty() && clip.Intersect(FPainted.Plot) == clip &&
        std::all_of(FSeries.begin(), FSeries.end(), [](const TLineSeries* s) { return s->FAreaKnown; }) &&
        LayoutKey() == FPaintedKey;
    if (!inPlot) {
        FPainted = CalcLayout();
        FPaintedKey = LayoutKey();
        FHasPainted = true;
        for (TLineSeries* s : FSeries) {
            s->FArea = SeriesArea(*s, FPainted);
            s->FAreaKnown = true;
        }
    }
    const TChartLayout& layout = FPainted;
    canvas.Brush.Style = vcl::bsSolid;
    canvas.Brush.Color = PaintColor();
    canvas.FillRect(TRect(0, 0, Width(), Height()));
    const TRect& plot = layout.Plot;
    if (plot.Empty())
        return;

    // Grid first, under everything.
    const auto grid = [&](const TChartAxis& axis, const std::vector<TAxisLabel>& labels) {
        if (!axis.Visible() || !axis.GridVisible)
            return;
        for (const TAxisLabel& l : labels) {
            if (axis.Horizontal())
                DottedLine(canvas, l.Pos, plot.Top, l.Pos, plot.Bottom - 1, axis.GridColor);
            else
                DottedLine(canvas, plot.Left, l.Pos, plot.Right - 1, l.Pos, axis.GridColor);
        }
    };
    grid(FLeftAxis, layout.Left);
    grid(FRightAxis, layout.Right);
    grid(FBottomAxis, layout.Bottom);

    // Series inside the plot area only.
    const TRect savedClip = canvas.Clip();
    const vcl::TPoint origin = canvas.Origin();
    canvas.SetClip(savedClip.Intersect(plot.Offset(origin.X, origin.Y)));
    for (const TLineSeries* s : FSeries)
        if (s->Active())
            PaintSeries(canvas, *s, layout);
    canvas.SetClip(savedClip);

    if (inPlot)
        return;
    if (FLeftAxis.Visible())
        PaintVerticalAxis(canvas, FLeftAxis, layout.Left, layout);
    if (FRightAxis.Visible())
        PaintVerticalAxis(canvas, FRightAxis, layout.Right, layout);
    if (FBottomAxis.Visible())
        PaintBottomAxis(canvas, layout.Bottom, layout);
}

} // namespace chart
