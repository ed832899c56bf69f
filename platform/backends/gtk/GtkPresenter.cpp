#include "platform/backends/gtk/GtkPresenter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/backends/gtk/KeyMap.h"
#include "platform/backends/gtk/X11Id.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/HostInput.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/PaintArea.h"
#include "platform/vcl/TabSheet.h"
#include "platform/vcl/PngWriter.h"
#include "platform/win/Clock.h"

namespace backends::gtk {

using vcl::TCustomForm;

namespace {

// The smoke test's picture of a window is written at most this often (a
// playing video changes it every frame).
constexpr std::uint64_t kDumpMs = 200;
// More separate areas to paint than this are painted as one.
constexpr std::size_t kMaxDirty = 16;

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
    case 1: out = vcl::mbLeft; return true;
    case 2: out = vcl::mbMiddle; return true;
    case 3: out = vcl::mbRight; return true;
    default: return false;
    }
}

bool IsToolWindow(const TCustomForm& form)
{
    return (form.ExStyle() & vcl::WS_EX_TOOLWINDOW) != 0 || form.BorderStyle() == vcl::bsToolWindow ||
           form.BorderStyle() == vcl::bsSizeToolWin;
}

// Writes through a temporary file, so that a reader never sees half a file.
bool WriteAtomically(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    const std::string temporary = path + ".tmp";
    if (!write(temporary))
        return false;
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

GtkPresenter::GtkPresenter(std::string dumpFolder)
    : FDump(std::move(dumpFolder)), FUiThread(std::this_thread::get_id())
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

void GtkPresenter::Invalidated(vcl::TControl& control)
{
    if (FWindows.empty())
        return;
    if (std::this_thread::get_id() != FUiThread) {
        FForeignInvalidate = true;
        return;
    }
    if (Window* w = Find(vcl::GetParentForm(&control)))
        AddDirty(*w, vcl::PaintArea::Of(control));
}

void GtkPresenter::InvalidatedPart(vcl::TControl& control, const vcl::TRect& rect)
{
    if (FWindows.empty())
        return;
    if (std::this_thread::get_id() != FUiThread) {
        FForeignInvalidate = true;
        return;
    }
    if (Window* w = Find(vcl::GetParentForm(&control)))
        AddDirty(*w, vcl::PaintArea::OfPart(control, rect));
}

void GtkPresenter::SurfacePainted(vcl::TWinControl& control)
{
    if (FWindows.empty() || std::this_thread::get_id() != FUiThread)
        return;
    Window* w = Find(vcl::GetParentForm(&control));
    const win::WindowSurface* from = control.PaintedSurface();
    if (!w || !w->surface || w->dirtyAll || !from)
        return;
    // The new pixels go straight into the window's picture, row by row,
    // unless something is painted over them there.
    const vcl::TPoint at = vcl::PaintArea::ClientOrigin(control);
    const vcl::TRect area = vcl::PaintArea::ClientOf(control)
                                .Intersect(vcl::TRect(0, 0, w->picture.Width(), w->picture.Height()))
                                .Intersect(vcl::TRect(at.X, at.Y, at.X + from->width, at.Y + from->height));
    if (area.Empty())
        return;
    if (vcl::PaintArea::Covered(control, area)) {
        AddDirty(*w, area);
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(area.Width()) * sizeof(std::uint32_t);
    for (int y = area.Top; y < area.Bottom; ++y)
        std::memcpy(w->picture.Row(y) + area.Left,
                    from->pixels.data() + static_cast<std::size_t>(y - at.Y) * from->width + (area.Left - at.X), bytes);
    Show(*w, area);
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
    gtk_widget_add_events(w->area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                       GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK);
    gtk_widget_add_events(w->window, GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK |
                                         GDK_STRUCTURE_MASK);
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
    if (w.surface)
        cairo_surface_destroy(w.surface);
    w.surface = nullptr;
    w.picture = vcl::PixelBuffer();
}

void GtkPresenter::ApplyStyle(Window& w)
{
    TCustomForm& form = *w.form;
    GtkWindow* window = GTK_WINDOW(w.window);
    gtk_window_set_title(window, rtl::ToUtf8(form.Caption()).c_str());
    gtk_window_set_decorated(window, form.BorderStyle() != vcl::bsNone);
    gtk_window_set_keep_above(window, form.FormStyle() == vcl::fsStayOnTop ||
                                          (form.ExStyle() & vcl::WS_EX_TOPMOST) != 0);
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

// --- painting ---------------------------------------------------------------

void GtkPresenter::AddDirty(Window& w, const vcl::TRect& rect)
{
    if (rect.Empty() || w.dirtyAll)
        return;
    vcl::TRect add = rect;
    // Overlapping areas become one, so nothing is painted twice.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = w.dirty.begin(); it != w.dirty.end(); ++it)
            if (!it->Intersect(add).Empty()) {
                add = vcl::TRect(std::min(add.Left, it->Left), std::min(add.Top, it->Top),
                                 std::max(add.Right, it->Right), std::max(add.Bottom, it->Bottom));
                w.dirty.erase(it);
                merged = true;
                break;
            }
    }
    w.dirty.push_back(add);
    if (w.dirty.size() > kMaxDirty) {
        vcl::TRect all = w.dirty.front();
        for (const vcl::TRect& r : w.dirty)
            all = vcl::TRect(std::min(all.Left, r.Left), std::min(all.Top, r.Top), std::max(all.Right, r.Right),
                             std::max(all.Bottom, r.Bottom));
        w.dirty.assign(1, all);
    }
}

void GtkPresenter::Show(Window& w, const vcl::TRect& rect)
{
    if (!w.surface || rect.Empty())
        return;
    cairo_surface_mark_dirty_rectangle(w.surface, rect.Left, rect.Top, rect.Width(), rect.Height());
    gtk_widget_queue_draw_area(w.area, rect.Left, rect.Top, rect.Width(), rect.Height());
    w.dumpPending = true;
}

void GtkPresenter::Flush()
{
    const bool all = FForeignInvalidate.exchange(false);
    // Painting runs the program's paint code, which may show or hide forms.
    std::vector<TCustomForm*> forms;
    for (auto& [form, w] : FWindows) {
        if (all)
            w->dirtyAll = true;
        if (w->dirtyAll || !w->dirty.empty())
            forms.push_back(form);
    }
    for (TCustomForm* form : forms)
        if (Window* w = Find(form); w && vcl::Alive(w->life))
            Paint(*w);
    if (FDump.empty())
        return;
    const std::uint64_t now = win::CurrentClock().MonotonicMs();
    std::vector<TCustomForm*> due;
    for (auto& [form, w] : FWindows)
        if (w->dumpPending && now - w->dumpedAt >= kDumpMs)
            due.push_back(form);
    for (TCustomForm* form : due) {
        Window* w = Find(form);
        if (!w || !vcl::Alive(w->life))
            continue;
        w->dumpPending = false;
        w->dumpedAt = now;
        CheckKept(*w); // runs paint code
        if ((w = Find(form)) != nullptr)
            Dump(*w);
    }
}

void GtkPresenter::Paint(Window& w)
{
    TCustomForm& form = *w.form;
    const int cw = std::max(form.ClientWidth(), 1), ch = std::max(form.ClientHeight(), 1);
    if (w.picture.Width() != cw || w.picture.Height() != ch || !w.surface) {
        if (w.surface)
            cairo_surface_destroy(w.surface);
        w.picture.Resize(cw, ch, vcl::PixelBuffer::FromColor(vcl::clBlack));
        // The picture's pixels are cairo's RGB24 words (the top byte unused).
        w.surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(w.picture.Row(0)),
                                                        CAIRO_FORMAT_RGB24, w.picture.Width(), w.picture.Height(),
                                                        w.picture.Width() * 4);
        w.dirtyAll = true;
    }
    const vcl::TRect whole(0, 0, w.picture.Width(), w.picture.Height());
    std::vector<vcl::TRect> areas;
    if (w.dirtyAll)
        areas.push_back(whole);
    else
        for (const vcl::TRect& r : w.dirty)
            if (const vcl::TRect a = r.Intersect(whole); !a.Empty())
                areas.push_back(a);
    // What the paint code invalidates meanwhile is painted at the next turn.
    w.dirtyAll = false;
    w.dirty.clear();
    cairo_surface_flush(w.surface);
    // A whole paint starts black, as a snapshot does; a form's own paint
    // fills its client area, so a part needs no such start.
    if (areas.size() == 1 && areas.front() == whole)
        std::fill_n(w.picture.Row(0), w.picture.Pixels().size(), vcl::PixelBuffer::FromColor(vcl::clBlack));
    for (const vcl::TRect& a : areas) {
        vcl::TCanvas canvas(&w.picture);
        canvas.SetClip(a);
        form.PaintTo(canvas, -form.FrameX(), -form.FrameTop());
        if (Find(&form) != &w)
            return; // the paint code hid it
        Show(w, a);
    }
}

gboolean GtkPresenter::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self)
{
    Window* w = static_cast<GtkPresenter*>(self)->FindWidget(widget);
    if (!w || !w->surface)
        return FALSE;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, w->surface, 0, 0);
    cairo_paint(cr);
    return TRUE;
}

