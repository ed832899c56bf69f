#include "tracks/GraphView.h"

#include <cmath>

#include "app/Common.h"
#include "app/MyLog.h"
#include "mainwindow/MAIN.h"
#include "tracks/GPSData.h"
#include "tracks/GraphButtonArt.h"

TGraphControl* GraphControl = nullptr;

namespace {

constexpr double kSpeedAxisBase = 125.0;
constexpr double kSpeedAxisTop = 200.0;
constexpr std::uint32_t kGapMs = 1801;
constexpr std::uint32_t kDayMs = 86400000u;

void LogError(const char* method, const Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString(method) + AnsiString(e.Message));
}

TImage* NewButtonImage(TComponent* owner, TWinControl* parent, const char16_t* name, int tag)
{
    auto* image = new TImage(owner);
    image->SetName(name);
    image->SetParent(parent);
    image->SetTag(tag);
    image->SetStretch(true);
    return image;
}

TLabel* NewLegendLabel(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top, TColor colour)
{
    auto* label = new TLabel(owner);
    label->SetName(name);
    label->SetParent(parent);
    label->SetTransparent(true);
    label->SetParentFont(false);
    label->Font()->SetName(u"ＭＳ Ｐゴシック");
    label->Font()->SetHeight(-11);
    label->Font()->SetStyle(TFontStyles{fsBold});
    label->Font()->SetColor(colour);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

TCheckBox* NewLegendBox(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top)
{
    auto* box = new TCheckBox(owner);
    box->SetName(name);
    box->SetParent(parent);
    box->SetBounds(left, top, 17, 14);
    box->SetColor(clBlack);
    box->SetTabStop(false);
    box->SetChecked(true);
    return box;
}

void SilverFont(TFont& font, const char16_t* name, int height)
{
    font.SetName(name);
    font.SetHeight(height);
    font.SetColor(clSilver);
}

// A track time as a time of day; false from 24 hours on, where MsToTime
// would refuse it.
bool TrackTime(std::uint32_t ms, double& x)
{
    if (ms >= kDayMs)
        return false;
    x = MsToTime(ms);
    return true;
}

// The whole millisecond an axis end stands for.
long long AxisMs(double value) { return std::llround(value * rtl::MSecsPerDay); }

} // namespace

