#include "platform/backends/gtk/GtkPresenter.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <functional>

#include "platform/backends/gtk/X11Id.h"
#include "platform/rtl/CodePage.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/TabSheet.h"

namespace backends::gtk {

using vcl::TCustomForm;

namespace {

// Writes through a temporary file, so that a reader never sees half a file.
bool WriteAtomically(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    const std::string temporary = path + ".tmp";
    if (!write(temporary))
        return false;
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

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

// For the display smoke test: the client area as painted, where it is on
// the screen, and where each named control is.
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
                    std::fprintf(f, "tab %s %d %d %d %d\n", rtl::ToUtf8(pages->Pages(i)->Name()).c_str(),
                                 x + p.X + r.Left, y + p.Y + r.Top, r.Width(), r.Height());
                }
            }
            // The rows in view: where each is, whether it is selected and ticked.
            if (auto* list = dynamic_cast<vcl::TListView*>(c)) {
                const vcl::TListItems& items = *list->Items();
                for (int r = 0; r < list->VisibleRowCount() && list->TopIndex() + r < items.Count(); ++r) {
                    const vcl::TListItem* item = items.Item(list->TopIndex() + r);
                    std::fprintf(
                        f, "row %s %d %d %d %d %d %d %d\n", rtl::ToUtf8(c->Name()).c_str(), list->TopIndex() + r,
                        x + p.X, y + p.Y + vcl::TListView::HeaderHeight + r * vcl::TListView::RowHeight,
                        c->ClientWidth(), vcl::TListView::RowHeight, item->Selected() ? 1 : 0, item->Checked() ? 1 : 0);
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

} // namespace backends::gtk
