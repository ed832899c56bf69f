#include "recorder/TimerSet.h"

#include "app/MyLog.h"
#include "playback/VideoView.h"

TTimeSet* TimeSet = nullptr;

namespace {

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top)
{
    auto* label = new TLabel(owner);
    label->SetName(name);
    label->SetParent(parent);
    label->SetBounds(left, top, 0, 0);
    return label;
}

TButton* MakeButton(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top, int width,
                    int tabOrder)
{
    auto* button = new TButton(owner);
    button->SetName(name);
    button->SetParent(parent);
    button->SetBounds(left, top, width, 25);
    button->SetTabOrder(tabOrder);
    return button;
}

} // namespace

TTimeSet::TTimeSet(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"TimeSet");
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(TBorderIcons{});
    SetFormStyle(fsStayOnTop);
    SetPosition(poMainFormCenter);
    Font()->SetName(u"ＭＳ ゴシック");
    Font()->SetHeight(-16);
    SetClientWidth(457);
    SetClientHeight(315);

    // The two pages: the G-sensor settings and the clock.
    PanelGSensor = new TPanel(this);
    PanelGSensor->SetName(u"PanelGSensor");
    PanelGSensor->SetParent(this);
    PanelGSensor->SetBounds(0, 32, 449, 283);
    PanelGSensor->SetShowCaption(false);
    PanelTimeSet = new TPanel(this);
    PanelTimeSet->SetName(u"PanelTimeSet");
    PanelTimeSet->SetParent(this);
    PanelTimeSet->SetBounds(0, 32, 449, 283);
    PanelTimeSet->SetShowCaption(false);
    PanelTimeSet->SetVisible(false);

    LabelHeader = MakeLabel(this, PanelTimeSet, u"LabelHeader", 32, 33);
    LabelDate = MakeLabel(this, PanelTimeSet, u"LabelDate", 112, 85);
    LabelTime = MakeLabel(this, PanelTimeSet, u"LabelTime", 112, 138);
    Button1 = MakeButton(this, PanelTimeSet, u"Button1", 64, 205, 113, 2);
    Button2 = MakeButton(this, PanelTimeSet, u"Button2", 240, 205, 105, 3);
    LabelGEnable = MakeLabel(this, PanelGSensor, u"LabelGEnable", 27, 32);
    LabelEvent = MakeLabel(this, PanelGSensor, u"LabelEvent", 27, 70);
    LabelGHeader = MakeLabel(this, PanelGSensor, u"LabelGHeader", 27, 104);
    LabelLow = MakeLabel(this, PanelGSensor, u"LabelLow", 91, 166);
    LabelMid = MakeLabel(this, PanelGSensor, u"LabelMid", 216, 166);
    LabelHigh = MakeLabel(this, PanelGSensor, u"LabelHigh", 357, 166);
    ButtonOK = MakeButton(this, PanelGSensor, u"ButtonOK", 91, 221, 113, 3);
    ButtonCancel = MakeButton(this, PanelGSensor, u"ButtonCancel", 268, 221, 105, 4);

    ButtonOK->OnClick = [this](TObject* s) { ButtonOKClick(s); };
    ButtonCancel->OnClick = [this](TObject* s) { ButtonCancelClick(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    try {
        LabelHeader->SetCaption(u"時刻を入力");
        LabelDate->SetCaption(u"日付");
        LabelTime->SetCaption(u"時刻");
        Button1->SetCaption(u"時刻設定");
        Button2->SetCaption(u"キャンセル");
        LabelGEnable->SetCaption(u"G検知イベント機能");
        LabelEvent->SetCaption(u"イベントファイル上書き");
        LabelGHeader->SetCaption(u"G感度設定");
        LabelLow->SetCaption(u"低");
        LabelMid->SetCaption(u"標準");
        LabelHigh->SetCaption(u"高");
        ButtonOK->SetCaption(u"G感度設定");
        ButtonCancel->SetCaption(u"キャンセル");
        SetCaption(u"本体設定");
    } catch (Exception& e) {
        if (MyLogModule)
            MyLogModule->LogError(AnsiString("TTimeSet::TTimeSet ERROR:") + AnsiString(e.Message));
    }
}

TTimeSet::~TTimeSet()
{
    // Windows reach one another through the globals: a window gone is null.
    if (TimeSet == this)
        TimeSet = nullptr;
}

void TTimeSet::HideAndRepaint()
{
    Hide();
    // Posted, never sent, and only to a playback control that exists.
    if (PlayControl)
        win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 1, 0);
}

void TTimeSet::ButtonOKClick(TObject*)
{
    HideAndRepaint();
}

void TTimeSet::ButtonCancelClick(TObject*)
{
    HideAndRepaint();
}

void TTimeSet::Button1Click(TObject*)
{
    HideAndRepaint();
}

void TTimeSet::Button2Click(TObject*)
{
    HideAndRepaint();
}

void TTimeSet::FormClose(TObject*, TCloseAction& Action)
{
    // The window lives until exit: a close request only hides it.
    Action = caHide;
}
