// The graph pane: the recording's speed and the three G-sensor axes as
// curves over recording time, with a play-position cursor, time and G zoom
// buttons and a legend whose check boxes show and hide the curves. Docked
// into the main window's PanelGraph, which it fills.
#pragma once

#include <cstdint>

#include "platform/chart/chart.h"
#include "platform/vcl/vcl.h"

struct TAsfFileInfo;

// The time-window lengths in milliseconds, chosen by the time zoom.
inline constexpr std::int32_t XSpanTable[4] = {3000, 10000, 30000, 60000};

// Per screen layout (LayoutIndex 0 largest .. 3 smallest): axis label size in
// points, top of PanelRight, time-zoom strip width and height, G-zoom strip
// width and height, chart left, chart height.
inline constexpr std::int32_t GraphLayoutRow[4][8] = {
    {9, 15, 80, 15, 15, 70, 35, 155},
    {8, 12, 80, 15, 15, 68, 30, 133},
    {7, 9, 80, 15, 15, 68, 22, 102},
    {7, 3, 64, 12, 12, 58, 10, 82},
};

class TGraphControl : public TForm {
public:
    explicit TGraphControl(TComponent* Owner);
    ~TGraphControl() override;

    TPanel* PanelForm;
    TImage* ImageFormBack;
    TImage* ImageXZoom;
    TImage* ImageXSmall;
    TImage* ImageXNone;
    TImage* ImageXBig;
    TChart* ChartSD;
    TLineSeries* SeriesTime;
    TLineSeries* Series1;
    TPanel* PanelRight;
    TImage* ImageYZoom;
    TImage* ImageYBig;
    TImage* ImageYNone;
    TImage* ImageYSmall;
    TLabel* IdxSpeedVal;
    TLabel* Label1;
    TCheckBox* ChkBoxSpeed;
    TLabel* IdxLabelSpeed;
    TCheckBox* ChkBoxGZ;
    TLabel* IdxLabelGZ;
    TCheckBox* ChkBoxGY;
    TLabel* IdxLabelGY;
    TCheckBox* ChkBoxGX;
    TLabel* IdxLabelGX;

    // Places the parts for LayoutIndex in the panel the pane is docked into.
    void ArrangeGraph();
    void InitGraph();
    void AddGraphSeries(TColor colour, int penWidth, bool rightAxis);
    // Empties the curves and the read-out and resets the speed axis; the
    // zoom and the check boxes stay.
    void ResetGraph();

    // The curves of one recording (null: nothing changes).
    void SetGraphData(TAsfFileInfo* info);
    // Moves the cursor to ms, and the time window when ms leaves it.
    void SetPos(int ms);
    void SetSpeedText(const AnsiString& text);

    void FormCreate(TObject* Sender);
    void ChkBoxSpeedClick(TObject* Sender);
    void ChkBoxGXClick(TObject* Sender);
    void ChkBoxGYClick(TObject* Sender);
    void ChkBoxGZClick(TObject* Sender);
    void BitBtnXSmallClick(TObject* Sender);
    void BitBtnXBigClick(TObject* Sender);
    void ImageXNoneClick(TObject* Sender);
    void BitBtnYBigClick(TObject* Sender);
    void BitBtnYSmallClick(TObject* Sender);
    void ImageYNoneClick(TObject* Sender);
    void ImageBtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageBtnMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    std::int32_t XSpanIndex() const { return FXSpanIndex; }
    std::int32_t PlayPositionMs() const { return FPlayPositionMs; }
    float SpeedAxisMax() const { return FSpeedAxisMax; }
    TColor SpeedColor() const { return FSpeedColor; }
    TColor GapColor() const { return FGapColor; }
    TColor GXColor() const { return FGXColor; }
    TColor GYColor() const { return FGYColor; }
    TColor GZColor() const { return FGZColor; }

private:
    void LoadButtonPicture(TImage* image, const char16_t* prefix);
    // The bottom axis shows [start, start + span] milliseconds.
    void ShowWindow(std::int32_t startMs, std::int32_t spanMs);
    void ZoomTimeAroundPosition();

    std::int32_t FXSpanIndex = 3;
    TColor FSpeedColor = clLime;
    TColor FGapColor = clBlack;
    TColor FGXColor = clAqua;
    TColor FGYColor = clYellow;
    TColor FGZColor = clRed;
    std::int32_t FPlayPositionMs = 0;
    float FSpeedAxisMax = 125.0f;
};

extern TGraphControl* GraphControl;
