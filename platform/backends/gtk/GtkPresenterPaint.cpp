#include "platform/backends/gtk/GtkPresenter.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/vcl/CustomForm.h"
#include "platform/vcl/PaintArea.h"
#include "platform/win/Clock.h"

namespace backends::gtk {

using vcl::TCustomForm;

namespace {

// More separate areas to paint than this are painted as one.
constexpr std::size_t kMaxDirty = 16;

} // namespace

// The window whose picture a control's invalidation marks; none off the
// user interface thread, which only flags that one came.
GtkPresenter::Window* GtkPresenter::WindowToMark(vcl::TControl& control)
{
    if (FWindows.empty())
        return nullptr;
    if (std::this_thread::get_id() != FUiThread) {
        FForeignInvalidate = true;
        return nullptr;
    }
    return Find(vcl::GetParentForm(&control));
}

void GtkPresenter::Invalidated(vcl::TControl& control)
{
    if (Window* w = WindowToMark(control))
        AddDirty(*w, vcl::PaintArea::Of(control));
}

void GtkPresenter::InvalidatedPart(vcl::TControl& control, const vcl::TRect& rect)
{
    if (Window* w = WindowToMark(control))
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
    // The display may still be reading the pixels shown last.
    cairo_surface_flush(w->surface);
    const std::size_t bytes = static_cast<std::size_t>(area.Width()) * sizeof(std::uint32_t);
    for (int y = area.Top; y < area.Bottom; ++y)
        std::memcpy(w->picture.Row(y) + area.Left,
                    from->pixels.data() + static_cast<std::size_t>(y - at.Y) * from->width + (area.Left - at.X), bytes);
    Show(*w, area);
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

// The picture's pixels are cairo's RGB24 words (the top byte unused). Once
// the window is on the display they are the display's own shared memory
// where it has some, so that showing a part of them copies nothing here.
void GtkPresenter::NewPicture(Window& w, GdkWindow* shown, int width, int height)
{
    w.picture = vcl::PixelBuffer();
    if (w.surface)
        cairo_surface_destroy(w.surface);
    w.surface = nullptr;
    w.shared = false;
    if (shown) {
        cairo_surface_t* s = gdk_window_create_similar_image_surface(shown, CAIRO_FORMAT_RGB24, width, height, 1);
        if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_data(s) != nullptr &&
            cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24 && cairo_image_surface_get_width(s) == width &&
            cairo_image_surface_get_height(s) == height && cairo_image_surface_get_stride(s) == width * 4) {
            cairo_surface_flush(s);
            w.picture.Adopt(reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s)), width, height);
            std::fill_n(w.picture.Row(0), w.picture.Pixels().size(), vcl::PixelBuffer::FromColor(vcl::clBlack));
            cairo_surface_mark_dirty(s);
            w.surface = s;
            w.shared = true;
            return;
        }
        cairo_surface_destroy(s);
    }
    w.picture.Resize(width, height, vcl::PixelBuffer::FromColor(vcl::clBlack));
    w.surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(w.picture.Row(0)), CAIRO_FORMAT_RGB24,
                                            w.picture.Width(), w.picture.Height(), w.picture.Width() * 4);
}

void GtkPresenter::Paint(Window& w)
{
    TCustomForm& form = *w.form;
    const int cw = std::max(form.ClientWidth(), 1), ch = std::max(form.ClientHeight(), 1);
    GdkWindow* shown = w.area ? gtk_widget_get_window(w.area) : nullptr;
    if (w.picture.Width() != cw || w.picture.Height() != ch || !w.surface || (!w.shared && shown)) {
        NewPicture(w, shown, cw, ch);
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

} // namespace backends::gtk
