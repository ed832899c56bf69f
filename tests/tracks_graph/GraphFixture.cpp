#include "tests/tracks_graph/GraphFixture.h"

#include <cmath>
#include <ostream>

#include "mainwindow/MAIN.h"

GraphPaneTest::GraphPaneTest()
{
    driver.OnFailure = [](const std::string& failure) { ADD_FAILURE() << failure; };
    win::SetScreen(win::SIZE{1920, 1080}, win::RECT{0, 0, 1920, 1040});
    LayoutIndex = -1;
    host = NewForm<TForm>(&app);
    host->SetName(u"Host");
    host->SetBorderStyle(bsNone);
    host->SetBounds(0, 0, 919, 214);
    panel = new TPanel(host);
    panel->SetName(u"PanelGraph");
    panel->SetParent(host);
    panel->SetBevelOuter(bvNone);
    panel->SetShowCaption(false);
    panel->SetBounds(0, 0, 919, 214);
    Application->CreateForm(GraphControl);
    GraphControl->SetParent(panel);
    GraphControl->SetAlign(alClient);
    GraphControl->Show();
    host->Show();
}

GraphPaneTest::~GraphPaneTest()
{
    Application->DestroyComponents();
    LayoutIndex = -1;
    win::ResetScreen();
}

void GraphPaneTest::Arrange(int layoutIndex, int width, int height)
{
    LayoutIndex = layoutIndex;
    host->SetBounds(0, 0, width, height);
    panel->SetBounds(0, 0, width, height);
    GraphControl->ArrangeGraph();
}

TrackBuilder& TrackBuilder::Gps(std::uint32_t ms, const char* speed)
{
    auto* r = new TGpsInfo();
    r->TimeMs = ms;
    r->Speed = AnsiString(speed);
    info->AddGpsInfo(r);
    return *this;
}

TrackBuilder& TrackBuilder::G(std::uint32_t ms, float gx, float gy, float gz)
{
    auto* r = new TGSensorInfo();
    r->TimeMs = ms;
    r->GX = gx;
    r->GY = gy;
    r->GZ = gz;
    info->AddGSensorInfo(r);
    return *this;
}

std::unique_ptr<TAsfFileInfo> SmallDrive()
{
    TrackBuilder b;
    for (int s = 0; s <= 70; ++s) {
        if (s >= 40 && s < 43)
            continue; // no fix for three seconds
        const double kmh = s < 30 ? s * 2.1 : 63.0 + std::sin(s / 4.0);
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", kmh);
        b.Gps(static_cast<std::uint32_t>(s * 1000 + 500), s == 0 ? "" : text);
    }
    for (int t = 0; t < 700; ++t) {
        const double s = t / 10.0;
        const float braking = (s > 55 && s < 58) ? -0.8f : 0.0f;
        b.G(static_cast<std::uint32_t>(t * 100), static_cast<float>(0.05 * std::sin(s * 3.0)),
            static_cast<float>(0.3 * std::sin(s / 3.0)), static_cast<float>(0.1 * std::cos(s / 5.0)) + braking);
    }
    return std::move(b.info);
}

std::vector<TrackPoint> Points(const TLineSeries& series)
{
    std::vector<TrackPoint> out;
    for (int i = 0; i < series.Count(); ++i)
        out.push_back(
            {std::llround(series.XValues()->Value(i) * 86400000.0), series.YValues()->Value(i), series.ValueColor(i)});
    return out;
}

void PrintTo(const TrackPoint& p, std::ostream* os)
{
    *os << "{" << p.ms << " ms, " << p.y << ", colour " << std::hex << p.colour << std::dec << "}";
}
