// The GTK window presenter (see GtkDisplay.h). Its parts, by concern:
// GtkPresenter.cpp the windows' lifetime and the wait, GtkPresenterPaint.cpp
// painting, GtkPresenterNative.cpp native widgets over the picture,
// GtkPresenterInput.cpp input back to the layer, GtkPresenterDump.cpp the
// smoke test's files. GTK's own header stays out of its includers.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/backends/gtk/NativePlacement.h"
#include "platform/vcl/Events.h"
#include "platform/vcl/Geometry.h"
#include "platform/vcl/PixelBuffer.h"
#include "platform/vcl/WindowPresenter.h"
#include "platform/win/HostEvents.h"
#include "platform/win/MessageWindow.h"

namespace vcl {
class TCustomForm;
}

// GTK's and cairo's types, as their headers name them.
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _GdkWindow GdkWindow;
typedef struct _GdkEventButton GdkEventButton;
typedef struct _GdkEventMotion GdkEventMotion;
typedef struct _GdkEventCrossing GdkEventCrossing;
typedef struct _GdkEventScroll GdkEventScroll;
typedef struct _GdkEventKey GdkEventKey;
typedef struct _GdkEventFocus GdkEventFocus;
typedef struct _GdkEventConfigure GdkEventConfigure;
typedef union _GdkEvent GdkEvent;
typedef int gint;
typedef gint gboolean;
typedef void* gpointer;

namespace backends::gtk {

class GtkPresenter : public vcl::WindowPresenter, public win::HostEventSource {
public:
    // On the user interface thread, after gtk_init_check. dumpFolder (may
    // be empty): where each painted form's picture, its window and controls
    // and the delivered presses are written, for the display smoke test.
    explicit GtkPresenter(std::string dumpFolder);
    ~GtkPresenter() override;

    // WindowPresenter.
    void FormShowing(vcl::TCustomForm& form, bool showing) override;
    void FormMoved(vcl::TCustomForm& form) override;
    void FormStyleChanged(vcl::TCustomForm& form) override;
    void FormActivated(vcl::TCustomForm& form) override;
    void Invalidated(vcl::TControl& control) override;
    void InvalidatedPart(vcl::TControl& control, const vcl::TRect& rect) override;
    void SurfacePainted(vcl::TWinControl& control) override;
    void FormDestroyed(vcl::TCustomForm& form) override;

    // HostEventSource.
    void Wait(std::uint64_t timeoutMs) override;
    void Wake() override;

    // The GTK window of a shown form, or null (message boxes sit on it).
    GtkWindow* WindowOf(vcl::TCustomForm* form) const;
    // A native widget (the web view) over a form's picture, at a rectangle
    // in the form's client pixels. The presenter holds a reference of its
    // own and keeps the widget while the form's window comes and goes; a
    // null form takes it out of every window. RemoveNative lets it go.
    void PlaceNative(vcl::TCustomForm* form, GtkWidget* widget, int left, int top, int width, int height, bool visible);
    void RemoveNative(GtkWidget* widget);
    // The smoke test's folder (empty: none).
    const std::string& DumpFolder() const { return FDump; }
    // The message window on the user interface thread (message boxes of
    // other threads are sent there).
    win::HWND PostTarget() const { return FPoster->Handle(); }
    static constexpr win::UINT WM_HOST_INPUT = 0x8000 + 0x3E0;
    static constexpr win::UINT WM_HOST_BOX = 0x8000 + 0x3E1;
    // Handles WM_HOST_BOX (lParam: the request of GtkMessageBox.cpp).
    std::function<void(win::LPARAM)> OnBoxRequest;

private:
    // The smoke test's picture of a window is written at most this often (a
    // playing video changes it every frame).
    static constexpr std::uint64_t kDumpMs = 200;

    enum class Kind { Press, Release, Move, Leave, Wheel, KeyDown, KeyUp, FocusIn, FocusOut, Close, Moved };
    struct Event {
        vcl::TCustomForm* form = nullptr;
        std::weak_ptr<void> life;
        Kind kind = Kind::Move;
        vcl::TMouseButton button = vcl::mbLeft;
        vcl::TShiftState shift;
        int x = 0;
        int y = 0;
        bool dbl = false;
        // A move's place on the screen, for when the window moved since.
        double rootX = 0;
        double rootY = 0;
        bool hasRoot = false;
        int notches = 0;
        std::uint16_t key = 0;
        char16_t ch = 0;
    };
    struct Window {
        vcl::TCustomForm* form = nullptr;
        std::weak_ptr<void> life;
        GtkWidget* window = nullptr;
        GtkWidget* fixed = nullptr; // holds the area and the native widgets above it
        GtkWidget* area = nullptr;
        vcl::PixelBuffer picture; // the client area as last painted
        cairo_surface_t* surface = nullptr; // over picture's pixels
        bool shared = false; // surface's pixels are shared with the display
        bool dirtyAll = true;
        std::vector<vcl::TRect> dirty; // in picture coordinates, to paint again
        bool dumpPending = true; // the smoke test's files are out of date
        std::uint64_t dumpedAt = 0;
        bool moveRequested = false;
        int requestedX = 0;
        int requestedY = 0;
    };

    struct Native {
        vcl::TCustomForm* form = nullptr;
        int left = 0, top = 0, width = 0, height = 0;
        bool visible = false;
        NativeRect placed; // as laid out in the form's window
        GtkWidget* parent = nullptr;
    };

    Window* Find(vcl::TCustomForm* form);
    void LayoutNative(GtkWidget* widget, Native& n);
    void LayoutNatives(vcl::TCustomForm* form);
    static void DetachNative(GtkWidget* widget, Native& n);
    Window* FindWidget(GtkWidget* widget);
    void Create(vcl::TCustomForm& form);
    void Destroy(Window& w);
    void ApplyStyle(Window& w);
    void ApplyBounds(Window& w);
    // Paints what was invalidated, and writes the smoke test's files.
    void Flush();
    void Paint(Window& w);
    void NewPicture(Window& w, GdkWindow* shown, int width, int height);
    static void AddDirty(Window& w, const vcl::TRect& rect);
    Window* WindowToMark(vcl::TControl& control);
    static void PlaceOnMovedWindow(Window& w, Event& e);
    // Shows rect of the picture (changed by now) on the display.
    static void Show(Window& w, const vcl::TRect& rect);
    void CheckKept(Window& w);
    void Dump(Window& w);
    void Trace(const std::string& line);
    static Event EventOf(Window& w, Kind kind);
    template <class GdkPointerEvent>
    static void At(Event& e, const GdkPointerEvent* event);
    void Queue(Event e);
    void DeliverOne();

    static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean OnButton(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
    static gboolean OnCrossing(GtkWidget* widget, GdkEventCrossing* event, gpointer self);
    static gboolean OnScroll(GtkWidget* widget, GdkEventScroll* event, gpointer self);
    static gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self);
    static gboolean OnFocus(GtkWidget* widget, GdkEventFocus* event, gpointer self);
    static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer self);

    std::map<vcl::TCustomForm*, std::unique_ptr<Window>> FWindows;
    std::map<GtkWidget*, Native> FNatives;
    std::deque<Event> FEvents;
    bool FPosted = false;
    std::unique_ptr<win::TMessageWindow> FPoster;
    std::atomic<bool> FWoken{false};
    bool FInWait = false;
    // An invalidation came from another thread: every window is painted
    // whole at the next turn (the presenter is told nothing more there).
    std::atomic<bool> FForeignInvalidate{false};
    std::string FDump;
    std::thread::id FUiThread;
};

} // namespace backends::gtk