TGraphControl::TGraphControl(TComponent* Owner) : TForm(Owner)
{
    SetName(u"GraphControl");
    SetBorderStyle(bsNone);
    SetColor(clBlack);

    PanelForm = new TPanel(this);
    PanelForm->SetName(u"PanelForm");
    PanelForm->SetParent(this);
    PanelForm->SetAlign(alClient);
    PanelForm->SetBevelOuter(bvNone);
    PanelForm->SetShowCaption(false);
    PanelForm->SetColor(clBlack);

    ImageFormBack = new TImage(this);
    ImageFormBack->SetName(u"ImageFormBack");
    ImageFormBack->SetParent(PanelForm);
    ImageFormBack->SetAlign(alClient);
    ImageFormBack->SetStretch(true);
    ImageFormBack->Picture()->Assign(GraphPicture(u"GF_BACK").get());

    ImageXZoom = new TImage(this);
    ImageXZoom->SetName(u"ImageXZoom");
    ImageXZoom->SetParent(PanelForm);
    ImageXZoom->SetVisible(false);
    ImageXSmall = NewButtonImage(this, PanelForm, u"ImageXSmall", 1);
    ImageXNone = NewButtonImage(this, PanelForm, u"ImageXNone", 2);
    ImageXBig = NewButtonImage(this, PanelForm, u"ImageXBig", 3);

    ChartSD = new TChart(this);
    ChartSD->SetName(u"ChartSD");
    ChartSD->SetParent(PanelForm);
    ChartSD->SetColor(clBlack);
    TChartAxis* bottom = ChartSD->BottomAxis();
    bottom->SetAutomatic(false);
    bottom->SetMaximum(MsToTime(60000));
    bottom->SetMinimum(0.0);
    bottom->DateTimeFormat = u"   hm:ss";
    bottom->Increment = MsToTime(1000);
    SilverFont(bottom->LabelsFont, u"MS UI Gothic", -12);
    bottom->AxisColor = clSilver;
    bottom->TicksDotted = true;
    bottom->TickLength = 2;
    bottom->GridVisible = false;
    TChartAxis* left = ChartSD->LeftAxis();
    left->SetAutomatic(false);
    left->Title.Caption = u"速度[km/h]";
    left->Title.Angle = 270;
    SilverFont(left->Title.Font, u"ＭＳ Ｐ明朝", -12);
    SilverFont(left->LabelsFont, u"MS UI Gothic", -11);
    left->AxisColor = clSilver;
    left->GridVisible = true;
    left->TicksVisible = false;
    TChartAxis* right = ChartSD->RightAxis();
    right->SetAutomatic(false);
    right->SetMaximum(1.5);
    right->SetMinimum(-1.5);
    right->Title.Caption = u"加速度[G]";
    SilverFont(right->Title.Font, u"ＭＳ Ｐ明朝", -12);
    SilverFont(right->LabelsFont, u"MS UI Gothic", -11);
    right->AxisColor = clSilver;
    right->GridVisible = false;
    SeriesTime = new TLineSeries(ChartSD);
    SeriesTime->SetName(u"SeriesTime");
    SeriesTime->LinePen = TPen{clWhite, 3};
    SeriesTime->SetTitle(u"白線（速度）");
    ChartSD->AddSeries(SeriesTime);
    Series1 = new TLineSeries(ChartSD);
    Series1->SetName(u"Series1");
    Series1->LinePen = TPen{clWhite, 3};
    Series1->SetVertAxis(aRightAxis);
    Series1->SetTitle(u"白線（加速度）");
    ChartSD->AddSeries(Series1);

    PanelRight = new TPanel(this);
    PanelRight->SetName(u"PanelRight");
    PanelRight->SetParent(PanelForm);
    PanelRight->SetBevelOuter(bvNone);
    PanelRight->SetShowCaption(false);
    PanelRight->SetColor(clBlack);
    PanelRight->SetBounds(0, 0, 80, 89);
    ImageYZoom = new TImage(this);
    ImageYZoom->SetName(u"ImageYZoom");
    ImageYZoom->SetParent(PanelRight);
    ImageYZoom->SetVisible(false);
    ImageYZoom->SetBounds(6, 21, 15, 70);
    ImageYBig = NewButtonImage(this, PanelRight, u"ImageYBig", 4);
    ImageYNone = NewButtonImage(this, PanelRight, u"ImageYNone", 5);
    ImageYSmall = NewButtonImage(this, PanelRight, u"ImageYSmall", 6);

    IdxSpeedVal = new TLabel(this);
    IdxSpeedVal->SetName(u"IdxSpeedVal");
    IdxSpeedVal->SetParent(PanelRight);
    IdxSpeedVal->SetTransparent(true);
    IdxSpeedVal->SetAlignment(taRightJustify);
    IdxSpeedVal->SetParentFont(false);
    IdxSpeedVal->Font()->SetName(u"@Arial Unicode MS");
    IdxSpeedVal->Font()->SetHeight(-17);
    IdxSpeedVal->Font()->SetStyle(TFontStyles{fsBold});
    IdxSpeedVal->Font()->SetColor(clLime);
    // Right-justified: the read-out grows to the left of "km/h".
    IdxSpeedVal->SetBounds(29, -2, 12, 17);
    Label1 = new TLabel(this);
    Label1->SetName(u"Label1");
    Label1->SetParent(PanelRight);
    Label1->SetTransparent(true);
    Label1->SetParentFont(false);
    Label1->Font()->SetName(u"Trebuchet MS");
    Label1->Font()->SetHeight(-12);
    Label1->Font()->SetStyle(TFontStyles{fsBold});
    Label1->Font()->SetColor(clWhite);
    Label1->SetBounds(43, 3, 0, 0);
    Label1->SetCaption(u"km/h");

    ChkBoxSpeed = NewLegendBox(this, PanelRight, u"ChkBoxSpeed", 34, 21);
    IdxLabelSpeed = NewLegendLabel(this, PanelRight, u"IdxLabelSpeed", 51, 23, clLime);
    ChkBoxGZ = NewLegendBox(this, PanelRight, u"ChkBoxGZ", 34, 38);
    IdxLabelGZ = NewLegendLabel(this, PanelRight, u"IdxLabelGZ", 51, 40, clRed);
    ChkBoxGY = NewLegendBox(this, PanelRight, u"ChkBoxGY", 34, 55);
    IdxLabelGY = NewLegendLabel(this, PanelRight, u"IdxLabelGY", 51, 57, clYellow);
    ChkBoxGX = NewLegendBox(this, PanelRight, u"ChkBoxGX", 34, 72);
    IdxLabelGX = NewLegendLabel(this, PanelRight, u"IdxLabelGX", 51, 74, clAqua);

    ChkBoxSpeed->OnClick = [this](TObject* s) { ChkBoxSpeedClick(s); };
    ChkBoxGX->OnClick = [this](TObject* s) { ChkBoxGXClick(s); };
    ChkBoxGY->OnClick = [this](TObject* s) { ChkBoxGYClick(s); };
    ChkBoxGZ->OnClick = [this](TObject* s) { ChkBoxGZClick(s); };
    ImageXSmall->OnClick = [this](TObject* s) { BitBtnXSmallClick(s); };
    ImageXBig->OnClick = [this](TObject* s) { BitBtnXBigClick(s); };
    ImageXNone->OnClick = [this](TObject* s) { ImageXNoneClick(s); };
    ImageYBig->OnClick = [this](TObject* s) { BitBtnYBigClick(s); };
    ImageYSmall->OnClick = [this](TObject* s) { BitBtnYSmallClick(s); };
    ImageYNone->OnClick = [this](TObject* s) { ImageYNoneClick(s); };
    for (TImage* image : {ImageXSmall, ImageXNone, ImageXBig, ImageYBig, ImageYNone, ImageYSmall}) {
        image->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageBtnMouseDown(s, b, sh, x, y);
        };
        image->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageBtnMouseUp(s, b, sh, x, y);
        };
    }
    OnCreate = [this](TObject* s) { FormCreate(s); };

    if (MainForm && MainForm->PanelGraph) {
        SetParent(MainForm->PanelGraph);
        SetAlign(alClient);
        SetVisible(true);
    }

    FXSpanIndex = 3;
    FSpeedColor = clLime;
    FGXColor = IdxLabelGX->Font()->Color();
    FGYColor = IdxLabelGY->Font()->Color();
    FGZColor = IdxLabelGZ->Font()->Color();
    FGapColor = clBlack;
    IdxSpeedVal->SetCaption(UnicodeString());
    IdxLabelSpeed->SetCaption(u"速度");
    IdxLabelGX->SetCaption(u"上下");
    IdxLabelGY->SetCaption(u"左右");
    IdxLabelGZ->SetCaption(u"前後");
    ImageXSmall->SetEnabled(false);
}

