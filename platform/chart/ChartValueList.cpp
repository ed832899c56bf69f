#include "platform/chart/ChartValueList.h"

#include "platform/rtl/Exception.h"

namespace chart {

double TChartValueList::Value(int index) const
{
    if (index < 0 || index >= Count())
        throw rtl::EListError(u"List index out of bounds (%d)", index);
    return FValues[static_cast<std::size_t>(index)];
}

} // namespace chart
