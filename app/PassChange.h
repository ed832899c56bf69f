// The password-change dialog: checks the old password against the main
// window's copy and stores the new one through the main window's settings.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

class TPWChange : public TForm {
public:
    explicit TPWChange(TComponent* Owner);
    ~TPWChange() override;

    TLabel* LabelOldPsw;
    TLabel* LabelNewPsw;
    TLabel* LabelNewPsw2;
    TEdit* EditOld;
    TEdit* EditNew;
    TEdit* EditConf;
    TButton* ButtonOK;
    TButton* ButtonCancel;
    TLabel* LabelHeader;

    void FormShow(TObject* Sender);
    void ButtonOKClick(TObject* Sender);
    void ButtonCancelClick(TObject* Sender);
    // Bound to the key-down event of all three edits.
    void EditOldKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
};

extern TPWChange* PWChange;
