#include "platform/vcl/FolderDialog.h"

namespace vcl {

namespace {

class CancellingPicker : public FolderPicker {
public:
    bool Pick(const rtl::UnicodeString&, const rtl::UnicodeString&, rtl::UnicodeString&) override { return false; }
};

CancellingPicker& DefaultPicker()
{
    static CancellingPicker picker;
    return picker;
}

FolderPicker* Cancelling() { return &DefaultPicker(); }

constinit host::Seam<FolderPicker*, host::SeamReaders::UserInterfaceThread> gPickers(&Cancelling);

} // namespace

FolderPicker* InstallFolderPicker(FolderPicker* picker) { return gPickers.Install(picker); }

bool SelectDirectory(const rtl::UnicodeString& title, rtl::UnicodeString& folder)
{
    FolderPicker& picker = *gPickers.Current();
    rtl::UnicodeString chosen;
    if (!picker.Pick(title, folder, chosen))
        return false;
    folder = chosen;
    return true;
}

} // namespace vcl
