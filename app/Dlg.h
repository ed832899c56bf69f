// The one modal message box for every numbered user message.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

#include <cstdint>

// What the box shows for one message number: its text (a line feed between
// two lines) and the captions of its buttons (an empty second caption: one
// button).
struct TSDMessage {
    UnicodeString Text;
    UnicodeString FirstButton;
    UnicodeString SecondButton;

    bool operator==(const TSDMessage&) const = default;
};

// The table row for `number`; numbers outside the table give "B_no = "
// and the number with an "OK" button. Message 10 names `copyTarget`'s file
// name and extension, without its folder.
TSDMessage SDMessageFor(int number, const UnicodeString& copyTarget);

class TSDDlg : public TForm {
public:
    explicit TSDDlg(TComponent* Owner);
    ~TSDDlg() override;

    TLabel* Line2Label;
    TButton* OKSDLabel;
    TButton* NGLabel;

    // Shows message `number` modally: 1 for the first button (OK, yes,
    // execute), 2 for the second (cancel, no) or any failure. A request while
    // the box shows ends the showing one with 2 and returns 2 at once.
    int ShowSDDlg(int number);

    void FormCreate(TObject* Sender);
    void FormHide(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void OKSDLabelClick(TObject* Sender);
    void NGLabelClick(TObject* Sender);

    bool InShowModal() const { return FInShowModal != 0; }

private:
    void ResetContents();

    std::uint8_t FInShowModal = 0;
};

extern TSDDlg* SDDlg;
