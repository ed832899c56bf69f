#include "platform/backends/gtk/GtkPresenter.h"

#include <gtk/gtk.h>

#include "platform/rtl/CodePage.h"
#include "platform/vcl/CustomForm.h"

namespace backends::gtk {

using vcl::TCustomForm;

namespace {

bool IsToolWindow(const TCustomForm& form)
{
    return (form.ExStyle() & vcl::WS_EX_TOOLWINDOW) != 0 || form.BorderStyle() == vcl::bsToolWindow ||
        form.BorderStyle() == vcl::bsSizeToolWin;
}

} // namespace

GtkPresenter::GtkPresenter(std::string dumpFolder) : FDump(std::move(dumpFolder)), FUiThread(std::this_thread::get_id())
{
    FPoster = std::make_unique<win::TMessageWindow>([this](win::TMessage& m) {
        if (m.Msg == WM_HOST_INPUT)
            DeliverOne();
        else if (m.Msg == WM_HOST_BOX && OnBoxRequest)
            OnBoxRequest(m.LParam);
    });
}

GtkPresenter::~GtkPresenter()
{
    for (auto& [form, w] : FWindows)
        Destroy(*w);
    for (auto& [widget, n] : FNatives)
        g_object_unref(widget);
}

GtkPresenter::Window* GtkPresenter::Find(TCustomForm* form)
{
    const auto it = FWindows.find(form);
    return it == FWindows.end() ? nullptr : it->second.get();
}

GtkPresenter::Window* GtkPresenter::FindWidget(GtkWidget* widget)
{
    for (auto& [form, w] : FWindows)
        if (w->window == widget || w->area == widget)
            return w.get();
    return nullptr;
}

GtkWindow* GtkPresenter::WindowOf(TCustomForm* form) const
{
    const auto it = FWindows.find(form);
    return it == FWindows.end() ? nullptr : GTK_WINDOW(it->second->window);
}

// --- the layer's calls ---------------------------------------------------

void GtkPresenter::FormShowing(TCustomForm& form, bool showing)
{
    if (!showing) {
        if (Window* w = Find(&form)) {
            Destroy(*w);
            FWindows.erase(&form);
        }
        return;
    }
    if (!Find(&form))
        Create(form);
}

void GtkPresenter::FormMoved(TCustomForm& form)
{
    // A move leaves the picture as it is; a new size comes with the form's
    // own invalidation, and Paint takes the new size whole.
    if (Window* w = Find(&form)) {
        ApplyBounds(*w);
        w->dumpPending = true;
    }
}

void GtkPresenter::FormStyleChanged(TCustomForm& form)
{
    if (Window* w = Find(&form))
        ApplyStyle(*w);
}

void GtkPresenter::FormActivated(TCustomForm& form)
{
    if (Window* w = Find(&form))
        gtk_window_present(GTK_WINDOW(w->window));
}

void GtkPresenter::FormDestroyed(TCustomForm& form)
{
    if (Window* w = Find(&form)) {
        Destroy(*w);
        FWindows.erase(&form);
    }
    for (auto& [widget, n] : FNatives)
        if (n.form == &form)
            n.form = nullptr;
}

// --- windows ---------------------------------------------------------------

void GtkPresenter::Create(TCustomForm& form)
{
    auto w = std::make_unique<Window>();
    w->form = &form;
    w->life = form.LifeToken();
    w->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    w->fixed = gtk_fixed_new();
    w->area = gtk_drawing_area_new();
    gtk_container_add(GTK_CONTAINER(w->window), w->fixed);
    gtk_fixed_put(GTK_FIXED(w->fixed), w->area, 0, 0);
    gtk_widget_set_can_focus(w->window, TRUE);
    gtk_widget_add_events(w->area,
                          GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                              GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK);
    gtk_widget_add_events(w->window,
                          GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
    g_signal_connect(w->area, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(w->area, "button-press-event", G_CALLBACK(OnButton), this);
    g_signal_connect(w->area, "button-release-event", G_CALLBACK(OnButton), this);
    g_signal_connect(w->area, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(w->area, "leave-notify-event", G_CALLBACK(OnCrossing), this);
    g_signal_connect(w->area, "scroll-event", G_CALLBACK(OnScroll), this);
    g_signal_connect(w->window, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(w->window, "key-release-event", G_CALLBACK(OnKey), this);
    g_signal_connect(w->window, "focus-in-event", G_CALLBACK(OnFocus), this);
    g_signal_connect(w->window, "focus-out-event", G_CALLBACK(OnFocus), this);
    g_signal_connect(w->window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(w->window, "configure-event", G_CALLBACK(OnConfigure), this);
    gtk_window_set_resizable(GTK_WINDOW(w->window), FALSE);
    // Hints that must come before the window is mapped.
    if (IsToolWindow(form))
        gtk_window_set_type_hint(GTK_WINDOW(w->window), GDK_WINDOW_TYPE_HINT_UTILITY);
    if (form.Modal()) {
        gtk_window_set_modal(GTK_WINDOW(w->window), TRUE);
        for (auto& [other, ow] : FWindows)
            if (other->Active() || other == form.Owner()) {
                gtk_window_set_transient_for(GTK_WINDOW(w->window), GTK_WINDOW(ow->window));
                break;
            }
    }
    Window& ref = *w;
    FWindows[&form] = std::move(w);
    ApplyStyle(ref);
    ApplyBounds(ref);
    Paint(ref);
    // Again at the next turn, when its controls show too.
    ref.dirtyAll = true;
    ref.dumpPending = true;
    gtk_widget_show_all(ref.window);
    // After show_all, which would show a hidden native widget too.
    LayoutNatives(&form);
    if (form.Active())
        gtk_window_present(GTK_WINDOW(ref.window));
}

void GtkPresenter::Destroy(Window& w)
{
    // Native widgets outlive the window: they come back when it does.
    for (auto& [widget, n] : FNatives)
        if (w.fixed && n.parent == w.fixed)
            DetachNative(widget, n);
    if (w.window)
        gtk_widget_destroy(w.window);
    w.window = nullptr;
    w.fixed = nullptr;
    w.area = nullptr;
    w.picture = vcl::PixelBuffer();
    if (w.surface)
        cairo_surface_destroy(w.surface);
    w.surface = nullptr;
    w.shared = false;
}

void GtkPresenter::ApplyStyle(Window& w)
{
    TCustomForm& form = *w.form;
    GtkWindow* window = GTK_WINDOW(w.window);
    gtk_window_set_title(window, rtl::ToUtf8(form.Caption()).c_str());
    gtk_window_set_decorated(window, form.BorderStyle() != vcl::bsNone);
    gtk_window_set_keep_above(window,
                              form.FormStyle() == vcl::fsStayOnTop || (form.ExStyle() & vcl::WS_EX_TOPMOST) != 0);
    const bool tool = IsToolWindow(form) && (form.ExStyle() & vcl::WS_EX_APPWINDOW) == 0;
    gtk_window_set_skip_taskbar_hint(window, tool);
}

void GtkPresenter::ApplyBounds(Window& w)
{
    TCustomForm& form = *w.form;
    const int cw = std::max(form.ClientWidth(), 1), ch = std::max(form.ClientHeight(), 1);
    gtk_widget_set_size_request(w.area, cw, ch);
    gtk_window_resize(GTK_WINDOW(w.window), cw, ch);
    int x = 0, y = 0;
    gtk_window_get_position(GTK_WINDOW(w.window), &x, &y);
    if (!gtk_widget_get_realized(w.window) || x != form.Left() || y != form.Top()) {
        w.moveRequested = true;
        w.requestedX = form.Left();
        w.requestedY = form.Top();
        gtk_window_move(GTK_WINDOW(w.window), form.Left(), form.Top());
    }
    LayoutNatives(&form);
}

// --- the wait ------------------------------------------------------------

void GtkPresenter::Wait(std::uint64_t timeoutMs)
{
    if (FInWait)
        return; // a paint handler pumping: GTK gets its turn outside
    FInWait = true;
    Flush();
    if (!FDump.empty())
        for (auto& [form, w] : FWindows)
            if (w->dumpPending)
                timeoutMs = std::min(timeoutMs, kDumpMs);
    GMainContext* context = g_main_context_default();
    while (g_main_context_iteration(context, FALSE)) {}
    if (timeoutMs > 0 && !FPosted && !FWoken.exchange(false)) {
        bool fired = false;
        const guint timer = g_timeout_add(
            static_cast<guint>(timeoutMs),
            [](gpointer flag) -> gboolean {
                *static_cast<bool*>(flag) = true;
                return G_SOURCE_REMOVE;
            },
            &fired);
        g_main_context_iteration(context, TRUE);
        if (!fired)
            g_source_remove(timer);
        while (g_main_context_iteration(context, FALSE)) {}
    }
    FWoken = false;
    FInWait = false;
}

void GtkPresenter::Wake()
{
    FWoken = true;
    g_main_context_wakeup(g_main_context_default());
}

} // namespace backends::gtk
