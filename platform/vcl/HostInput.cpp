#include "platform/vcl/HostInput.h"

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/MouseInput.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WindowPresenter.h"
#include "platform/vcl/detail/Guarded.h"

namespace vcl {

using detail::Guarded;

namespace {

// The control of the form that takes the keyboard now.
TWinControl* KeyTarget(TCustomForm& form)
{
    if (form.ModalBlocked())
        return nullptr;
    TWinControl* target = form.ActiveControl();
    if (!target)
        target = &form;
    return target->AcceptsInput() ? target : nullptr;
}

} // namespace

TControl* HostInput::ControlAt(TCustomForm& form, TPoint p, TPoint& local)
{
    const TPoint screen = form.ClientToScreen(p);
    TControl* hit = &form;
    for (auto* w = static_cast<TWinControl*>(&form); w;) {
        TControl* c = w->ControlAtPos(w->ScreenToClient(screen), true);
        if (!c)
            break;
        hit = c;
        w = dynamic_cast<TWinControl*>(c);
    }
    local = hit->ScreenToClient(screen);
    return hit;
}

void HostInput::Press(TCustomForm& form, TMouseButton button, TShiftState shift, int x, int y, bool dbl)
{
    TPoint local;
    TControl* c = ControlAt(form, TPoint(x, y), local);
    MouseInput::Press(c, button, shift, local.X, local.Y, dbl);
}

void HostInput::Release(TCustomForm& form, TMouseButton button, TShiftState shift, int x, int y)
{
    TPoint local;
    TControl* c = ControlAt(form, TPoint(x, y), local);
    MouseInput::Release(c, button, shift, local.X, local.Y);
}

void HostInput::Move(TCustomForm& form, TShiftState shift, int x, int y)
{
    TPoint local;
    TControl* c = ControlAt(form, TPoint(x, y), local);
    MouseInput::Move(c, shift, local.X, local.Y);
}

void HostInput::Leave(TCustomForm& form)
{
    if (MouseInput::Capture())
        return;
    if (TControl* hover = MouseInput::Hover(); hover && GetParentForm(hover) == &form)
        MouseInput::HoverTo(nullptr);
}

void HostInput::Wheel(TCustomForm& form, TShiftState shift, int x, int y, int notches)
{
    TWinControl* target = KeyTarget(form);
    if (!target || notches == 0)
        return;
    unsigned keys = 0;
    if (shift.Contains(ssShift))
        keys |= 0x0004; // MK_SHIFT
    if (shift.Contains(ssCtrl))
        keys |= 0x0008; // MK_CONTROL
    const auto delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(notches * 120));
    const TPoint screen = form.ClientToScreen(TPoint(x, y));
    const win::WPARAM wParam = (static_cast<win::WPARAM>(delta) << 16) | keys;
    const win::LPARAM lParam = static_cast<win::LPARAM>((static_cast<std::uint32_t>(screen.Y & 0xFFFF) << 16) |
                                                        static_cast<std::uint32_t>(screen.X & 0xFFFF));
    Guarded(target, [&] { target->Perform(win::WM_MOUSEWHEEL, wParam, lParam); });
}

void HostInput::KeyDown(TCustomForm& form, std::uint16_t key, char16_t ch, TShiftState shift)
{
    TWinControl* target = KeyTarget(form);
    if (!target)
        return;
    const auto life = target->LifeToken();
    std::uint16_t k = key;
    if (k != 0)
        Guarded(target, [&] { target->KeyDown(k, shift); });
    // A key that a handler took (set to 0) types no character.
    if (ch != 0 && Alive(life) && (key == 0 || k != 0)) {
        char16_t c = ch;
        Guarded(target, [&] { target->KeyPress(c); });
    }
}

void HostInput::KeyUp(TCustomForm& form, std::uint16_t key, TShiftState shift)
{
    TWinControl* target = KeyTarget(form);
    if (!target || key == 0)
        return;
    std::uint16_t k = key;
    Guarded(target, [&] { target->KeyUp(k, shift); });
}

void HostInput::FocusIn(TCustomForm& form)
{
    if (!form.Showing() || form.Parent())
        return;
    // A form blocked by a modal one passes the activation on to it.
    if (form.ModalBlocked() && Application && Application->ModalForm()) {
        TCustomForm* modal = Application->ModalForm();
        Screen->SetActiveForm(modal);
        Presenter().FormActivated(*modal);
        return;
    }
    Screen->SetActiveForm(&form);
}

void HostInput::FocusOut(TCustomForm& form)
{
    if (Screen->ActiveForm() == &form)
        Screen->SetActiveForm(nullptr);
}

void HostInput::CloseRequest(TCustomForm& form)
{
    if (!form.AcceptsInput())
        return;
    Guarded(&form, [&] { form.Perform(win::WM_CLOSE, 0, 0); });
}

void HostInput::Moved(TCustomForm& form, int left, int top)
{
    if (form.Parent() || (form.Left() == left && form.Top() == top))
        return;
    Guarded(&form, [&] { form.SetBounds(left, top, form.Width(), form.Height()); });
}

} // namespace vcl
