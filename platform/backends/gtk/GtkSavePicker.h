// The save dialog (SavePictureDialog.h) as GTK's file chooser in save mode,
// shown without GTK's modal loop: our own loop (PumpUntil) waits for the
// answer. The host file the user names, by browsing or by typing a name or
// a whole path, comes back as the program's Windows path; a folder no drive
// shows is given one. A name Windows could not hold or a folder that cannot
// be used is refused with a message, and the dialog opens again.
#pragma once

#include "platform/vcl/SavePictureDialog.h"

namespace backends::gtk {

class GtkPresenter;

class GtkSavePicker : public vcl::SaveFilePicker {
public:
    explicit GtkSavePicker(GtkPresenter& presenter) : FPresenter(presenter) {}
    bool PickSaveFile(const vcl::SaveFileRequest& request, rtl::UnicodeString& chosen) override;

private:
    GtkPresenter& FPresenter;
};

} // namespace backends::gtk