TGraphControl::~TGraphControl()
{
    // Windows reach one another through the globals: a window gone is null.
    if (GraphControl == this)
        GraphControl = nullptr;
}

void TGraphControl::LoadButtonPicture(TImage* image, const char16_t* prefix)
{
    const auto picture = GraphPicture(UnicodeString(prefix) + IntToStr(static_cast<int>(image->Tag())));
    image->Picture()->Assign(picture.get());
}

void TGraphControl::FormCreate(TObject*)
{
    try {
        for (TImage* image : {ImageXSmall, ImageXNone, ImageXBig, ImageYSmall, ImageYNone, ImageYBig})
            LoadButtonPicture(image, u"GF_BTN_A_");
        ArrangeGraph();
        FSpeedAxisMax = 125.0f;
        FPlayPositionMs = 0;
        InitGraph();
    } catch (Exception& e) {
        LogError("TGraphControl::InitGraph ERROR:", e);
    }
}

void TGraphControl::ArrangeGraph()
{
    if (LayoutIndex < 0 || LayoutIndex > 3)
        return;
    const std::int32_t* R = GraphLayoutRow[LayoutIndex];
    TWinControl* host = Parent() ? Parent() : (MainForm ? MainForm->PanelGraph : nullptr);
    if (host) {
        SetWidth(host->Width());
        SetHeight(host->Height());
    }
    PanelRight->SetTop(R[1]);
    PanelRight->SetLeft(Width() - 11 - PanelRight->Width());
    ImageXZoom->SetTop(PanelRight->Top());
    ImageXZoom->SetWidth(R[2]);
    ImageXZoom->SetHeight(R[3]);
    const int chartLeft = R[6];
    ChartSD->SetBounds(chartLeft, ImageXZoom->Top() + ImageXZoom->Height() + 3, PanelRight->Left() - 3 - chartLeft,
                       R[7]);
    ImageXZoom->SetLeft(ChartSD->Width() + ChartSD->Left() - ImageXZoom->Width());

    {
        const double W = ImageXZoom->Width();
        const int H = ImageXZoom->Height(), T = ImageXZoom->Top(), L = ImageXZoom->Left();
        ImageXSmall->SetBounds(L, T, static_cast<int>(0.27 * W), H);
        ImageXNone->SetBounds(static_cast<int>(0.27 * W + ImageXSmall->Left()), T, static_cast<int>(0.48 * W), H);
        ImageXBig->SetBounds(static_cast<int>(0.48 * W + ImageXNone->Left()), T, static_cast<int>(0.27 * W), H);
    }

    ImageYZoom->SetWidth(R[4]);
    ImageYZoom->SetHeight(R[5]);
    {
        const int W = ImageYZoom->Width(), T = ImageYZoom->Top(), L = ImageYZoom->Left();
        const double H = ImageYZoom->Height();
        ImageYBig->SetBounds(L, T, W, static_cast<int>(0.26 * H));
        ImageYNone->SetBounds(L, static_cast<int>(0.26 * H + ImageYBig->Top()), W, static_cast<int>(0.45 * H));
        ImageYSmall->SetBounds(L, static_cast<int>(0.45 * H + ImageYNone->Top()), W, static_cast<int>(0.26 * H));
    }

    for (TChartAxis* axis : {ChartSD->LeftAxis(), ChartSD->RightAxis(), ChartSD->BottomAxis()})
        axis->LabelsFont.SetSize(R[0]);
    ChartSD->Invalidate();
}

