// The password prompt shown at start-up when a viewing password is set.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

class TPassWordInput : public TForm {
public:
    explicit TPassWordInput(TComponent* Owner);
    ~TPassWordInput() override;

    TLabel* LabelHeader;
    TEdit* Edit1;
    TLabel* LabelPsw;
    TButton* ButtonOK;
    TButton* ButtonCancel;

    void ButtonOKClick(TObject* Sender);
    void ButtonCancelClick(TObject* Sender);
    void Edit1KeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift);

    // The password the prompt accepts; set once by the program entry.
    AnsiString FExpectedPassword;
};

extern TPassWordInput* PassWordInput;
