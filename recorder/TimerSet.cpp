#include "recorder/TimerSet.h"

#include <algorithm>
#include <cmath>

#include "app/Common.h"
#include "app/FormParts.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "playback/VideoView.h"
#include "recorder/SettingsFiles.h"

TTimeSet* TimeSet = nullptr;

namespace {

TPanel* NewPanel(TComponent* owner, TWinControl* parent, const char16_t* name)
{
    auto* panel = new TPanel(owner);
    panel->SetName(name);
    panel->SetParent(parent);
    panel->SetShowCaption(false);
    return panel;
}

TRadioButton* NewRadioButton(TComponent* owner, TWinControl* parent, const char16_t* name, int left, int top, int width,
                             int height)
{
    auto* button = new TRadioButton(owner);
    button->SetName(name);
    button->SetParent(parent);
    button->SetBounds(left, top, width, height);
    return button;
}

TDateTimePicker* NewPicker(TComponent* owner, TWinControl* parent, const char16_t* name, int top, TDateTimeKind kind,
                           const char16_t* format, int tabOrder)
{
    auto* picker = new TDateTimePicker(owner);
    picker->SetName(name);
    picker->SetParent(parent);
    picker->SetBounds(204, top, 106, 24);
    picker->SetKind(kind);
    picker->SetFormat(format);
    picker->SetTabOrder(tabOrder);
    return picker;
}

void LogFailure(const char* where, const Exception& e)
{
    if (MyLogModule)
        MyLogModule->LogError(AnsiString(where) + AnsiString(e.Message));
}

} // namespace

