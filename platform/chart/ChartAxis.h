// One axis of a chart: its range (automatic from the data, or the program's
// Minimum and Maximum), its title, labels, grid, ticks and axis line.
//
// A range never turns over: setting Maximum below the current Minimum, or
// Minimum above the current Maximum, raises EChartException and leaves the
// axis as it was; a program that moves a range downwards sets the minimum
// first. Equal ends are allowed.
#pragma once

#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Font.h"

namespace chart {

class TChart;

// The axis title: a caption drawn beside (vertical axes) or below the labels,
// turned by Angle degrees counter-clockwise (0, 90 or 270; 90 reads upwards).
struct TChartAxisTitle {
    rtl::UnicodeString Caption;
    int Angle = 0;
    vcl::TFont Font;
};

class TChartAxis {
public:
    TChartAxis(TChart* chart, bool horizontal);
    TChartAxis(const TChartAxis&) = delete;
    TChartAxis& operator=(const TChartAxis&) = delete;

    bool Horizontal() const { return FHorizontal; }
    TChart* ParentChart() const { return FChart; }

    // With Automatic the drawn range follows the values of the active
    // series on this axis; Minimum and Maximum are kept for when it is off.
    bool Automatic() const { return FAutomatic; }
    void SetAutomatic(bool value);
    double Minimum() const { return FMinimum; }
    double Maximum() const { return FMaximum; }
    void SetMinimum(double value);
    void SetMaximum(double value);
    // Both at once; raises when max < min.
    void SetMinMax(double min, double max);

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    TChartAxisTitle Title;
    vcl::TFont LabelsFont;
    // Date-time labels use this pattern (FormatDateTime); other labels are
    // numbers as FloatToStr writes them.
    rtl::UnicodeString DateTimeFormat;
    // The smallest step between two labels (days for date-times); 0 lets
    // the chart choose one that fits.
    double Increment = 0.0;

    vcl::TColor AxisColor = vcl::clBlack;
    bool GridVisible = true;
    vcl::TColor GridColor = vcl::clGray;
    bool TicksVisible = true;
    int TickLength = 4;
    // Ticks drawn as every other pixel.
    bool TicksDotted = false;

    // The range drawn now: Minimum and Maximum, or the data's range with
    // Automatic. A range without extent is widened around its value.
    void CurrentRange(double& lo, double& hi) const;
    // Whether the values shown are date-times (the X values of a series on
    // a horizontal axis flagged DateTime).
    bool IsDateTime() const;

private:
    void Changed();

    TChart* FChart;
    bool FHorizontal;
    bool FAutomatic = true;
    double FMinimum = 0.0;
    double FMaximum = 0.0;
    bool FVisible = true;
};

} // namespace chart
