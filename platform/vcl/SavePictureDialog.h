// The system's save dialog for pictures (modal, no parent window).
//
// Who answers it is a seam, as for the folder picker: the default, with no
// display, cancels; the real display's back end shows a dialog; TestDriver
// answers it from a queue. With ofOverwritePrompt in Options, a chosen file
// that exists is confirmed through a system message box (Yes / No, the
// dialog's title as caption); No shows the dialog again.
#pragma once

#include "platform/host/Seam.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Set.h"

namespace vcl {

enum TOpenOption { ofOverwritePrompt, ofHideReadOnly, ofPathMustExist };
using TOpenOptions = Set<TOpenOption>;

// What the dialog shows when it opens.
struct SaveFileRequest {
    rtl::UnicodeString title;
    rtl::UnicodeString initialDir;
    rtl::UnicodeString fileName;
    rtl::UnicodeString filter;
    rtl::UnicodeString defaultExt;
};

class SaveFilePicker {
public:
    virtual ~SaveFilePicker() = default;
    // On the user interface thread; may run a modal loop. True with the
    // chosen file (Windows path) in `chosen`; false when the user cancels.
    virtual bool PickSaveFile(const SaveFileRequest& request, rtl::UnicodeString& chosen) = 0;
};

// Installs the picker (null: the default, which cancels); the previous one.
// The picker must outlive its installation. Installed and read on the user
// interface thread: a plain seam (platform/host/Seam.h).
SaveFilePicker* InstallSaveFilePicker(SaveFilePicker* picker);
using ScopedSaveFilePicker = host::ScopedInstall<SaveFilePicker*, &InstallSaveFilePicker>;

class TSavePictureDialog : public TComponent {
public:
    explicit TSavePictureDialog(TComponent* AOwner) : TComponent(AOwner) {}

    rtl::UnicodeString Title;
    rtl::UnicodeString InitialDir;
    rtl::UnicodeString Filter;
    // With or without its leading "."; added to a chosen name that has no
    // extension.
    rtl::UnicodeString DefaultExt;
    // The proposed name before Execute, the confirmed path after it.
    rtl::UnicodeString FileName;
    TOpenOptions Options;

    // True with FileName set to the confirmed file; false when cancelled
    // (FileName unchanged).
    bool Execute();
};

} // namespace vcl
