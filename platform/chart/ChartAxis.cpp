#include "platform/chart/ChartAxis.h"

#include <algorithm>
#include <limits>

#include "platform/chart/Chart.h"
#include "platform/chart/ChartException.h"

namespace chart {

TChartAxis::TChartAxis(TChart* chart, bool horizontal) : FChart(chart), FHorizontal(horizontal)
{
    Title.Angle = horizontal ? 0 : 90;
}

void TChartAxis::SetAutomatic(bool value)
{
    FAutomatic = value;
    Changed();
}

void TChartAxis::SetMinimum(double value)
{
    if (value > FMaximum)
        throw EChartException(u"Axis minimum value must be less than or equal to its maximum value");
    FMinimum = value;
    Changed();
}

void TChartAxis::SetMaximum(double value)
{
    if (value < FMinimum)
        throw EChartException(u"Axis maximum value must be greater than or equal to its minimum value");
    FMaximum = value;
    Changed();
}

void TChartAxis::SetMinMax(double min, double max)
{
    if (max < min)
        throw EChartException(u"Axis maximum value must be greater than or equal to its minimum value");
    FMinimum = min;
    FMaximum = max;
    Changed();
}

void TChartAxis::SetVisible(bool value)
{
    FVisible = value;
    Changed();
}

bool TChartAxis::IsDateTime() const
{
    if (!FHorizontal || !FChart)
        return false;
    for (int i = 0; i < FChart->SeriesCount(); ++i) {
        const TLineSeries* s = FChart->Series(i);
        if (s->XValues()->DateTime())
            return true;
    }
    return false;
}

void TChartAxis::CurrentRange(double& lo, double& hi) const
{
    lo = FMinimum;
    hi = FMaximum;
    if (FAutomatic && FChart) {
        double dataLo = std::numeric_limits<double>::infinity();
        double dataHi = -dataLo;
        for (int i = 0; i < FChart->SeriesCount(); ++i) {
            const TLineSeries* s = FChart->Series(i);
            if (!s->Active())
                continue;
            if (!FHorizontal && (s->VertAxis() == aLeftAxis) != (this == FChart->LeftAxis()))
                continue;
            const TChartValueList* values = FHorizontal ? s->XValues() : s->YValues();
            for (int k = 0; k < values->Count(); ++k) {
                dataLo = std::min(dataLo, values->Value(k));
                dataHi = std::max(dataHi, values->Value(k));
            }
        }
        if (dataLo <= dataHi) {
            lo = dataLo;
            hi = dataHi;
        }
    }
    if (!(hi > lo)) {
        // No extent to spread over the pixels: centre the one value.
        lo -= 1.0;
        hi += 1.0;
    }
}

void TChartAxis::Changed()
{
    if (FChart)
        FChart->Invalidate();
}

} // namespace chart
