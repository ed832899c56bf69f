#include "platform/vcl/PaintArea.h"

#include "platform/vcl/Control.h"
#include "platform/vcl/WinControl.h"

namespace vcl {

// rect (in control's own coordinates) in the top form's client picture.
TRect PaintArea::InPicture(const TControl& control, TRect rect, bool visibleOnly)
{
    const TControl* c = &control;
    while (TWinControl* parent = c->Parent()) {
        if (visibleOnly && !c->Visible())
            return TRect();
        const TPoint offset = parent->ClientOffset();
        rect = rect.Offset(c->Left() + offset.X, c->Top() + offset.Y)
                   .Intersect(
                       TRect(offset.X, offset.Y, offset.X + parent->ClientWidth(), offset.Y + parent->ClientHeight()));
        if (rect.Empty())
            return TRect();
        c = parent;
    }
    if (visibleOnly && !c->Visible())
        return TRect();
    const auto* top = dynamic_cast<const TWinControl*>(c);
    const TPoint offset = top ? top->ClientOffset() : TPoint(0, 0);
    return rect.Offset(-offset.X, -offset.Y).Intersect(TRect(0, 0, c->ClientWidth(), c->ClientHeight()));
}

TRect PaintArea::Of(const TControl& control)
{
    return InPicture(control, TRect(0, 0, control.Width(), control.Height()), false);
}

TRect PaintArea::OfPart(const TControl& control, const TRect& rect)
{
    return InPicture(control, rect.Intersect(TRect(0, 0, control.Width(), control.Height())), false);
}

TRect PaintArea::ClientOf(const TWinControl& control)
{
    const TPoint offset = control.ClientOffset();
    return InPicture(
        control, TRect(offset.X, offset.Y, offset.X + control.ClientWidth(), offset.Y + control.ClientHeight()), true);
}

TPoint PaintArea::ClientOrigin(const TWinControl& control)
{
    TPoint at = control.ClientOffset();
    const TControl* c = &control;
    while (TWinControl* parent = c->Parent()) {
        const TPoint offset = parent->ClientOffset();
        at = TPoint(at.X + c->Left() + offset.X, at.Y + c->Top() + offset.Y);
        c = parent;
    }
    const auto* top = dynamic_cast<const TWinControl*>(c);
    const TPoint offset = top ? top->ClientOffset() : TPoint(0, 0);
    return TPoint(at.X - offset.X, at.Y - offset.Y);
}

bool PaintArea::Covered(const TWinControl& control, const TRect& area)
{
    for (int i = 0; i < control.ControlCount(); ++i)
        if (const TControl* child = control.Controls(i); child->Visible() && !Of(*child).Intersect(area).Empty())
            return true;
    const TControl* c = &control;
    while (const TWinControl* parent = c->Parent()) {
        bool after = false;
        for (int i = 0; i < parent->ControlCount(); ++i) {
            const TControl* sibling = parent->Controls(i);
            if (sibling == c) {
                after = true;
                continue;
            }
            if (after && sibling->Visible() && !Of(*sibling).Intersect(area).Empty())
                return true;
        }
        c = parent;
    }
    return false;
}

} // namespace vcl
