#include "platform/backends/gtk/GtkDisplay.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>

#include "platform/backends/gtk/GtkFolderPicker.h"
#include "platform/backends/gtk/GtkMessageBox.h"
#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/gtk/GtkSavePicker.h"
#include "platform/media/VideoPresenter.h"
#include "platform/win/SystemInfo.h"

namespace backends::gtk {

namespace {

GtkPresenter* installed = nullptr;

// The screen and work area of the display, unless VELMORASTINE_SCREEN sets
// them on purpose.
void TakeScreen()
{
    if (std::getenv("VELMORASTINE_SCREEN"))
        return;
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor && gdk_display_get_n_monitors(display) > 0)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return;
    GdkRectangle all{}, work{};
    gdk_monitor_get_geometry(monitor, &all);
    gdk_monitor_get_workarea(monitor, &work);
    if (all.width <= 0 || all.height <= 0)
        return;
    if (work.width <= 0 || work.height <= 0)
        work = all;
    win::SetScreen(win::SIZE{all.x + all.width, all.y + all.height},
                   win::RECT{work.x, work.y, work.x + work.width, work.y + work.height});
}

// On a display the renderer shows each new picture as it comes; the
// presenter copies the panel's new pixels alone to the screen.
class LiveVideo : public media::VideoPresenter {
public:
    bool ShowsFramesAsTheyCome() const override { return true; }
};

} // namespace

bool InstallDisplay()
{
    const char* mode = std::getenv("VELMORASTINE_DISPLAY");
    if (mode && std::strcmp(mode, "headless") == 0)
        return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland))
        return false;
    // Pixels 1:1; X11 first, where windows may place themselves.
    setenv("GDK_SCALE", "1", 1);
    setenv("GDK_DPI_SCALE", "1", 1);
    gdk_set_allowed_backends("x11,wayland");
    // Without a session bus GTK's settings (the file chooser's) stay in
    // memory instead of warning on every change.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        setenv("GSETTINGS_BACKEND", "memory", 0);
    if (!gtk_init_check(nullptr, nullptr))
        return false;
    TakeScreen();
    const char* dump = std::getenv("VELMORASTINE_PRESENTER_DUMP");
    // Both live to the end of the program.
    static auto* presenter = new GtkPresenter(dump ? dump : "");
    static auto* boxes = new GtkMessageBoxes(*presenter);
    static auto* folders = new GtkFolderPicker(*presenter);
    static auto* saves = new GtkSavePicker(*presenter);
    static auto* video = new LiveVideo;
    installed = presenter;
    vcl::InstallPresenter(presenter);
    media::InstallVideoPresenter(video);
    win::InstallHostEventSource(presenter);
    win::InstallMessageBoxResponder(boxes);
    vcl::InstallFolderPicker(folders);
    vcl::InstallSaveFilePicker(saves);
    return true;
}

GtkPresenter* Presenter() { return installed; }

} // namespace backends::gtk
