// What the chart raises when a program asks for something it refuses (an
// axis range whose maximum would lie below its minimum).
#pragma once

#include "platform/rtl/Exception.h"

namespace chart {

class EChartException : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

} // namespace chart
