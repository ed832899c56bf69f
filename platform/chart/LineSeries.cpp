#include "platform/chart/LineSeries.h"

#include "platform/chart/Chart.h"
#include "platform/rtl/Exception.h"

namespace chart {

TLineSeries::TLineSeries(vcl::TComponent* AOwner) : vcl::TComponent(AOwner) {}

TLineSeries::~TLineSeries() { SetParentChart(nullptr); }

void TLineSeries::SetParentChart(TChart* chart)
{
    if (chart == FChart)
        return;
    if (FChart)
        FChart->RemoveSeries(this);
    if (chart)
        chart->AddSeries(this);
}

int TLineSeries::AddXY(double x, double y, const rtl::UnicodeString& label, vcl::TColor color)
{
    FXValues.FValues.push_back(x);
    FYValues.FValues.push_back(y);
    FColors.push_back(color);
    FLabels.push_back(label);
    Changed();
    return Count() - 1;
}

void TLineSeries::Clear()
{
    FXValues.FValues.clear();
    FYValues.FValues.clear();
    FColors.clear();
    FLabels.clear();
    Changed();
}

vcl::TColor TLineSeries::ValueColor(int index) const
{
    if (index < 0 || index >= Count())
        throw rtl::EListError(u"List index out of bounds (%d)", index);
    const vcl::TColor c = FColors[static_cast<std::size_t>(index)];
    return c == clTeeColor ? LinePen.Color : c;
}

const rtl::UnicodeString& TLineSeries::Label(int index) const
{
    if (index < 0 || index >= Count())
        throw rtl::EListError(u"List index out of bounds (%d)", index);
    return FLabels[static_cast<std::size_t>(index)];
}

void TLineSeries::SetActive(bool value)
{
    if (value == FActive)
        return;
    FActive = value;
    Changed();
}

void TLineSeries::SetVertAxis(TVertAxis axis)
{
    FVertAxis = axis;
    Changed();
}

void TLineSeries::Changed()
{
    if (FChart)
        FChart->SeriesChanged(*this);
}

} // namespace chart
