#include "app/PassChange.h"

#include "app/Dlg.h"
#include "app/FormParts.h"
#include "mainwindow/MAIN.h"

TPWChange* PWChange = nullptr;

namespace {

TEdit* MakeEdit(TForm* form, const char16_t* name, int top, int tabOrder)
{
    auto* edit = new TEdit(form);
    edit->SetName(name);
    edit->SetParent(form);
    edit->SetBounds(240, top, 143, 24);
    edit->SetMaxLength(8);
    edit->SetPasswordChar(u'*');
    edit->SetTabOrder(tabOrder);
    return edit;
}

} // namespace

TPWChange::TPWChange(TComponent* Owner) : TForm(Owner)
{
    SetUpToolDialog(this, u"PWChange");
    SetClientWidth(409);
    SetClientHeight(205);

    LabelOldPsw = NewLabel(this, this, u"LabelOldPsw", 48, 60);
    LabelNewPsw = NewLabel(this, this, u"LabelNewPsw", 48, 89);
    LabelNewPsw2 = NewLabel(this, this, u"LabelNewPsw2", 48, 120);
    EditOld = MakeEdit(this, u"EditOld", 52, 0);
    EditNew = MakeEdit(this, u"EditNew", 87, 1);
    EditConf = MakeEdit(this, u"EditConf", 117, 2);
    ButtonOK = NewButton(this, this, u"ButtonOK", 99, 160, 69, 22, 3);
    ButtonCancel = NewButton(this, this, u"ButtonCancel", 222, 160, 89, 22, 4);
    LabelHeader = NewLabel(this, this, u"LabelHeader", 24, 24);

    const TKeyEvent keyDown = [this](TObject* s, std::uint16_t& k, TShiftState sh) { EditOldKeyDown(s, k, sh); };
    EditOld->OnKeyDown = keyDown;
    EditNew->OnKeyDown = keyDown;
    EditConf->OnKeyDown = keyDown;
    ButtonOK->OnClick = [this](TObject* s) { ButtonOKClick(s); };
    ButtonCancel->OnClick = [this](TObject* s) { ButtonCancelClick(s); };
    OnShow = [this](TObject* s) { FormShow(s); };

    SetCaption(u"パスワード変更");
    LabelHeader->SetCaption(u"パスワードを入力");
    LabelOldPsw->SetCaption(u"古いパスワード");
    LabelNewPsw->SetCaption(u"新しいパスワード");
    LabelNewPsw2->SetCaption(u"新しいパスワード（確認）");
    ButtonOK->SetCaption(u"変更");
    ButtonCancel->SetCaption(u"キャンセル");
    EditOld->Clear();
    EditNew->Clear();
    EditConf->Clear();
}

TPWChange::~TPWChange()
{
    // Windows reach one another through the globals: a window gone is null.
    if (PWChange == this)
        PWChange = nullptr;
}

void TPWChange::FormShow(TObject*)
{
    EditOld->Clear();
    EditNew->Clear();
    EditConf->Clear();
}

void TPWChange::ButtonOKClick(TObject*)
{
    try {
        // Without the main window there is no password to check against.
        if (!MainForm)
            return;
        if (AnsiString(EditOld->Text()) != MainForm->Password()) {
            if (EditOld->CanFocus())
                EditOld->SetFocus();
            EditOld->SelectAll();
            if (SDDlg)
                SDDlg->ShowSDDlg(16);
            return;
        }
        if (EditNew->Text() != EditConf->Text()) {
            if (SDDlg)
                SDDlg->ShowSDDlg(14);
            if (EditNew->CanFocus())
                EditNew->SetFocus();
            EditNew->SelectAll();
            EditConf->Clear();
            return;
        }
        // Only a password that reached the card is reported as saved; else
        // the dialog stays open and the old password stays in force.
        if (!MainForm->ChangePassword(AnsiString(EditNew->Text())))
            return;
        if (SDDlg)
            SDDlg->ShowSDDlg(15);
        Hide();
    } catch (Exception&) {
    }
}

void TPWChange::ButtonCancelClick(TObject*)
{
    try {
        Hide();
    } catch (Exception&) {
    }
}

void TPWChange::EditOldKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState)
{
    AnswerEnterEscape(
        Key, [&] { ButtonOKClick(Sender); }, [&] { ButtonCancelClick(Sender); });
}
