// One coordinate of a series's points (its X or its Y values), in the order
// the points were added. DateTime marks values that are date-times (days as
// fractions), so that the axis showing them labels them as times.
#pragma once

#include <vector>

namespace chart {

class TChartValueList {
public:
    bool DateTime() const { return FDateTime; }
    void SetDateTime(bool value) { FDateTime = value; }

    int Count() const { return static_cast<int>(FValues.size()); }
    // Raises EListError outside 0..Count()-1.
    double Value(int index) const;

private:
    friend class TLineSeries;
    std::vector<double> FValues;
    bool FDateTime = false;
};

} // namespace chart
