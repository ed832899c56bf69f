// The recorder settings window ("本体設定"): on its first page the G-sensor
// settings that "setup.ini" holds, on its second the date and time written
// to "TIMESET.ini", both in the root of the card (SettingsFiles.h). Created
// hidden at start-up, shown by the main window, hidden by its own buttons;
// it lives until exit.
#pragma once

#include "platform/vcl/vcl.h"

class TTimeSet : public TForm {
public:
    explicit TTimeSet(TComponent* Owner);
    ~TTimeSet() override;

    TLabel* LabelHeader;
    TLabel* LabelDate;
    TButton* Button1;
    TButton* Button2;
    TDateTimePicker* DateTimePicker1;
    TLabel* LabelTime;
    TDateTimePicker* DateTimePicker2;
    TPanel* PanelTimeSet;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TPanel* PanelGSensor;
    TLabel* LabelGEnable;
    TLabel* LabelEvent;
    TLabel* LabelGHeader;
    TLabel* LabelLow;
    TTrackBar* TrackBarGSet;
    TLabel* LabelMid;
    TLabel* LabelHigh;
    TButton* ButtonOK;
    TButton* ButtonCancel;
    TRadioButton* RadioButtonGYes;
    TRadioButton* RadioButtonGNo;
    TRadioButton* RadioButtonEYes;
    TRadioButton* RadioButtonENo;
    TPanel* Panel1;
    TPanel* Panel2;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ButtonOKClick(TObject* Sender);
    void ButtonCancelClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

    // What the main window's "本体設定" icon calls: shows the window,
    // non-modal, only while the program drive answers. True when shown.
    bool ShowWhenCardReady();

private:
    // Hides the window, then asks the playback control to repaint the video.
    void HideAndRepaint();

    // A threshold digit read from "setup.ini" that the track bar cannot show
    // (0 to 4 read as its right end): written back as it was unless the user
    // moves the bar. -1 when there is none.
    int FKeptThresholdDigit = -1;
    bool FThresholdMoved = false;
};

extern TTimeSet* TimeSet;