void TGraphControl::InitGraph()
{
    try {
        ChartSD->LeftAxis()->SetMaximum(kSpeedAxisBase);
        ChartSD->LeftAxis()->SetMinimum(-2.0);
        ChartSD->RightAxis()->SetMaximum(1.5);
        ChartSD->RightAxis()->SetMinimum(-1.5);
        AddGraphSeries(FSpeedColor, 1, false);
        AddGraphSeries(FGXColor, 1, true);
        AddGraphSeries(FGYColor, 1, true);
        AddGraphSeries(FGZColor, 1, true);
        AddGraphSeries(clWhite, 2, false);
        ChartSD->Repaint();
    } catch (Exception& e) {
        LogError("TGraphControl::InitGraph ERROR:", e);
    }
}

void TGraphControl::AddGraphSeries(TColor colour, int penWidth, bool rightAxis)
{
    auto* series = new TLineSeries(ChartSD);
    series->LinePen.Width = penWidth;
    series->LinePen.Color = colour;
    series->Brush.Color = colour;
    series->XValues()->SetDateTime(true);
    if (rightAxis)
        series->SetVertAxis(aRightAxis);
    ChartSD->AddSeries(series);
}

void TGraphControl::ResetGraph()
{
    for (int i = 2; i <= 6; ++i)
        ChartSD->Series(i)->Clear();
    IdxSpeedVal->SetCaption(UnicodeString());
    ChartSD->LeftAxis()->SetMaximum(kSpeedAxisBase);
    ChartSD->LeftAxis()->SetMinimum(-2.0);
    FSpeedAxisMax = 125.0f;
}

void TGraphControl::ChkBoxSpeedClick(TObject*) { ChartSD->Series(2)->SetActive(ChkBoxSpeed->Checked()); }
void TGraphControl::ChkBoxGXClick(TObject*) { ChartSD->Series(3)->SetActive(ChkBoxGX->Checked()); }
void TGraphControl::ChkBoxGYClick(TObject*) { ChartSD->Series(4)->SetActive(ChkBoxGY->Checked()); }
void TGraphControl::ChkBoxGZClick(TObject*) { ChartSD->Series(5)->SetActive(ChkBoxGZ->Checked()); }

