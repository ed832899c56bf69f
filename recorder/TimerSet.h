// The recorder settings window ("本体設定"): G-sensor settings and the
// recorder's clock, written to the card. Shown by the main window, hidden by
// its own buttons.
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
    TLabel* LabelTime;
    TPanel* PanelTimeSet;
    TPanel* PanelGSensor;
    TLabel* LabelGEnable;
    TLabel* LabelEvent;
    TLabel* LabelGHeader;
    TLabel* LabelLow;
    TLabel* LabelMid;
    TLabel* LabelHigh;
    TButton* ButtonOK;
    TButton* ButtonCancel;

    void ButtonOKClick(TObject* Sender);
    void ButtonCancelClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    // Hides the window, then asks the playback control to repaint the video.
    void HideAndRepaint();
};

extern TTimeSet* TimeSet;
