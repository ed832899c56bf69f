#include "platform/backends/gtk/GtkPresenter.h"

#include <gtk/gtk.h>

#include <cmath>

#include "platform/backends/gtk/KeyMap.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/HostInput.h"

namespace backends::gtk {

using vcl::TCustomForm;

namespace {

vcl::TShiftState ShiftOf(guint state)
{
    vcl::TShiftState shift;
    if (state & GDK_SHIFT_MASK)
        shift << vcl::ssShift;
    if (state & GDK_CONTROL_MASK)
        shift << vcl::ssCtrl;
    if (state & GDK_MOD1_MASK)
        shift << vcl::ssAlt;
    if (state & GDK_BUTTON1_MASK)
        shift << vcl::ssLeft;
    if (state & GDK_BUTTON2_MASK)
        shift << vcl::ssMiddle;
    if (state & GDK_BUTTON3_MASK)
        shift << vcl::ssRight;
    return shift;
}

bool ButtonOf(guint button, vcl::TMouseButton& out)
{
    switch (button) {
    case 1:
        out = vcl::mbLeft;
        return true;
    case 2:
        out = vcl::mbMiddle;
        return true;
    case 3:
        out = vcl::mbRight;
        return true;
    default:
        return false;
    }
}

} // namespace

// --- events ----------------------------------------------------------------

void GtkPresenter::Queue(Event e)
{
    e.life = e.form->LifeToken();
    FEvents.push_back(std::move(e));
    if (!FPosted)
        FPosted = win::PostMessage(FPoster->Handle(), WM_HOST_INPUT, 0, 0) != 0;
}

void GtkPresenter::DeliverOne()
{
    FPosted = false;
    if (FEvents.empty())
        return;
    Event e = std::move(FEvents.front());
    FEvents.pop_front();
    // The rest come after whatever this one starts (a modal loop, say).
    if (!FEvents.empty())
        FPosted = win::PostMessage(FPoster->Handle(), WM_HOST_INPUT, 0, 0) != 0;
    if (!vcl::Alive(e.life))
        return;
    TCustomForm& form = *e.form;
    Window* w = Find(&form);
    switch (e.kind) {
    case Kind::Press: {
        vcl::TPoint local;
        vcl::TControl* c = vcl::HostInput::ControlAt(form, vcl::TPoint(e.x, e.y), local);
        Trace("press " + rtl::ToUtf8(form.Name()) + "." + rtl::ToUtf8(c->Name()) + " " + std::to_string(local.X) + "," +
              std::to_string(local.Y));
        vcl::HostInput::Press(form, e.button, e.shift, e.x, e.y, e.dbl);
        break;
    }
    case Kind::Release:
        vcl::HostInput::Release(form, e.button, e.shift, e.x, e.y);
        break;
    case Kind::Move:
        if (w && e.hasRoot && w->moveRequested)
            PlaceOnMovedWindow(*w, e);
        vcl::HostInput::Move(form, e.shift, e.x, e.y);
        break;
    case Kind::Leave:
        vcl::HostInput::Leave(form);
        break;
    case Kind::Wheel:
        vcl::HostInput::Wheel(form, e.shift, e.x, e.y, e.notches);
        break;
    case Kind::KeyDown:
        vcl::HostInput::KeyDown(form, e.key, e.ch, e.shift);
        break;
    case Kind::KeyUp:
        vcl::HostInput::KeyUp(form, e.key, e.shift);
        break;
    case Kind::FocusIn:
        // Only when the window still has the focus (activations cross).
        if (w && gtk_window_is_active(GTK_WINDOW(w->window)))
            vcl::HostInput::FocusIn(form);
        break;
    case Kind::FocusOut: {
        if (w && gtk_window_is_active(GTK_WINDOW(w->window)))
            break;
        bool ours = false;
        for (auto& [other, ow] : FWindows)
            ours = ours || gtk_window_is_active(GTK_WINDOW(ow->window));
        if (!ours)
            vcl::HostInput::FocusOut(form);
        break;
    }
    case Kind::Close:
        Trace("close " + rtl::ToUtf8(form.Name()));
        vcl::HostInput::CloseRequest(form);
        break;
    case Kind::Moved:
        vcl::HostInput::Moved(form, e.x, e.y);
        break;
    }
}

GtkPresenter::Event GtkPresenter::EventOf(Window& w, Kind kind)
{
    Event e;
    e.form = w.form;
    e.kind = kind;
    return e;
}

// Pointer events: the place in the window and the keys and buttons held.
template <class GdkPointerEvent>
void GtkPresenter::At(Event& e, const GdkPointerEvent* event)
{
    e.shift = ShiftOf(event->state);
    e.x = static_cast<int>(std::floor(event->x));
    e.y = static_cast<int>(std::floor(event->y));
}

gboolean GtkPresenter::OnButton(GtkWidget* widget, GdkEventButton* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    vcl::TMouseButton button;
    if (!w || !ButtonOf(event->button, button))
        return FALSE;
    if (event->type == GDK_2BUTTON_PRESS) {
        // Comes after the second press: that press becomes the double one.
        for (auto it = p->FEvents.rbegin(); it != p->FEvents.rend(); ++it)
            if (it->kind == Kind::Press) {
                if (it->form == w->form && it->button == button)
                    it->dbl = true;
                break;
            }
        return TRUE;
    }
    if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE)
        return TRUE;
    Event e = EventOf(*w, event->type == GDK_BUTTON_PRESS ? Kind::Press : Kind::Release);
    e.button = button;
    At(e, event);
    p->Queue(std::move(e));
    return TRUE;
}

