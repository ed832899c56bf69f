#include "platform/vcl/MouseInput.h"

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WinControl.h"
#include "platform/vcl/detail/Guarded.h"

namespace vcl {

using detail::Guarded;

namespace {

struct Tracked {
    TControl* control = nullptr;
    std::weak_ptr<void> life;
    TControl* Get() const { return Alive(life) ? control : nullptr; }
    void Set(TControl* c)
    {
        control = c;
        life = c ? c->LifeToken() : std::weak_ptr<void>();
    }
};

Tracked gCapture;
Tracked gHover;
Tracked gPopup;
std::function<void()> gPopupClose;
// The held press came as the second press of a double click: no click.
bool gCaptureDouble = false;

TShiftState WithButton(TShiftState shift, TMouseButton button)
{
    shift << (button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle);
    return shift;
}

// x, y in from's client coordinates, as to's client coordinates.
TPoint Translate(TControl* from, TControl* to, int x, int y)
{
    if (from == to || !from || !to)
        return TPoint(x, y);
    return to->ScreenToClient(from->ClientToScreen(TPoint(x, y)));
}

} // namespace

TControl* MouseInput::Capture() { return gCapture.Get(); }
TControl* MouseInput::Hover() { return gHover.Get(); }
TControl* MouseInput::Popup() { return gPopup.Get(); }

void MouseInput::SetPopup(TControl* popup, std::function<void()> close)
{
    gPopup.Set(popup);
    gPopupClose = popup ? std::move(close) : nullptr;
}

void MouseInput::Reset()
{
    gCapture.Set(nullptr);
    gHover.Set(nullptr);
    gCaptureDouble = false;
}

void MouseInput::HoverTo(TControl* control)
{
    TControl* old = gHover.Get();
    if (old == control)
        return;
    gHover.Set(control);
    if (old)
        Guarded(old, [&] { old->MouseLeave(); });
    if (control && Alive(control->LifeToken()))
        Guarded(control, [&] { control->MouseEnter(); });
}

bool MouseInput::Press(TControl* control, TMouseButton button, TShiftState shift, int x, int y, bool dbl)
{
    if (!control)
        return false;
    if (TControl* popup = gPopup.Get(); popup && control != popup) {
        std::function<void()> close = std::move(gPopupClose);
        SetPopup(nullptr, nullptr);
        if (close)
            Guarded(popup, [&] { close(); });
        return false;
    }
    const auto life = control->LifeToken();
    if (!Capture())
        HoverTo(control);
    if (!Alive(life) || !control->AcceptsInput())
        return false;
    if (TCustomForm* form = GetParentForm(control))
        Screen->SetActiveForm(form);
    // A windowed control that takes the focus gets it with the press.
    if (auto* w = dynamic_cast<TWinControl*>(control); w && w->TabStop() && w->CanFocus()) {
        Guarded(w, [&] { w->SetFocus(); });
        if (!Alive(life))
            return true;
    }
    gCapture.Set(control);
    gCaptureDouble = dbl;
    if (dbl) {
        Guarded(control, [&] { control->DblClick(); });
        if (!Alive(life))
            return true;
        shift << ssDouble;
    }
    Guarded(control, [&] { control->MouseDown(button, WithButton(shift, button), x, y); });
    return true;
}

void MouseInput::Move(TControl* control, TShiftState shift, int x, int y)
{
    TControl* captured = Capture();
    if (captured) {
        const TPoint p = Translate(control, captured, x, y);
        Guarded(captured, [&] { captured->MouseMove(shift, p.X, p.Y); });
        return;
    }
    if (!control)
        return;
    HoverTo(control);
    if (Alive(control->LifeToken()) && control->AcceptsInput())
        Guarded(control, [&] { control->MouseMove(shift, x, y); });
}

bool MouseInput::Release(TControl* control, TMouseButton button, TShiftState shift, int x, int y)
{
    TControl* target = Capture();
    const bool captured = target != nullptr;
    const bool wasDouble = gCaptureDouble;
    gCapture.Set(nullptr);
    gCaptureDouble = false;
    if (!target)
        target = control;
    if (!target)
        return false;
    if (!captured && !target->AcceptsInput())
        return false;
    const TPoint p = Translate(control, target, x, y);
    const auto life = target->LifeToken();
    // The click needs the press too (capture) and the pointer still inside.
    if (captured && button == mbLeft && target->ClientRect().Contains(p) && !wasDouble) {
        Guarded(target, [&] { target->InputClick(); });
        if (!Alive(life))
            return true;
    }
    Guarded(target, [&] { target->MouseUp(button, WithButton(shift, button), p.X, p.Y); });
    return true;
}

} // namespace vcl
