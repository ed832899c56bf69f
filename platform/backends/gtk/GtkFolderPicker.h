// The folder picker (FolderDialog.h) as GTK's folder chooser, shown without
// GTK's modal loop: our own loop (PumpUntil) waits for the answer. Any host
// folder can be chosen: one that no drive shows is given a drive; one that
// cannot be used at all is refused with a message (as a cancel).
#pragma once

#include "platform/vcl/FolderDialog.h"

namespace backends::gtk {

class GtkPresenter;

class GtkFolderPicker : public vcl::FolderPicker {
public:
    explicit GtkFolderPicker(GtkPresenter& presenter) : FPresenter(presenter) {}
    bool Pick(const rtl::UnicodeString& title, const rtl::UnicodeString& startFolder,
              rtl::UnicodeString& chosen) override;

private:
    GtkPresenter& FPresenter;
};

} // namespace backends::gtk
