#include "platform/vcl/CustomForm.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WindowPresenter.h"

namespace vcl {

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
    FVisible = false;
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Presenter().FormDestroyed(*this);
    // The form's own components go while the form is still whole.
    DestroyComponents();
    Screen->RemoveForm(this);
    if (Application)
        Application->PopModal(this);
}

void TCustomForm::AfterConstruction()
{
    if (FCreated)
        return;
    FCreated = true;
    FBuilding = false;
    const auto life = LifeToken();
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (const rtl::Exception& e) {
            if (!Application)
                throw;
            Application->HandleException(this, &e);
        }
    }
    // A form made visible while it was built shows now, after OnCreate.
    if (Alive(life))
        UpdateShowing();
}

bool TCustomForm::ComputeShowing() const
{
    if (FBuilding)
        return FShowing;
    return FVisible && (!Parent() || Parent()->Showing());
}

void TCustomForm::SetVisible(bool visible)
{
    const bool wasModalShowing = FModal && FVisible;
    TWinControl::SetVisible(visible);
    // Hiding a modal form ends its loop as a cancel.
    if (wasModalShowing && !visible && FModalResult == mrNone)
        FModalResult = mrCancel;
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (Parent() == nullptr && Showing())
        Screen->SetActiveForm(this);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Activation(bool active)
{
    const auto life = LifeToken();
    win::SendMessage(Handle(), win::WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
    if (!Alive(life))
        return;
    try {
        if (active && OnActivate)
            OnActivate(this);
        if (!active && OnDeactivate)
            OnDeactivate(this);
    } catch (const rtl::Exception& e) {
        if (!Application)
            throw;
        Application->HandleException(this, &e);
    }
}

void TCustomForm::ShowingChanged()
{
    const auto life = LifeToken();
    if (Showing()) {
        if (!Parent())
            PlaceOnShow();
        DoShow();
        if (Alive(life) && !Parent() && Showing())
            Presenter().FormShowing(*this, true);
    } else {
        DoHide();
        if (Alive(life) && !Parent() && !Showing())
            Presenter().FormShowing(*this, false);
        if (Alive(life) && !Parent())
            Screen->ActivateNext(this);
    }
}

// As the framework, an exception in OnShow or OnHide goes to the exception
// box; the change of visibility stands.
void TCustomForm::DoShow()
{
    try {
        if (OnShow)
            OnShow(this);
    } catch (const rtl::Exception& e) {
        if (!Application)
            throw;
        Application->HandleException(this, &e);
    }
}

void TCustomForm::DoHide()
{
    try {
        if (OnHide)
            OnHide(this);
    } catch (const rtl::Exception& e) {
        if (!Application)
            throw;
        Application->HandleException(this, &e);
    }
}

void TCustomForm::PlaceOnShow()
{
    int x = Left(), y = Top();
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        x = (Screen->Width() - Width()) / 2;
        y = (Screen->Height() - Height()) / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* host = nullptr;
        if (FPosition == poOwnerFormCenter)
            host = dynamic_cast<TCustomForm*>(Owner());
        if (!host && Application)
            host = Application->MainForm();
        if (host && host != this) {
            x = (host->Width() - Width()) / 2 + host->Left();
            y = (host->Height() - Height()) / 2 + host->Top();
        } else {
            x = (Screen->Width() - Width()) / 2;
            y = (Screen->Height() - Height()) / 2;
        }
        break;
    }
    default:
        return;
    }
    // Keep the frame on the screen, as the framework does.
    x = std::max(x, 0);
    y = std::max(y, 0);
    SetBounds(x, y, Width(), Height());
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    const auto life = LifeToken();
    if (!CloseQuery() || !Alive(life))
        return;
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (!Alive(life) || action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::CloseModal()
{
    const auto life = LifeToken();
    TCloseAction action = caNone;
    try {
        if (CloseQuery() && Alive(life)) {
            action = caHide;
            if (OnClose)
                OnClose(this, action);
        }
    } catch (const rtl::Exception& e) {
        if (!Alive(life))
            throw;
        FModalResult = mrNone;
        if (Application)
            Application->HandleException(this, &e);
        return;
    }
    if (!Alive(life))
        return;
    if (action == caNone)
        FModalResult = mrNone;
    else if (action == caFree)
        Release();
}

int TCustomForm::ShowModal()
{
    if (Visible() || !Enabled() || FModal)
        throw rtl::EInvalidOperation(u"Cannot make a visible window modal");
    TApplication* app = Application;
    if (!app)
        throw rtl::EInvalidOperation(u"No application for a modal loop");

    // Every other shown top-level form stops taking input until the loop
    // ends (forms shown later, such as a nested modal one, do not).
    std::vector<std::pair<TCustomForm*, std::weak_ptr<void>>> blocked;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f != this && !f->Parent() && f->Showing()) {
            f->BlockForModal(true);
            blocked.emplace_back(f, f->LifeToken());
        }
    }
    const auto life = LifeToken();
    TCustomForm* before = Screen->ActiveForm();
    const auto beforeLife = before ? before->LifeToken() : std::weak_ptr<void>();
    FModal = true;
    app->PushModal(this);
    const auto finish = [&] {
        app->PopModal(this);
        for (auto& [f, token] : blocked)
            if (Alive(token))
                f->BlockForModal(false);
        if (Alive(life)) {
            FModal = false;
            Hide();
        }
        // The form that was active before the loop is active again.
        if (before && Alive(beforeLife) && before->Showing() && !before->Parent())
            Screen->SetActiveForm(before);
    };

    try {
        Show();
        FModalResult = mrNone;
        while (Alive(life)) {
            if (app->Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            if (FModalResult != mrNone) {
                CloseModal();
                if (!Alive(life) || FModalResult != mrNone)
                    break;
                continue;
            }
            if (!app->ModalStep(this)) {
                FModalResult = mrCancel;
                break;
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    const TModalResult result = Alive(life) ? FModalResult : mrCancel;
    finish();
    return result;
}

void TCustomForm::Release()
{
    if (FReleasePosted)
        return;
    FReleasePosted = true;
    win::PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_RELEASE:
        delete this;
        return;
    case win::WM_CLOSE:
        if (FBorderIcons.Contains(biSystemMenu) || FModal)
            Close();
        Message.Result = 0;
        return;
    default:
        TWinControl::Dispatch(Message);
    }
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (control && !ContainsControl(control))
        throw rtl::EInvalidOperation(u"Invalid active control");
    FocusChanged(control);
}

void TCustomForm::FocusChanged(TWinControl* control)
{
    // Forms docked on the way remember the control as their own active one.
    for (TWinControl* c = control ? control->Parent() : nullptr; c && c != this; c = c->Parent())
        if (auto* docked = dynamic_cast<TCustomForm*>(c)) {
            docked->FActiveControl = control;
            docked->FActiveLife = control->LifeToken();
        }
    TWinControl* old = ActiveControl();
    if (old == control)
        return;
    FActiveControl = control;
    FActiveLife = control ? control->LifeToken() : std::weak_ptr<void>();
    if (old)
        old->DoExit();
    if (control && ActiveControl() == control)
        control->DoEnter();
}

TWinControl* TCustomForm::ActiveControl() const { return Alive(FActiveLife) ? FActiveControl : nullptr; }

TWinControl* TCustomForm::FocusTarget()
{
    TWinControl* active = ActiveControl();
    if (active && active != this && ContainsControl(active) && active->CanFocus())
        return active;
    // Else the first control that takes the focus, in tab order.
    std::vector<TWinControl*> found;
    const auto collect = [&found](const auto& self, TWinControl* w) -> void {
        for (int i = 0; i < w->ControlCount(); ++i)
            if (auto* child = dynamic_cast<TWinControl*>(w->Controls(i))) {
                if (child->TabStop() && child->CanFocus())
                    found.push_back(child);
                self(self, child);
            }
    };
    collect(collect, this);
    if (found.empty())
        return this;
    return *std::min_element(found.begin(), found.end(),
                             [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
}

bool TCustomForm::Active() const { return Screen->ActiveForm() == this; }

void TCustomForm::SetBorderStyle(TFormBorderStyle style)
{
    if (style == FBorderStyle)
        return;
    // The outer size stays; the client area follows the new frame.
    FBorderStyle = style;
    AlignControls();
    Invalidate();
    StyleChanged();
}

void TCustomForm::StyleChanged()
{
    if (!Parent())
        Presenter().FormStyleChanged(*this);
}

void TCustomForm::TextChanged()
{
    TWinControl::TextChanged();
    StyleChanged();
}

void TCustomForm::BoundsChanged(bool sizeChanged)
{
    TWinControl::BoundsChanged(sizeChanged);
    if (!Parent())
        Presenter().FormMoved(*this);
}

int TCustomForm::FrameX() const
{
    if (Parent())
        return 0;
    switch (FBorderStyle) {
    case bsNone:
        return 0;
    case bsSizeable:
    case bsSizeToolWin:
        return 8;
    default:
        return 3;
    }
}

int TCustomForm::FrameTop() const
{
    if (Parent() || FBorderStyle == bsNone)
        return FrameX();
    const bool tool = FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin;
    return FrameX() + (tool ? 20 : 23);
}

int TCustomForm::FrameBottom() const { return FrameX(); }

int TCustomForm::ClientWidth() const { return std::max(Width() - 2 * FrameX(), 0); }
int TCustomForm::ClientHeight() const { return std::max(Height() - FrameTop() - FrameBottom(), 0); }

TPoint TCustomForm::ClientOffset() const { return TPoint(FrameX(), FrameTop()); }

TPoint TCustomForm::ClientOrigin() const
{
    const TPoint p = TWinControl::ClientOrigin();
    return TPoint(p.X + FrameX(), p.Y + FrameTop());
}

void TCustomForm::KeyDownDefault(std::uint16_t& Key, TShiftState)
{
    if (Key != VK_RETURN && Key != VK_ESCAPE)
        return;
    // The default button takes Enter, the cancel button Escape.
    std::vector<TWinControl*> stack{this};
    while (!stack.empty()) {
        TWinControl* w = stack.back();
        stack.pop_back();
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* c = w->Controls(i);
            if (auto* b = dynamic_cast<TButton*>(c)) {
                const bool wanted = Key == VK_RETURN ? b->Default() : b->Cancel();
                if (wanted && b->AcceptsInput()) {
                    Key = 0;
                    b->Click();
                    return;
                }
            }
            if (auto* child = dynamic_cast<TWinControl*>(c); child && !dynamic_cast<TCustomForm*>(c))
                stack.push_back(child);
        }
    }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActiveControl)
        FActiveControl = nullptr;
}

void TCustomForm::Paint(TCanvas& canvas)
{
    // Frame and caption bar, then the client background.
    canvas.Brush.Style = bsSolid;
    if (FrameTop() > 0 || FrameX() > 0) {
        canvas.Brush.Color = clActiveCaption;
        canvas.FillRect(TRect(0, 0, Width(), Height()));
        canvas.Font = *Font();
        canvas.Font.SetColor(clWhite);
        canvas.Brush.Style = bsClear;
        canvas.TextOut(FrameX() + 4, std::max(FrameX(), 2), Caption());
        canvas.Brush.Style = bsSolid;
    }
    canvas.Brush.Color = Color();
    canvas.FillRect(TRect(FrameX(), FrameTop(), FrameX() + ClientWidth(), FrameTop() + ClientHeight()));
    if (OnPaint)
        OnPaint(this);
}

PixelBuffer TCustomForm::Snapshot()
{
    PixelBuffer picture(Width(), Height(), PixelBuffer::FromColor(clBlack));
    TCanvas canvas(&picture);
    PaintTo(canvas, 0, 0);
    return picture;
}

bool TCustomForm::SaveSnapshot(const std::string& hostPath) { return PngWriter::Save(Snapshot(), hostPath); }

} // namespace vcl
