// A chart drawn by our own code onto the canvas: a plot area with a left, a
// right and a bottom axis (labels, titles, grid, ticks) and line series.
//
// The chart keeps its series in a list (Series(i) by index, in the order
// they were added). Changes of axes and series invalidate it; Repaint (of
// the control) paints at once, and the control's counters let tests see
// both. Text goes through the canvas (TextOut and its metric), so the
// chart draws with whatever text the canvas has.
#pragma once

#include <vector>

#include "platform/chart/ChartAxis.h"
#include "platform/chart/LineSeries.h"
#include "platform/vcl/WinControl.h"

namespace chart {

// A label as the chart places it: its value, its place along the axis (a
// pixel column for the bottom axis, a row for the vertical ones) and text.
struct TAxisLabel {
    double Value = 0.0;
    int Pos = 0;
    rtl::UnicodeString Text;
};

// Where everything goes for the chart's present size, ranges and fonts.
struct TChartLayout {
    vcl::TRect Plot; // the area series are drawn in
    std::vector<TAxisLabel> Left;
    std::vector<TAxisLabel> Right;
    std::vector<TAxisLabel> Bottom;
};

class TChart : public vcl::TWinControl {
public:
    explicit TChart(vcl::TComponent* AOwner);
    ~TChart() override;

    TChartAxis* LeftAxis() { return &FLeftAxis; }
    TChartAxis* RightAxis() { return &FRightAxis; }
    TChartAxis* BottomAxis() { return &FBottomAxis; }
    const TChartAxis* LeftAxis() const { return &FLeftAxis; }
    const TChartAxis* RightAxis() const { return &FRightAxis; }
    const TChartAxis* BottomAxis() const { return &FBottomAxis; }

    int SeriesCount() const { return static_cast<int>(FSeries.size()); }
    // Raises EListError outside 0..SeriesCount()-1.
    TLineSeries* Series(int index) const;
    // Appends the series (taking it from another chart); a series already
    // here stays where it is. Null raises EInvalidPointer.
    void AddSeries(TLineSeries* series);
    void RemoveSeries(TLineSeries* series);

    TChartLayout CalcLayout() const;
    // A value's pixel on an axis within layout's plot area (column for the
    // bottom axis, row for the vertical ones), as a fraction.
    double ValueToPixel(const TChartAxis& axis, double value, const TChartLayout& layout) const;

    void Paint(vcl::TCanvas& canvas) override;

    // A series' points, activity or axis changed. When nothing else of the
    // chart moves with it (the ranges and the size stay), only the area its
    // line left and the area it takes now are painted again (a cursor line
    // moving along the time axis repaints two thin strips); else the whole.
    void SeriesChanged(TLineSeries& series);

private:
    // What places everything, but the fonts (set once, before painting).
    struct TLayoutKey {
        int Width = 0, Height = 0;
        double Ranges[6] = {};
        bool Visible[3] = {};
        bool operator==(const TLayoutKey&) const = default;
    };
    TLayoutKey LayoutKey() const;
    // Where the series' line lies within the plot (its pen's width around
    // each point), in the chart's coordinates.
    vcl::TRect SeriesArea(const TLineSeries& series, const TChartLayout& layout) const;

    std::vector<TAxisLabel> CalcLabels(const TChartAxis& axis, const vcl::TRect& plot) const;
    void PaintSeries(vcl::TCanvas& canvas, const TLineSeries& series, const TChartLayout& layout) const;
    void PaintVerticalAxis(vcl::TCanvas& canvas, const TChartAxis& axis, const std::vector<TAxisLabel>& labels,
                           const TChartLayout& layout) const;
    void PaintBottomAxis(vcl::TCanvas& canvas, const std::vector<TAxisLabel>& labels, const TChartLayout& layout) const;

    TChartAxis FLeftAxis;
    TChartAxis FRightAxis;
    TChartAxis FBottomAxis;
    std::vector<TLineSeries*> FSeries;
    // The layout of the last paint, and what it was made from.
    TChartLayout FPainted;
    TLayoutKey FPaintedKey;
    bool FHasPainted = false;
};

} // namespace chart
