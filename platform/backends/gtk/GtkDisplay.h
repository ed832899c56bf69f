// The display back end on GTK 3: the window presenter (WindowPresenter.h),
// the host event source of the layer's waits (HostEvents.h), the system
// message boxes (MessageBoxResponder.h), the folder picker (FolderDialog.h)
// and the save dialog (SavePictureDialog.h).
//
// Each visible top-level form is a GTK window showing the form's client
// area exactly as the form paints it (a cairo image surface over the
// form's own picture, 1:1). GTK's events are collected in the layer's idle
// wait, posted to a message window of ours and delivered through HostInput
// by whichever of our loops runs; no GTK main or modal loop is ever run.
#pragma once

namespace backends::gtk {

// Opens the display and installs the presenter, the host event source, the
// message boxes, the folder picker and the save dialog for the calling
// thread (the user interface thread).
// False, with nothing installed, when there is no display to open.
bool InstallDisplay();

class GtkPresenter;
// The presenter InstallDisplay installed, or null (headless).
GtkPresenter* Presenter();

} // namespace backends::gtk
