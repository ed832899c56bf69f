// The graph pane docked into a panel of a host form, as the main window
// hosts it, with a log probe; and small tracks to draw.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/TestDriver.h"
#include "tests/tracks/TrackLogProbe.h"
#include "tracks/GPSData.h"
#include "tracks/GraphView.h"

class GraphPaneTest : public ::testing::Test {
protected:
    GraphPaneTest();
    ~GraphPaneTest() override;

    // Sizes the host panel and lays the pane out for that layout.
    void Arrange(int layoutIndex, int width, int height);

    TChartAxis* Bottom() { return GraphControl->ChartSD->BottomAxis(); }
    TChartAxis* Left() { return GraphControl->ChartSD->LeftAxis(); }
    TChartAxis* Right() { return GraphControl->ChartSD->RightAxis(); }
    TLineSeries* Series(int i) { return GraphControl->ChartSD->Series(i); }
    // The time window as whole milliseconds.
    long long WindowStartMs() { return std::llround(Bottom()->Minimum() * 86400000.0); }
    long long WindowEndMs() { return std::llround(Bottom()->Maximum() * 86400000.0); }

    TApplication app;
    TestDriver driver;
    TrackLogProbe log;
    TForm* host = nullptr;
    TPanel* panel = nullptr;
};

// A track built record by record.
struct TrackBuilder {
    TrackBuilder& Gps(std::uint32_t ms, const char* speed);
    TrackBuilder& G(std::uint32_t ms, float gx, float gy, float gz);
    std::unique_ptr<TAsfFileInfo> info = std::make_unique<TAsfFileInfo>();
};

// A drive of 70 s: speed once a second rising to 64 km/h with a 3 s gap in
// the fix, G samples ten times a second.
std::unique_ptr<TAsfFileInfo> SmallDrive();

// The points of a series as (ms, y, colour) rows.
struct TrackPoint {
    long long ms;
    double y;
    TColor colour;
    bool operator==(const TrackPoint&) const = default;
};
std::vector<TrackPoint> Points(const TLineSeries& series);
void PrintTo(const TrackPoint& p, std::ostream* os);
