#include "app/ProgBar.h"

#include "platform/win/win.h"

namespace {

constexpr int kClientWidth = 545;
constexpr int kClientHeight = 86;

} // namespace

TProgForm* ProgForm = nullptr;

TProgForm::TProgForm(TComponent* Owner) : TForm(Owner)
{
    SetName(u"ProgForm");
    SetBorderStyle(bsNone);
    SetBorderIcons(TBorderIcons{});
    SetFormStyle(fsStayOnTop);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);

    ProgressBar1 = new TProgressBar(this);
    Panel1 = new TPanel(this);
    Label1 = new TLabel(this);
    BtnStop = new TButton(this);

    Panel1->SetName(u"Panel1");
    Panel1->SetParent(this);
    Panel1->SetAlign(alClient);
    Panel1->SetBevelOuter(bvRaised);
    Panel1->SetBevelWidth(2);
    Panel1->SetShowCaption(false);

    Label1->SetName(u"Label1");
    Label1->SetParent(Panel1);
    Label1->SetParentFont(false);
    Label1->Font()->SetName(u"ＭＳ Ｐゴシック");
    Label1->Font()->SetHeight(-12);
    Label1->Font()->SetStyle(TFontStyles{fsBold});
    Label1->SetBounds(8, 8, 0, 0);

    ProgressBar1->SetName(u"ProgressBar1");
    ProgressBar1->SetParent(Panel1);
    ProgressBar1->SetBounds(8, 30, 529, 20);
    ProgressBar1->SetSmooth(true);
    ProgressBar1->SetStep(1);

    BtnStop->SetName(u"BtnStop");
    BtnStop->SetParent(Panel1);
    BtnStop->SetBounds(240, 56, 75, 25);
    BtnStop->SetVisible(false);
    BtnStop->OnClick = [this](TObject* s) { BtnStopClick(s); };

    OnShow = [this](TObject* s) { FormShow(s); };
    OnHide = [this](TObject* s) { FormHide(s); };

    FTitle = AnsiString();
    SetVisible(false);
    // Off the taskbar: the tool-window style alone.
    SetExStyle(WS_EX_TOOLWINDOW);
    win::RECT work{};
    win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &work, 0);
    SetLeft((work.right - work.left - Width()) / 2);
    SetTop((work.bottom - work.top - Height()) / 2);
    BtnStop->SetCaption(u"中断");
}

TProgForm::~TProgForm()
{
    // Windows reach one another through the globals: a window gone is null.
    if (ProgForm == this)
        ProgForm = nullptr;
}

void TProgForm::FormShow(TObject*)
{
    ProgressBar1->SetPosition(0);
    Label1->SetCaption(UnicodeString());
}

void TProgForm::FormHide(TObject*)
{
    // Hidden by any means: no operation shows any more.
    FLevel = 0;
    FOuter.clear();
}

void TProgForm::ShowProgress(bool withStopButton)
{
    if (FLevel > 0 && Visible()) {
        // Nested: the outer operation's stop request and stop button stay.
        FOuter.push_back(
            Level{FTitle, BtnStop->Visible(), ProgressBar1->Position(), ProgressBar1->Max(), Label1->Caption()});
        ++FLevel;
        if (withStopButton)
            BtnStop->Show();
        BringToFront();
        return;
    }
    FOuter.clear();
    BtnStop->SetVisible(withStopButton);
    FAbort = 0;
    Show();
    BringToFront();
    FLevel = 1;
}

void TProgForm::HideProgress()
{
    if (FLevel > 1 && !FOuter.empty()) {
        const Level outer = FOuter.back();
        FOuter.pop_back();
        --FLevel;
        FTitle = outer.Title;
        BtnStop->SetVisible(outer.StopButton);
        ProgressBar1->SetMax(outer.Maximum);
        ProgressBar1->SetPosition(outer.Position);
        Label1->SetCaption(outer.Text);
        Repaint();
        return;
    }
    Hide();
}

void TProgForm::SetProgressTitle(const AnsiString& title)
{
    FTitle = title;
    Label1->SetCaption(UnicodeString(FTitle));
    Repaint();
}

void TProgForm::SetProgress(int position, int maximum, int kind)
{
    ProgressBar1->SetMax(maximum);
    ProgressBar1->SetPosition(position);
    if (kind == kProgressCountOfTotal)
        Label1->SetCaption(UnicodeString(FTitle) +
                           Format(u"  [%s/%s]", UnicodeString(position), UnicodeString(maximum)));
    else if (kind == kProgressCountItems)
        Label1->SetCaption(UnicodeString(FTitle) + Format(u"\u3000[%s件]", UnicodeString(position)));
    Repaint();
    Application->ProcessMessages();
}

void TProgForm::BtnStopClick(TObject*)
{
    FAbort = 1;
    for (int i = 0; i < 3; ++i)
        Application->ProcessMessages();
}