// The program moved the window and the server has not shown it there yet:
// the pointer's place is taken against where the form now is, as a move
// reported after the window moved would be, not against the old place the
// event was measured from. Otherwise a drag that moves the window by the
// pointer's way sees each step again in the moves still queued, and the
// window runs ahead of the pointer.
void GtkPresenter::PlaceOnMovedWindow(Window& w, Event& e)
{
    GdkWindow* area = gtk_widget_get_window(w.area);
    if (!area)
        return;
    int areaX = 0, areaY = 0, frameX = 0, frameY = 0;
    gdk_window_get_origin(area, &areaX, &areaY);
    gtk_window_get_position(GTK_WINDOW(w.window), &frameX, &frameY);
    // The client area's offset from the window's place (its decoration).
    const int edgeX = areaX - frameX, edgeY = areaY - frameY;
    e.x = static_cast<int>(std::floor(e.rootX)) - (w.form->Left() + edgeX);
    e.y = static_cast<int>(std::floor(e.rootY)) - (w.form->Top() + edgeY);
}

gboolean GtkPresenter::OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    if (!w)
        return FALSE;
    Event e = EventOf(*w, Kind::Move);
    At(e, event);
    if (event->window == gtk_widget_get_window(w->area)) {
        e.rootX = event->x_root;
        e.rootY = event->y_root;
        e.hasRoot = true;
    }
    // A move not yet handled gives way to the newest one.
    if (!p->FEvents.empty() && p->FEvents.back().kind == Kind::Move && p->FEvents.back().form == w->form)
        p->FEvents.pop_back();
    p->Queue(std::move(e));
    return TRUE;
}

gboolean GtkPresenter::OnCrossing(GtkWidget* widget, GdkEventCrossing* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    if (w && event->type == GDK_LEAVE_NOTIFY && event->mode == GDK_CROSSING_NORMAL)
        p->Queue(EventOf(*w, Kind::Leave));
    return FALSE;
}

gboolean GtkPresenter::OnScroll(GtkWidget* widget, GdkEventScroll* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    if (!w || (event->direction != GDK_SCROLL_UP && event->direction != GDK_SCROLL_DOWN))
        return FALSE;
    Event e = EventOf(*w, Kind::Wheel);
    At(e, event);
    e.notches = event->direction == GDK_SCROLL_UP ? 1 : -1;
    p->Queue(std::move(e));
    return TRUE;
}

gboolean GtkPresenter::OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    if (!w)
        return FALSE;
    Event e = EventOf(*w, event->type == GDK_KEY_PRESS ? Kind::KeyDown : Kind::KeyUp);
    e.shift = ShiftOf(event->state);
    e.key = VirtualKeyOf(event->keyval);
    if (e.kind == Kind::KeyDown)
        e.ch = CharOf(event->keyval, gdk_keyval_to_unicode(event->keyval),
                      (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0);
    if (e.key != 0 || e.ch != 0)
        p->Queue(std::move(e));
    return TRUE;
}

gboolean GtkPresenter::OnFocus(GtkWidget* widget, GdkEventFocus* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    if (Window* w = p->FindWidget(widget))
        p->Queue(EventOf(*w, event->in ? Kind::FocusIn : Kind::FocusOut));
    return FALSE;
}

gboolean GtkPresenter::OnDelete(GtkWidget* widget, GdkEvent*, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    if (Window* w = p->FindWidget(widget))
        p->Queue(EventOf(*w, Kind::Close));
    return TRUE; // the form decides; its window goes when it hides
}

gboolean GtkPresenter::OnConfigure(GtkWidget* widget, GdkEventConfigure*, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    if (!w)
        return FALSE;
    w->dumpPending = true; // its place on the screen
    int x = 0, y = 0;
    gtk_window_get_position(GTK_WINDOW(w->window), &x, &y);
    if (w->moveRequested) {
        // Our own move; what comes before it arrives is stale.
        if (x == w->requestedX && y == w->requestedY)
            w->moveRequested = false;
        return FALSE;
    }
    if (x != w->form->Left() || y != w->form->Top()) {
        Event e = EventOf(*w, Kind::Moved);
        e.x = x;
        e.y = y;
        p->Queue(std::move(e));
    }
    return FALSE;
}

} // namespace backends::gtk
