#include "app/Dlg.h"

#include "app/FormParts.h"
#include "mainwindow/ListView.h"

namespace {

constexpr int kClientHeight = 143;
constexpr int kLabelLeft = 27;
constexpr int kLabelTop = 24;
constexpr int kButtonTop = 84;
constexpr int kButtonHeight = 22;
constexpr int kFirstButtonWidth = 60;
constexpr int kSecondButtonWidth = 79;
constexpr int kButtonGap = 30;
constexpr int kWindowMargin = 100;

constexpr char16_t kConfirm[] = u"確認";

struct Row {
    int number;
    const char16_t* text;
    const char16_t* first;
    const char16_t* second;
};

// Message 10's "%s" is filled in by SDMessageFor.
constexpr Row kRows[] = {
    {2, u"静止画を保存しました。", kConfirm, u""},
    {3, u"静止画保存が失敗しました。", kConfirm, u""},
    {4, u"印刷が完了しました。", kConfirm, u""},
    {5, u"印刷が失敗しました。", kConfirm, u""},
    {6, u"ファイルを再生できません。", kConfirm, u""},
    {7, u"ファイルを再生できません。", kConfirm, u""},
    {8, u"再生するファイルを選択してください。", kConfirm, u""},
    {9, u"ファイルのコピーが失敗しました。指定パスが読取専用か、\nディスクが一杯かを確かめください！", kConfirm, u""},
    {10, u"既存ファイル(%s)があります。\n上書きしますか。", u"実行", u"キャンセル"},
    {11, u"ファイルの上書きが失敗しました！\n指定ファイルが読取専用かを確かめください。", kConfirm, u""},
    {12, u"選択したファイルを削除しますか。", u"はい", u"いいえ"},
    {13, u"パスワードが違います。", kConfirm, u""},
    {14, u"確認パスワードが違います。", kConfirm, u""},
    {15, u"パスワードを保存しました。", kConfirm, u""},
    {16, u"既存パスワードが違います。", kConfirm, u""},
    {17, u"再生リストにファイルがありません。", kConfirm, u""},
    {18, u"削除するファイルが選択されていません。", kConfirm, u""},
    {19, u"コピーするファイルが選択されていません。", kConfirm, u""},
    {20, u"コピーが終了しました。", kConfirm, u""},
    {21, u"ASFファイルがありません。", kConfirm, u""},
    {22, u"ファイルを再生できません。", kConfirm, u""},
    {23, u"      終了しますか。     ", u"はい", u"キャンセル"},
};

} // namespace

TSDDlg* SDDlg = nullptr;

TSDMessage SDMessageFor(int number, const UnicodeString& copyTarget)
{
    for (const Row& row : kRows) {
        if (row.number != number)
            continue;
        TSDMessage message{row.text, row.first, row.second};
        if (number == 10)
            message.Text = Format(message.Text, ExtractFileName(copyTarget));
        return message;
    }
    return TSDMessage{UnicodeString(u"B_no = ") + UnicodeString(number), u"OK", u""};
}

TSDDlg::TSDDlg(TComponent* Owner) : TForm(Owner)
{
    SetUpToolDialog(this, u"SDDlg");
    SetCaption(u"ダイアログ");
    SetClientHeight(kClientHeight);

    Line2Label = NewLabel(this, this, u"Line2Label", kLabelLeft, kLabelTop);
    OKSDLabel = NewButton(this, this, u"OKSDLabel", 0, kButtonTop, kFirstButtonWidth, kButtonHeight);
    OKSDLabel->OnClick = [this](TObject* s) { OKSDLabelClick(s); };
    NGLabel = NewButton(this, this, u"NGLabel", 0, kButtonTop, kSecondButtonWidth, kButtonHeight);
    NGLabel->OnClick = [this](TObject* s) { NGLabelClick(s); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnHide = [this](TObject* s) { FormHide(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TSDDlg::~TSDDlg()
{
    // Windows reach one another through the globals: a window gone is null.
    if (SDDlg == this)
        SDDlg = nullptr;
}

void TSDDlg::ResetContents()
{
    OKSDLabel->Hide();
    NGLabel->Hide();
    Line2Label->SetCaption(UnicodeString());
    OKSDLabel->SetCaption(UnicodeString());
    NGLabel->SetCaption(UnicodeString());
}

void TSDDlg::FormCreate(TObject*)
{
    ResetContents();
    FInShowModal = 0;
}

void TSDDlg::FormHide(TObject*) { ResetContents(); }

void TSDDlg::FormClose(TObject*, TCloseAction&) { ResetContents(); }

void TSDDlg::OKSDLabelClick(TObject*)
{
    FInShowModal = 0;
    SetModalResult(mrOk);
}

void TSDDlg::NGLabelClick(TObject*)
{
    FInShowModal = 0;
    SetModalResult(mrCancel);
}

int TSDDlg::ShowSDDlg(int number)
{
    try {
        // The copy target is the recording list's; without the list it is empty.
        const UnicodeString copyTarget = ListControl ? ListControl->FCopyTarget : UnicodeString();
        const TSDMessage message = SDMessageFor(number, copyTarget);
        Line2Label->SetCaption(message.Text);
        OKSDLabel->SetCaption(message.FirstButton);
        NGLabel->SetCaption(message.SecondButton);

        SetWidth(Line2Label->Width() + kWindowMargin);

        const int width = Width();
        if (NGLabel->Caption().IsEmpty()) {
            OKSDLabel->SetLeft((width - OKSDLabel->Width()) / 2);
            OKSDLabel->Show();
        } else {
            const int spare = width - OKSDLabel->Width() - NGLabel->Width();
            OKSDLabel->SetLeft((spare - kButtonGap) / 2);
            NGLabel->SetLeft(OKSDLabel->Left() + OKSDLabel->Width() + kButtonGap);
            OKSDLabel->Show();
            NGLabel->Show();
        }

        if (FInShowModal == 1) {
            // Asked from code that runs while the box waits: end the showing
            // one as "no", show nothing more.
            SetModalResult(mrCancel);
            return mrCancel;
        }

        // Cleared on every way out, also when the display fails, so that the
        // next message still shows.
        struct ShowingFlag {
            std::uint8_t& flag;
            explicit ShowingFlag(std::uint8_t& f) : flag(f) { flag = 1; }
            ~ShowingFlag() { flag = 0; }
        } showing(FInShowModal);
        return ShowModal() == mrOk ? mrOk : mrCancel;
    } catch (Exception&) {
        return mrCancel;
    }
}
