// The chart: axes, line series and the chart control, drawn by our own code
// onto the canvas.
#pragma once

#include "platform/vcl/vcl.h"

#include "platform/chart/ChartException.h"
#include "platform/chart/ChartValueList.h"
#include "platform/chart/ChartAxis.h"
#include "platform/chart/LineSeries.h"
#include "platform/chart/Chart.h"

using namespace chart;
