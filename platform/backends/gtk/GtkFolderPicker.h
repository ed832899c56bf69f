// The folder picker (FolderDialog.h) as GTK's folder chooser, shown without
// GTK's modal loop: our own loop (PumpUntil) waits for the answer.
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
