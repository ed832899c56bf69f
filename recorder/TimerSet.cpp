#include "recorder/TimerSet.h"

#include "app/FormParts.h"
#include "app/MyLog.h"
#include "playback/VideoView.h"

TTimeSet* TimeSet = nullptr;

TTimeSet::TTimeSet(TComponent* Owner)
    : TForm(Owner)
{
    SetUpToolDialog(this, u"TimeSet");
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

    LabelHeader = NewLabel(this, PanelTimeSet, u"LabelHeader", 32, 33);
    LabelDate = NewLabel(this, PanelTimeSet, u"LabelDate", 112, 85);
    LabelTime = NewLabel(this, PanelTimeSet, u"LabelTime", 112, 138);
    Button1 = NewButton(this, PanelTimeSet, u"Button1", 64, 205, 113, 25, 2);
    Button2 = NewButton(this, PanelTimeSet, u"Button2", 240, 205, 105, 25, 3);
    LabelGEnable = NewLabel(this, PanelGSensor, u"LabelGEnable", 27, 32);
    LabelEvent = NewLabel(this, PanelGSensor, u"LabelEvent", 27, 70);
    LabelGHeader = NewLabel(this, PanelGSensor, u"LabelGHeader", 27, 104);
    LabelLow = NewLabel(this, PanelGSensor, u"LabelLow", 91, 166);
    LabelMid = NewLabel(this, PanelGSensor, u"LabelMid", 216, 166);
    LabelHigh = NewLabel(this, PanelGSensor, u"LabelHigh", 357, 166);
    ButtonOK = NewButton(this, PanelGSensor, u"ButtonOK", 91, 221, 113, 25, 3);
    ButtonCancel = NewButton(this, PanelGSensor, u"ButtonCancel", 268, 221, 105, 25, 4);

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
