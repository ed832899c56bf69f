#include "platform/vcl/WinControl.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/WindowPresenter.h"

namespace vcl {

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    // Children that outlive their parent (owned elsewhere) leave the tree.
    for (TControl* c : FControls) {
        c->FParent = nullptr;
        c->FShowing = false;
    }
    FControls.clear();
    if (FHandle) {
        win::HWND h = FHandle;
        FHandle = nullptr;
        win::DestroyWindow(h);
    }
}

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount())
        throw rtl::EListError(UnicodeString(u"List index out of bounds (") + UnicodeString(index) + u")");
    return FControls[static_cast<std::size_t>(index)];
}

TControl* TWinControl::ControlAtPos(const TPoint& p, bool allowDisabled) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p))
            return c;
    }
    return nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

void TWinControl::InsertControl(TControl* control) { FControls.push_back(control); }

void TWinControl::RemoveControl(TControl* control)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    Invalidate();
}

win::HWND TWinControl::Handle()
{
    if (!FHandle)
        FHandle = win::CreateWindowHandle(this);
    return FHandle;
}

win::LRESULT TWinControl::WindowProc(win::HWND, win::UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    TMessage m;
    m.Msg = message;
    m.WParam = wParam;
    m.LParam = lParam;
    try {
        Dispatch(m);
    } catch (const rtl::Exception& e) {
        if (!Application)
            throw;
        Application->HandleException(this, &e);
    }
    return m.Result;
}

bool TWinControl::CanFocus() const
{
    if (!Showing())
        return false;
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw rtl::EInvalidOperation(u"Cannot focus a disabled or invisible window");
    // A form docked into another passes the focus on to its own control.
    TWinControl* target = this;
    if (auto* docked = dynamic_cast<TCustomForm*>(this); docked && docked->Parent())
        target = docked->FocusTarget();
    if (TCustomForm* form = GetParentForm(target))
        form->FocusChanged(target);
}

bool TWinControl::Focused() const
{
    TCustomForm* form = GetParentForm(this);
    return form && form->ActiveControl() == this;
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::KeyDown(std::uint16_t& Key, TShiftState Shift)
{
    const auto life = LifeToken();
    TCustomForm* form = GetParentForm(this);
    const auto formLife = form ? form->LifeToken() : std::weak_ptr<void>();
    if (form && form != this && form->KeyPreview() && form->OnKeyDown) {
        form->OnKeyDown(form, Key, Shift);
        if (Key == 0 || !Alive(life))
            return;
    }
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (Key == 0 || !Alive(life))
        return;
    KeyDownDefault(Key, Shift);
    if (Key == 0 || !Alive(life))
        return;
    // Dialog keys (default and cancel buttons) go to the form last.
    if (form && form != this && Alive(formLife))
        form->KeyDownDefault(Key, Shift);
}

void TWinControl::KeyPress(char16_t& Key)
{
    const auto life = LifeToken();
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->OnKeyPress) {
        form->OnKeyPress(form, Key);
        if (Key == 0 || !Alive(life))
            return;
    }
    if (OnKeyPress)
        OnKeyPress(this, Key);
    if (Key == 0 || !Alive(life))
        return;
    KeyPressDefault(Key);
}

void TWinControl::KeyUp(std::uint16_t& Key, TShiftState Shift)
{
    const auto life = LifeToken();
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->OnKeyUp) {
        form->OnKeyUp(form, Key, Shift);
        if (Key == 0 || !Alive(life))
            return;
    }
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyDownDefault(std::uint16_t&, TShiftState) {}
void TWinControl::KeyPressDefault(char16_t&) {}

void TWinControl::BoundsChanged(bool sizeChanged)
{
    if (sizeChanged)
        AlignControls();
}

void TWinControl::AlignControls()
{
    if (FAligning)
        return;
    FAligning = true;
    TRect r = ClientRect();
    const std::vector<TControl*> children = FControls;
    const auto place = [&](TAlign which) {
        for (TControl* c : children) {
            if (c->Align() != which || !c->Visible())
                continue;
            switch (which) {
            case alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
                r.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
                r.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
                r.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
                r.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
                break;
            default:
                break;
            }
        }
    };
    try {
        place(alTop);
        place(alBottom);
        place(alLeft);
        place(alRight);
        place(alClient);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::UpdateShowing()
{
    const auto life = LifeToken();
    TControl::UpdateShowing();
    if (!Alive(life))
        return;
    const std::vector<TControl*> children = FControls;
    for (TControl* c : children)
        if (std::find(FControls.begin(), FControls.end(), c) != FControls.end())
            c->UpdateShowing();
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* c : FControls)
        c->ParentFontChanged();
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::ParentColorChanged()
{
    TControl::ParentColorChanged();
    for (TControl* c : FControls)
        c->ParentColorChanged();
}

win::WindowSurface* TWinControl::Surface()
{
    if (!FSurface)
        FSurface = std::make_unique<win::WindowSurface>();
    FSurface->Resize(ClientWidth(), ClientHeight());
    return FSurface.get();
}

void TWinControl::SurfacePainted() { Presenter().SurfacePainted(*this); }

void TWinControl::DrawSurface(TCanvas& canvas, int x, int y) const
{
    PixelBuffer* target = canvas.Target();
    if (target == nullptr)
        return;
    const TRect area = canvas.Clip()
                           .Intersect(TRect(0, 0, target->Width(), target->Height()))
                           .Intersect(TRect(x, y, x + FSurface->width, y + FSurface->height));
    if (area.Empty())
        return;
    for (int ty = area.Top; ty < area.Bottom; ++ty) {
        const std::uint32_t* from =
            FSurface->pixels.data() + static_cast<std::size_t>(ty - y) * FSurface->width + (area.Left - x);
        std::copy(from, from + (area.Right - area.Left), target->Row(ty) + area.Left);
    }
}

void TWinControl::PaintTo(TCanvas& canvas, int x, int y)
{
    const TPoint origin = canvas.Origin();
    const TRect clip = canvas.Clip();
    const TRect own = clip.Intersect(TRect(x, y, x + Width(), y + Height()));
    if (!own.Empty()) {
        canvas.SetOrigin(x, y);
        canvas.SetClip(own);
        Paint(canvas);
        const TPoint offset = ClientOffset();
        const TRect client = own.Intersect(
            TRect(x + offset.X, y + offset.Y, x + offset.X + ClientWidth(), y + offset.Y + ClientHeight()));
        if (FSurface && FSurface->painted) {
            canvas.SetClip(client);
            DrawSurface(canvas, x + offset.X, y + offset.Y);
        }
        for (TControl* c : FControls) {
            if (!c->Visible())
                continue;
            canvas.SetClip(client);
            c->PaintTo(canvas, x + offset.X + c->Left(), y + offset.Y + c->Top());
        }
    }
    canvas.SetOrigin(origin.X, origin.Y);
    canvas.SetClip(clip);
}

} // namespace vcl
