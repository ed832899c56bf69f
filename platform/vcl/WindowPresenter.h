// The window presenter: what puts the top-level forms on a real display.
//
// The forms keep all their state and paint themselves onto a TCanvas; the
// layer tells the presenter what changed, and the presenter shows each
// visible top-level form as a window holding the form's own painted picture
// (no second drawing path). Input comes back through HostInput (the same
// MouseInput and key route as the test driver).
//
// Every call comes on the user interface thread, from inside the layer,
// after the layer's own work (state, events) is done; none may run program
// code or a message loop, so the presenter only records and schedules. The
// default presenter does nothing: headless, as in every unit test.
#pragma once

#include "platform/host/Seam.h"

namespace vcl {

class TControl;
class TCustomForm;
class TWinControl;

class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;

    // A form without a parent started (true) or stopped showing: its window
    // appears at the form's bounds, or goes away. After OnShow / OnHide.
    virtual void FormShowing(TCustomForm& /*form*/, bool /*showing*/) {}
    // The bounds of a top-level form changed (outer frame, screen
    // coordinates, as Left/Top/Width/Height).
    virtual void FormMoved(TCustomForm& /*form*/) {}
    // Caption, border style, stay-on-top or tool-window style changed.
    virtual void FormStyleChanged(TCustomForm& /*form*/) {}
    // The layer made form the active one: its window comes to the front and
    // takes the keyboard.
    virtual void FormActivated(TCustomForm& /*form*/) {}
    // control (anywhere in a form) needs painting again. Cheap and frequent:
    // the presenter repaints at its next idle turn.
    // It is called before a control moves, leaves its parent or goes too,
    // so that what it covered is painted again.
    virtual void Invalidated(TControl& /*control*/) {}
    // Something was drawn into control's surface (BeginPaint and EndPaint:
    // the video). The presenter shows the new pixels of that area alone.
    virtual void SurfacePainted(TWinControl& /*control*/) {}
    // The form is being destroyed (its window goes at once; no call about
    // it follows).
    virtual void FormDestroyed(TCustomForm& /*form*/) {}
};

// The installed presenter (the do-nothing one unless a back end set one).
// Read wherever a control is invalidated, which may be another thread than
// the user interface thread (the presenter then repaints everything): an
// atomic seam (platform/host/Seam.h).
WindowPresenter& Presenter();
// Installs presenter (null: the default); returns the previous one, null
// for the default. The presenter must outlive its installation.
WindowPresenter* InstallPresenter(WindowPresenter* presenter);
using ScopedPresenter = host::ScopedInstall<WindowPresenter*, &InstallPresenter>;

} // namespace vcl
