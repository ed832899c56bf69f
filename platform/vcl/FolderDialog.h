// The system's folder picker (the new-style "browse for folder" dialog,
// modal, no parent window, no root restriction).
//
// Who answers it is a seam: the default, with no display, cancels; the real
// display's back end shows a dialog; TestDriver answers it from a queue.
#pragma once

#include "platform/host/Seam.h"
#include "platform/rtl/UnicodeString.h"

namespace vcl {

class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    // On the user interface thread; may run a modal loop. True with the
    // chosen folder (Windows form, no trailing "\") in `chosen`; false when
    // the user cancels.
    virtual bool Pick(const rtl::UnicodeString& title, const rtl::UnicodeString& startFolder,
                      rtl::UnicodeString& chosen) = 0;
};

// Installs the picker (null: the default, which cancels); the previous one.
// The picker must outlive its installation. Installed and read on the user
// interface thread: a plain seam (platform/host/Seam.h).
FolderPicker* InstallFolderPicker(FolderPicker* picker);
using ScopedFolderPicker = host::ScopedInstall<FolderPicker*, &InstallFolderPicker>;

// Shows the picker titled `title`, opened at `folder`; true with `folder`
// set to the choice, false (folder unchanged) on cancel.
bool SelectDirectory(const rtl::UnicodeString& title, rtl::UnicodeString& folder);

} // namespace vcl