TTimeSet::TTimeSet(TComponent* Owner) : TForm(Owner)
{
    // The window's layout, as designed.
    SetUpToolDialog(this, u"TimeSet");
    SetClientWidth(457);
    SetClientHeight(315);

    PageControl1 = new TPageControl(this);
    PageControl1->SetName(u"PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetBounds(0, 0, 457, 315);
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetName(u"TabSheet1");
    TabSheet1->SetCaption(u"G感度調整");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet2 = new TTabSheet(this);
    TabSheet2->SetName(u"TabSheet2");
    TabSheet2->SetCaption(u"時刻設定");
    TabSheet2->SetPageControl(PageControl1);

    // The first page: G-sensor settings. Each pair of radio buttons has a
    // panel of its own, so the pairs do not clear each other.
    PanelGSensor = NewPanel(this, TabSheet1, u"PanelGSensor");
    PanelGSensor->SetAlign(alClient);
    LabelGEnable = NewLabel(this, PanelGSensor, u"LabelGEnable", 27, 32);
    Panel1 = NewPanel(this, PanelGSensor, u"Panel1");
    Panel1->SetBounds(232, 30, 185, 20);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetTabOrder(0);
    RadioButtonGYes = NewRadioButton(this, Panel1, u"RadioButtonGYes", 4, 0, 61, 17);
    RadioButtonGNo = NewRadioButton(this, Panel1, u"RadioButtonGNo", 85, 0, 68, 17);
    LabelEvent = NewLabel(this, PanelGSensor, u"LabelEvent", 27, 70);
    Panel2 = NewPanel(this, PanelGSensor, u"Panel2");
    Panel2->SetBounds(232, 68, 185, 21);
    Panel2->SetBevelOuter(bvNone);
    Panel2->SetTabOrder(1);
    RadioButtonEYes = NewRadioButton(this, Panel2, u"RadioButtonEYes", 4, -1, 61, 17);
    RadioButtonENo = NewRadioButton(this, Panel2, u"RadioButtonENo", 85, -1, 68, 17);
    LabelGHeader = NewLabel(this, PanelGSensor, u"LabelGHeader", 27, 104);
    TrackBarGSet = new TTrackBar(this);
    TrackBarGSet->SetName(u"TrackBarGSet");
    TrackBarGSet->SetParent(PanelGSensor);
    TrackBarGSet->SetBounds(88, 132, 289, 28);
    TrackBarGSet->SetOrientation(trHorizontal);
    TrackBarGSet->SetMin(0);
    TrackBarGSet->SetMax(4);
    TrackBarGSet->SetPageSize(1);
    TrackBarGSet->SetPosition(2);
    TrackBarGSet->SetTabOrder(2);
    LabelLow = NewLabel(this, PanelGSensor, u"LabelLow", 91, 166);
    LabelMid = NewLabel(this, PanelGSensor, u"LabelMid", 216, 166);
    LabelHigh = NewLabel(this, PanelGSensor, u"LabelHigh", 357, 166);
    Label1 = NewLabel(this, PanelGSensor, u"Label1", 75, 188);
    Label1->SetCaption(u"(0.6G)");
    Label2 = NewLabel(this, PanelGSensor, u"Label2", 205, 188);
    Label2->SetCaption(u"(0.45G)");
    Label3 = NewLabel(this, PanelGSensor, u"Label3", 342, 188);
    Label3->SetCaption(u"(0.3G)");
    ButtonOK = NewButton(this, PanelGSensor, u"ButtonOK", 91, 221, 113, 25, 3);
    ButtonCancel = NewButton(this, PanelGSensor, u"ButtonCancel", 268, 221, 105, 25, 4);
    RadioButtonGYes->SetChecked(true);
    RadioButtonEYes->SetChecked(true);

    // The second page: the recorder's clock.
    PanelTimeSet = NewPanel(this, TabSheet2, u"PanelTimeSet");
    PanelTimeSet->SetAlign(alClient);
    LabelHeader = NewLabel(this, PanelTimeSet, u"LabelHeader", 32, 33);
    LabelDate = NewLabel(this, PanelTimeSet, u"LabelDate", 112, 85);
    LabelDate->SetCaption(u"日付：");
    DateTimePicker1 = NewPicker(this, PanelTimeSet, u"DateTimePicker1", 80, dtkDate, u"yyyy/MM/dd", 1);
    DateTimePicker1->SetMaxDate(EncodeDate(2037, 12, 31) + EncodeTime(23, 59, 59, 0));
    DateTimePicker1->SetMinDate(EncodeDate(2001, 1, 1));
    LabelTime = NewLabel(this, PanelTimeSet, u"LabelTime", 112, 138);
    LabelTime->SetCaption(u"時刻：");
    DateTimePicker2 = NewPicker(this, PanelTimeSet, u"DateTimePicker2", 133, dtkTime, u"HH:mm", 0);
    Button1 = NewButton(this, PanelTimeSet, u"Button1", 64, 205, 113, 25, 2);
    Button2 = NewButton(this, PanelTimeSet, u"Button2", 240, 205, 105, 25, 3);

    PageControl1->SetActivePage(TabSheet1);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    ButtonOK->OnClick = [this](TObject* s) { ButtonOKClick(s); };
    ButtonCancel->OnClick = [this](TObject* s) { ButtonCancelClick(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    TrackBarGSet->OnChange = [this](TObject*) { FThresholdMoved = true; };

    try {
        LabelHeader->SetCaption(u"時刻を入力");
        LabelDate->SetCaption(u"日付");
        LabelTime->SetCaption(u"時刻");
        Button1->SetCaption(u"時刻設定");
        Button2->SetCaption(u"キャンセル");
        LabelGEnable->SetCaption(u"G検知イベント機能");
        LabelEvent->SetCaption(u"イベントファイル上書き");
        LabelGHeader->SetCaption(u"G感度設定");
        RadioButtonGYes->SetCaption(u"有効");
        RadioButtonGNo->SetCaption(u"無効");
        RadioButtonEYes->SetCaption(u"許可");
        RadioButtonENo->SetCaption(u"禁止");
        LabelLow->SetCaption(u"低");
        LabelMid->SetCaption(u"標準");
        LabelHigh->SetCaption(u"高");
        ButtonOK->SetCaption(u"G感度設定");
        ButtonCancel->SetCaption(u"キャンセル");
        SetCaption(u"本体設定");
    } catch (Exception& e) {
        LogFailure("TTimeSet::TTimeSet ERROR:", e);
    }
}

TTimeSet::~TTimeSet()
{
    // Windows reach one another through the globals: a window gone is null.
    if (TimeSet == this)
        TimeSet = nullptr;
}

bool TTimeSet::ShowWhenCardReady()
{
    if (!IsDriveReady(ProgramDrive))
        return false;
    Show();
    return true;
}

void TTimeSet::HideAndRepaint()
{
    Hide();
    // Posted, never sent, and only to a playback control that exists.
    PostVideoRepaint();
}

void TTimeSet::FormShow(TObject*)
{
    FKeptThresholdDigit = -1;
    FThresholdMoved = false;
    try {
        // Today at 00:00 and the time of day now; a clock outside the date
        // picker's range shows the nearest date it allows.
        const TDateTime now = Now();
        const double today = std::clamp(std::floor(now.Val), std::floor(DateTimePicker1->MinDate().Val),
                                        std::floor(DateTimePicker1->MaxDate().Val));
        DateTimePicker1->SetDateTime(today);
        DateTimePicker2->SetTime(now);

        TStringList lines;
        if (LoadSetupIniLines(SetupIniPath(ProgramFolder), lines)) {
            // Each value is applied as soon as it is read.
            (SetupEventFileOverwrite(lines) ? RadioButtonEYes : RadioButtonENo)->SetChecked(true);
            const int digit = SetupThresholdDigit(lines);
            TrackBarGSet->SetPosition(ThresholdPositionOf(digit));
            FThresholdMoved = false;
            if (ThresholdDigitOf(ThresholdPositionOf(digit)) != digit)
                FKeptThresholdDigit = digit;
            (SetupGEventEnabled(lines) ? RadioButtonGYes : RadioButtonGNo)->SetChecked(true);
        } else {
            RadioButtonEYes->SetChecked(true);
            TrackBarGSet->SetPosition(2);
            RadioButtonGYes->SetChecked(true);
            FThresholdMoved = false;
            if (MyLogModule)
                MyLogModule->LogMessage(AnsiString(u"設定ファイルが見つかりません。"), 2);
        }
    } catch (Exception& e) {
        LogFailure("TTimeSet::FormShow ERROR:", e);
    }
}

void TTimeSet::ButtonOKClick(TObject*)
{
    try {
        const int digit = FKeptThresholdDigit >= 0 && !FThresholdMoved ? FKeptThresholdDigit
                                                                       : ThresholdDigitOf(TrackBarGSet->Position());
        ReplaceFileBytes(SetupIniPath(ProgramFolder),
                         SetupIniText(RadioButtonEYes->Checked(), digit, RadioButtonGYes->Checked()));
        HideAndRepaint();
    } catch (Exception& e) {
        // The window stays open: nothing was written.
        LogFailure("TTimeSet::ButtonOKClick ERROR:", e);
    }
}

void TTimeSet::Button1Click(TObject*)
{
    try {
        ReplaceFileBytes(TimeSetIniPath(ProgramFolder),
                         TimeSetIniText(DateTimePicker1->Text(), DateTimePicker2->Text()));
        HideAndRepaint();
    } catch (Exception& e) {
        LogFailure("TTimeSet::Button1Click ERROR:", e);
    }
}

void TTimeSet::ButtonCancelClick(TObject*) { HideAndRepaint(); }

void TTimeSet::Button2Click(TObject*) { HideAndRepaint(); }

void TTimeSet::FormClose(TObject*, TCloseAction& Action)
{
    // The window lives until exit: a close request hides it as cancel does.
    Action = caNone;
    HideAndRepaint();
}
