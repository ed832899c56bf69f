#include "platform/backends/gtk/GtkPresenter.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "platform/vcl/CustomForm.h"

namespace backends::gtk {

using vcl::TCustomForm;

// --- native widgets over the picture ------------------------------------------

void GtkPresenter::PlaceNative(TCustomForm* form, GtkWidget* widget, int left, int top, int width, int height,
                               bool visible)
{
    if (!widget)
        return;
    auto [it, added] = FNatives.try_emplace(widget);
    if (added)
        g_object_ref(widget);
    Native& n = it->second;
    n.form = form;
    n.left = left;
    n.top = top;
    n.width = width;
    n.height = height;
    n.visible = visible;
    LayoutNative(widget, n);
}

void GtkPresenter::RemoveNative(GtkWidget* widget)
{
    const auto it = FNatives.find(widget);
    if (it == FNatives.end())
        return;
    if (Window* w = it->second.form ? Find(it->second.form) : nullptr)
        w->dumpPending = true;
    DetachNative(widget, it->second);
    FNatives.erase(it);
    g_object_unref(widget);
}

void GtkPresenter::LayoutNative(GtkWidget* widget, Native& n)
{
    Window* w = n.form ? Find(n.form) : nullptr;
    if (!w) {
        DetachNative(widget, n);
        n.placed = NativeRect{};
        return;
    }
    const NativeRect r = ClipToClient(n.left, n.top, n.width, n.height, n.visible, std::max(n.form->ClientWidth(), 1),
                                      std::max(n.form->ClientHeight(), 1));
    if (n.parent != w->fixed) {
        DetachNative(widget, n);
        gtk_fixed_put(GTK_FIXED(w->fixed), widget, r.x, r.y);
        n.parent = w->fixed;
    } else {
        gtk_fixed_move(GTK_FIXED(w->fixed), widget, r.x, r.y);
    }
    if (r.shown) {
        // Shown before it is sized: a web view sized while hidden stays
        // blank when it shows.
        gtk_widget_show(widget);
        gtk_widget_set_size_request(widget, r.width, r.height);
    } else {
        gtk_widget_hide(widget);
    }
    if (!(r == n.placed))
        w->dumpPending = true;
    n.placed = r;
}

void GtkPresenter::LayoutNatives(TCustomForm* form)
{
    for (auto& [widget, n] : FNatives)
        if (n.form == form)
            LayoutNative(widget, n);
}

void GtkPresenter::DetachNative(GtkWidget* widget, Native& n)
{
    // Our own reference keeps the widget alive out of its window.
    if (n.parent)
        gtk_container_remove(GTK_CONTAINER(n.parent), widget);
    n.parent = nullptr;
}

} // namespace backends::gtk