void TGraphControl::ShowWindow(std::int32_t startMs, std::int32_t spanMs)
{
    // The minimum goes to 0 first, so the new maximum never lies below it.
    TChartAxis* bottom = ChartSD->BottomAxis();
    bottom->SetMinimum(0.0);
    bottom->SetMaximum(double(MsToTime(static_cast<std::uint32_t>(startMs))) +
                       double(MsToTime(static_cast<std::uint32_t>(spanMs))));
    bottom->SetMinimum(MsToTime(static_cast<std::uint32_t>(startMs)));
}

void TGraphControl::ZoomTimeAroundPosition()
{
    // A position on a boundary belongs to the window that ends there.
    const std::int32_t span = XSpanTable[FXSpanIndex];
    const std::int32_t p = FPlayPositionMs > 0 ? FPlayPositionMs - 1 : FPlayPositionMs;
    ShowWindow(p - p % span, span);
    ChartSD->Repaint();
}

void TGraphControl::BitBtnXSmallClick(TObject*)
{
    try {
        // The button is disabled at the end; a call past it changes nothing.
        if (FXSpanIndex >= 3)
            return;
        FXSpanIndex = FXSpanIndex + 1;
        ImageXBig->SetEnabled(true);
        if (FXSpanIndex >= 3)
            ImageXSmall->SetEnabled(false);
        ZoomTimeAroundPosition();
    } catch (Exception& e) {
        LogError("TGraphControl::BitBtnXSmallClick ERROR:", e);
    }
}

void TGraphControl::BitBtnXBigClick(TObject*)
{
    try {
        if (FXSpanIndex <= 0)
            return;
        FXSpanIndex = FXSpanIndex - 1;
        ImageXSmall->SetEnabled(true);
        if (FXSpanIndex <= 0)
            ImageXBig->SetEnabled(false);
        ZoomTimeAroundPosition();
    } catch (Exception& e) {
        LogError("TGraphControl::BitBtnXBigClick ERROR:", e);
    }
}

void TGraphControl::ImageXNoneClick(TObject*)
{
    try {
        ImageXSmall->SetEnabled(false);
        ImageXBig->SetEnabled(true);
        FXSpanIndex = 3;
        ShowWindow(FPlayPositionMs / 60000 * 60000, XSpanTable[3]);
        ChartSD->Repaint();
    } catch (Exception& e) {
        LogError("TGraphControl::ImageXNoneClick ERROR:", e);
    }
}

void TGraphControl::BitBtnYBigClick(TObject*)
{
    try {
        TChartAxis* right = ChartSD->RightAxis();
        if (right->Maximum() > 0.5) {
            right->SetMaximum(right->Maximum() - 0.5);
            right->SetMinimum(right->Minimum() + 0.5);
        }
        ImageYSmall->SetEnabled(true);
        if (right->Maximum() <= 0.5)
            ImageYBig->SetEnabled(false);
        ChartSD->Repaint();
    } catch (Exception& e) {
        LogError("TGraphControl::BitBtnYBigClick ERROR:", e);
    }
}

void TGraphControl::BitBtnYSmallClick(TObject*)
{
    try {
        TChartAxis* right = ChartSD->RightAxis();
        if (right->Maximum() < 8.0) {
            right->SetMaximum(right->Maximum() + 0.5);
            right->SetMinimum(right->Minimum() - 0.5);
        }
        ImageYBig->SetEnabled(true);
        if (right->Maximum() >= 8.0)
            ImageYSmall->SetEnabled(false);
        ChartSD->Repaint();
    } catch (Exception& e) {
        LogError("TGraphControl::BitBtnYSmallClick ERROR:", e);
    }
}

void TGraphControl::ImageYNoneClick(TObject*)
{
    try {
        ImageYBig->SetEnabled(true);
        ImageYSmall->SetEnabled(true);
        ChartSD->RightAxis()->SetMaximum(1.5);
        ChartSD->RightAxis()->SetMinimum(-1.5);
        ChartSD->Repaint();
    } catch (Exception& e) {
        LogError("TGraphControl::ImageYNoneClick ERROR:", e);
    }
}