// For the display smoke test: the client area as painted, where it is on
// the screen, and where each named control is.
// For the display smoke test: the kept picture must be what a whole paint
// gives; an area that differs was changed without an Invalidate.
void GtkPresenter::CheckKept(Window& w)
{
    TCustomForm& form = *w.form;
    const vcl::PixelBuffer whole = form.Snapshot();
    if (Find(&form) != &w)
        return;
    const int fx = form.FrameX(), fy = form.FrameTop();
    int left = w.picture.Width(), top = w.picture.Height(), right = -1, bottom = -1;
    for (int y = 0; y < w.picture.Height(); ++y) {
        const std::uint32_t* kept = w.picture.Row(y);
        for (int x = 0; x < w.picture.Width(); ++x)
            if (((kept[x] ^ whole.Pixel(x + fx, y + fy)) & 0x00FFFFFFu) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    if (right < 0)
        return;
    if (FILE* f = std::fopen((FDump + "/paint.log").c_str(), "a")) {
        std::fprintf(f, "stale %s %d %d %d %d\n", rtl::ToUtf8(form.Name()).c_str(), left, top, right - left + 1,
                     bottom - top + 1);
        std::fclose(f);
    }
    AddDirty(w, vcl::TRect(left, top, right + 1, bottom + 1));
}

void GtkPresenter::Dump(Window& w)
{
    const vcl::PixelBuffer& client = w.picture;
    TCustomForm& form = *w.form;
    const std::string base = FDump + "/" + rtl::ToUtf8(form.Name().IsEmpty() ? u"form" : form.Name());
    WriteAtomically(base + ".png", [&](const std::string& path) { return vcl::PngWriter::Save(client, path); });
    int x = form.Left(), y = form.Top();
    if (GdkWindow* gw = gtk_widget_get_window(w.area))
        gdk_window_get_origin(gw, &x, &y);
    WriteAtomically(base + ".txt", [&](const std::string& path) {
        FILE* f = std::fopen(path.c_str(), "w");
        if (!f)
            return false;
        std::fprintf(f, "window %d %d %d %d\n", x, y, client.Width(), client.Height());
        if (const unsigned long xid = X11IdOf(gtk_widget_get_window(w.window)))
            std::fprintf(f, "xid %lu\n", xid);
        // What the program does not paint itself (screen pixels).
        for (const auto& [widget, n] : FNatives)
            if (n.form == &form && n.placed.shown)
                std::fprintf(f, "native %d %d %d %d\n", x + n.placed.x, y + n.placed.y, n.placed.width,
                             n.placed.height);
        std::vector<vcl::TControl*> stack{&form};
        while (!stack.empty()) {
            vcl::TControl* c = stack.back();
            stack.pop_back();
            auto* wc = dynamic_cast<vcl::TWinControl*>(c);
            for (int i = 0; wc && i < wc->ControlCount(); ++i)
                stack.push_back(wc->Controls(i));
            if (c == &form || !c->Showing() || c->Name().IsEmpty())
                continue;
            const vcl::TPoint p = form.ScreenToClient(c->ClientToScreen(vcl::TPoint(0, 0)));
            std::fprintf(f, "control %s %d %d %d %d\n", rtl::ToUtf8(c->Name()).c_str(), x + p.X, y + p.Y,
                         c->ClientWidth(), c->ClientHeight());
            // Each page's tab, by the page's name.
            if (auto* pages = dynamic_cast<vcl::TPageControl*>(c)) {
                for (int i = 0; i < pages->PageCount(); ++i) {
                    const vcl::TRect r = pages->TabRect(i);
                    std::fprintf(f, "tab %s %d %d %d %d\n", rtl::ToUtf8(pages->Pages(i)->Name()).c_str(), x + p.X + r.Left,
                                 y + p.Y + r.Top, r.Width(), r.Height());
                }
            }
            // The rows in view: where each is, whether it is selected and ticked.
            if (auto* list = dynamic_cast<vcl::TListView*>(c)) {
                const vcl::TListItems& items = *list->Items();
                for (int r = 0; r < list->VisibleRowCount() && list->TopIndex() + r < items.Count(); ++r) {
                    const vcl::TListItem* item = items.Item(list->TopIndex() + r);
                    std::fprintf(f, "row %s %d %d %d %d %d %d %d\n", rtl::ToUtf8(c->Name()).c_str(),
                                 list->TopIndex() + r, x + p.X, y + p.Y + vcl::TListView::HeaderHeight + r * vcl::TListView::RowHeight,
                                 c->ClientWidth(), vcl::TListView::RowHeight, item->Selected() ? 1 : 0,
                                 item->Checked() ? 1 : 0);
                }
            }
        }
        return std::fclose(f) == 0;
    });
}

void GtkPresenter::Trace(const std::string& line)
{
    if (FDump.empty())
        return;
    if (FILE* f = std::fopen((FDump + "/input.log").c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
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
    while (g_main_context_iteration(context, FALSE)) {
    }
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
        while (g_main_context_iteration(context, FALSE)) {
        }
    }
    FWoken = false;
    FInWait = false;
}

void GtkPresenter::Wake()
{
    FWoken = true;
    g_main_context_wakeup(g_main_context_default());
}

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
        Trace("press " + rtl::ToUtf8(form.Name()) + "." + rtl::ToUtf8(c->Name()) + " " + std::to_string(local.X) +
              "," + std::to_string(local.Y));
        vcl::HostInput::Press(form, e.button, e.shift, e.x, e.y, e.dbl);
        break;
    }
    case Kind::Release: vcl::HostInput::Release(form, e.button, e.shift, e.x, e.y); break;
    case Kind::Move: vcl::HostInput::Move(form, e.shift, e.x, e.y); break;
    case Kind::Leave: vcl::HostInput::Leave(form); break;
    case Kind::Wheel: vcl::HostInput::Wheel(form, e.shift, e.x, e.y, e.notches); break;
    case Kind::KeyDown: vcl::HostInput::KeyDown(form, e.key, e.ch, e.shift); break;
    case Kind::KeyUp: vcl::HostInput::KeyUp(form, e.key, e.shift); break;
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
    case Kind::Moved: vcl::HostInput::Moved(form, e.x, e.y); break;
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

gboolean GtkPresenter::OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self)
{
    auto* p = static_cast<GtkPresenter*>(self);
    Window* w = p->FindWidget(widget);
    if (!w)
        return FALSE;
    Event e = EventOf(*w, Kind::Move);
    At(e, event);
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
