#include "app/PassInput.h"

#include "app/Dlg.h"
#include "app/FormParts.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "mainwindow/MAIN.h"

TPassWordInput* PassWordInput = nullptr;

TPassWordInput::TPassWordInput(TComponent* Owner) : TForm(Owner)
{
    SetName(u"PassWordInput");
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetFormStyle(fsStayOnTop);
    // It is the first window the user sees: in the middle of the screen.
    SetPosition(poScreenCenter);
    Font()->SetName(u"ＭＳ ゴシック");
    Font()->SetHeight(-16);
    SetClientWidth(436);
    SetClientHeight(254);

    LabelHeader = new TLabel(this);
    Edit1 = new TEdit(this);
    LabelPsw = new TLabel(this);
    ButtonOK = new TButton(this);
    ButtonCancel = new TButton(this);

    LabelHeader->SetName(u"LabelHeader");
    LabelHeader->SetParent(this);
    LabelHeader->SetParentFont(false);
    LabelHeader->Font()->SetName(u"ＭＳ ゴシック");
    LabelHeader->Font()->SetHeight(-19);
    LabelHeader->SetBounds(8, 45, 0, 0);

    LabelPsw->SetName(u"LabelPsw");
    LabelPsw->SetParent(this);
    LabelPsw->SetBounds(72, 107, 0, 0);

    Edit1->SetName(u"Edit1");
    Edit1->SetParent(this);
    Edit1->SetBounds(200, 104, 193, 24);
    Edit1->SetPasswordChar(u'*');
    Edit1->SetTabOrder(0);
    Edit1->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState sh) { Edit1KeyDown(s, k, sh); };

    ButtonOK->SetName(u"ButtonOK");
    ButtonOK->SetParent(this);
    ButtonOK->SetBounds(72, 168, 115, 33);
    ButtonOK->SetTabOrder(1);
    ButtonOK->OnClick = [this](TObject* s) { ButtonOKClick(s); };

    ButtonCancel->SetName(u"ButtonCancel");
    ButtonCancel->SetParent(this);
    ButtonCancel->SetBounds(278, 168, 115, 33);
    ButtonCancel->SetTabOrder(2);
    ButtonCancel->OnClick = [this](TObject* s) { ButtonCancelClick(s); };

    if (MyLogModule)
        MyLogModule->LogDebug("TPassWordInput::TPassWordInput() START");
    SetCaption(u"Velmorastine II");
    LabelHeader->SetCaption(u"パスワードを入力してください");
    LabelPsw->SetCaption(u"パスワード：");
    ButtonOK->SetCaption(u"OK");
    ButtonCancel->SetCaption(u"キャンセル");
    SetActiveControl(Edit1);
}

TPassWordInput::~TPassWordInput()
{
    if (MyLogModule)
        MyLogModule->LogDebug("TPassWordInput::~TPassWordInput() END");
    if (PassWordInput == this)
        PassWordInput = nullptr;
}

void TPassWordInput::ButtonOKClick(TObject*)
{
    try {
        if (AnsiString(Edit1->Text()) != FExpectedPassword) {
            if (SDDlg)
                SDDlg->ShowSDDlg(13);
            if (Edit1->CanFocus())
                Edit1->SetFocus();
            Edit1->SelectAll();
            return;
        }
        Hide();
        ViewingAllowed = 1;
        if (MainForm)
            MainForm->Show();
    } catch (Exception&) {
    }
}

void TPassWordInput::ButtonCancelClick(TObject*)
{
    try {
        Close();
        if (MainForm)
            MainForm->Close();
    } catch (Exception&) {
    }
}

void TPassWordInput::Edit1KeyDown(TObject* Sender, std::uint16_t& Key, TShiftState)
{
    AnswerEnterEscape(
        Key, [&] { ButtonOKClick(Sender); }, [&] { ButtonCancelClick(Sender); });
}