void TGraphControl::ImageBtnMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    auto* image = dynamic_cast<TImage*>(Sender);
    if (image && image->Enabled())
        LoadButtonPicture(image, u"GF_BTN_B_");
}

void TGraphControl::ImageBtnMouseUp(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    if (auto* image = dynamic_cast<TImage*>(Sender))
        LoadButtonPicture(image, u"GF_BTN_A_");
}

void TGraphControl::SetGraphData(TAsfFileInfo* info)
{
    if (!info)
        return;
    try {
        for (int i = 2; i <= 6; ++i)
            ChartSD->Series(i)->Clear();

        TLineSeries* speed = ChartSD->Series(2);
        std::uint32_t previous = 0;
        const int gpsCount = info->GpsList ? info->GpsList->Count() : 0;
        for (int i = 0; i < gpsCount; ++i) {
            const TGpsInfo* gps = info->GpsList->Item(i);
            double x = 0.0;
            // A time past a day cannot be placed: that record alone is left out.
            if (!gps || gps->Speed.IsEmpty() || !TrackTime(gps->TimeMs, x))
                continue;
            const float v = static_cast<float>(StrToFloatOrZero(RoundToText(StrToFloatOrZero(gps->Speed))));
            if (v > FSpeedAxisMax)
                FSpeedAxisMax = v;
            const TColor colour = gps->TimeMs - previous >= kGapMs ? FGapColor : FSpeedColor;
            speed->AddXY(x, v, UnicodeString(), colour);
            previous = gps->TimeMs;
        }

        TLineSeries* gx = ChartSD->Series(3);
        TLineSeries* gy = ChartSD->Series(4);
        TLineSeries* gz = ChartSD->Series(5);
        const int gCount = info->GSensorList ? info->GSensorList->Count() : 0;
        for (int i = 0; i < gCount; ++i) {
            const TGSensorInfo* g = info->GSensorList->Item(i);
            double x = 0.0;
            if (!g || !TrackTime(g->TimeMs, x))
                continue;
            gx->AddXY(x, g->GX, UnicodeString(), FGXColor);
            gy->AddXY(x, g->GY, UnicodeString(), FGYColor);
            gz->AddXY(x, g->GZ, UnicodeString(), FGZColor);
        }

        if (FSpeedAxisMax > kSpeedAxisBase) {
            if (FSpeedAxisMax > kSpeedAxisTop)
                FSpeedAxisMax = static_cast<float>(kSpeedAxisTop);
            ChartSD->LeftAxis()->SetMaximum(FSpeedAxisMax);
        }
    } catch (Exception& e) {
        LogError("TGraphControl::SetGraphData ERROR:", e);
    }
}

void TGraphControl::SetPos(int ms)
{
    try {
        TLineSeries* cursor = ChartSD->Series(6);
        cursor->Clear();
        FPlayPositionMs = ms;
        const double t = MsToTime(static_cast<std::uint32_t>(ms));
        // The window's ends as whole milliseconds: compared as doubles, a
        // position on an end would fall on either side by rounding.
        TChartAxis* bottom = ChartSD->BottomAxis();
        if (ms > AxisMs(bottom->Maximum()) || ms < AxisMs(bottom->Minimum())) {
            const std::int32_t span = XSpanTable[FXSpanIndex];
            // The first 100 ms after a minute stay in the window that ends there.
            const std::int32_t w = static_cast<std::uint32_t>(ms) - 60000u < 100u ? 59999 : ms;
            ShowWindow(w - w % span, span);
        }
        cursor->AddXY(t, 200.0, UnicodeString(), clWhite);
        cursor->AddXY(t, -100.0, UnicodeString(), clWhite);
    } catch (Exception& e) {
        LogError("TGraphControl::SetPos ERROR:", e);
    }
}

void TGraphControl::SetSpeedText(const AnsiString& text)
{
    const UnicodeString caption(text);
    if (IdxSpeedVal->Caption() != caption)
        IdxSpeedVal->SetCaption(caption);
}
