// A line series: points (x, y) with a label and a colour each, kept in the
// order they were added and joined in that order. The segment that ends at
// a point is drawn in that point's colour, so one point's colour can hide
// the step to it (a point in the chart's background colour breaks the line).
//
// A series belongs to at most one chart (SetParentChart or TChart::AddSeries)
// and is owned like any component; deleting it takes it out of its chart.
#pragma once

#include <vector>

#include "platform/chart/ChartValueList.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Component.h"

namespace chart {

class TChart;

enum TVertAxis { aLeftAxis, aRightAxis };

// The colour a point takes when AddXY is given none: the line pen's.
inline constexpr vcl::TColor clTeeColor = vcl::clDefault;

class TLineSeries : public vcl::TComponent {
public:
    explicit TLineSeries(vcl::TComponent* AOwner);
    ~TLineSeries() override;

    TChart* ParentChart() const { return FChart; }
    // Moves the series to chart (appended to its list); null takes it out.
    void SetParentChart(TChart* chart);

    // Appends a point; returns its index.
    int AddXY(double x, double y, const rtl::UnicodeString& label = rtl::UnicodeString(),
              vcl::TColor color = clTeeColor);
    // Removes every point.
    void Clear();
    int Count() const { return FXValues.Count(); }
    TChartValueList* XValues() { return &FXValues; }
    const TChartValueList* XValues() const { return &FXValues; }
    TChartValueList* YValues() { return &FYValues; }
    const TChartValueList* YValues() const { return &FYValues; }
    // The colour the point is drawn in (clTeeColor resolved to the line
    // pen's colour). Raises EListError for a bad index.
    vcl::TColor ValueColor(int index) const;
    const rtl::UnicodeString& Label(int index) const;

    // An inactive series keeps its points but is not drawn (nor counted in
    // automatic ranges).
    bool Active() const { return FActive; }
    void SetActive(bool value);
    TVertAxis VertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis axis);
    const rtl::UnicodeString& Title() const { return FTitle; }
    void SetTitle(const rtl::UnicodeString& title) { FTitle = title; }

    // Width and colour of the line; the brush is the area colour, which a
    // plain line does not draw.
    vcl::TPen LinePen;
    vcl::TBrush Brush;

private:
    friend class TChart;
    void Changed();

    TChart* FChart = nullptr;
    // Where the chart last drew the line (see TChart::SeriesChanged).
    vcl::TRect FArea;
    bool FAreaKnown = false;
    TChartValueList FXValues;
    TChartValueList FYValues;
    std::vector<vcl::TColor> FColors;
    std::vector<rtl::UnicodeString> FLabels;
    bool FActive = true;
    TVertAxis FVertAxis = aLeftAxis;
    rtl::UnicodeString FTitle;
};

} // namespace chart
