#include "app/PassChange.h"

#include "app/Dlg.h"
#include "mainwindow/MAIN.h"

TPWChange* PWChange = nullptr;

namespace {

TLabel* MakeLabel(TForm* form, const char16_t* name, int left, int top)
{
    auto* label = new TLabel(form);
    label->SetName(name);
    label->SetParent(form);
    label->SetBounds(left, top, 0, 0);
    return label;
}

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

TButton* MakeButton(TForm* form, const char16_t* name, int left, int width, int tabOrder)
{
    auto* button = new TButton(form);
    button->SetName(name);
    button->SetParent(form);
    button->SetBounds(left, 160, width, 22);
    button->SetTabOrder(tabOrder);
    return button;
}

} // namespace

TPWChange::TPWChange(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"PWChange");
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(TBorderIcons{});
    SetFormStyle(fsStayOnTop);
    SetPosition(poMainFormCenter);
    Font()->SetName(u"ＭＳ ゴシック");
    Font()->SetHeight(-16);
    SetClientWidth(409);
    SetClientHeight(205);

    LabelOldPsw = MakeLabel(this, u"LabelOldPsw", 48, 60);
    LabelNewPsw = MakeLabel(this, u"LabelNewPsw", 48, 89);
    LabelNewPsw2 = MakeLabel(this, u"LabelNewPsw2", 48, 120);
    EditOld = MakeEdit(this, u"EditOld", 52, 0);
    EditNew = MakeEdit(this, u"EditNew", 87, 1);
    EditConf = MakeEdit(this, u"EditConf", 117, 2);
    ButtonOK = MakeButton(this, u"ButtonOK", 99, 69, 3);
    ButtonCancel = MakeButton(this, u"ButtonCancel", 222, 89, 4);
    LabelHeader = MakeLabel(this, u"LabelHeader", 24, 24);

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
        if (AnsiString(EditOld->Text()) != MainForm->FPassword) {
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
        MainForm->FPassword = AnsiString(EditNew->Text());
        MainForm->SaveSettings();
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
    if (Key == VK_RETURN) {
        Key = 0;
        ButtonOKClick(Sender);
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        ButtonCancelClick(Sender);
    }
}
