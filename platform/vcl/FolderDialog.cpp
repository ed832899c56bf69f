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

FolderPicker* g_picker = nullptr; // user interface thread only

} // namespace

FolderPicker* SetFolderPicker(FolderPicker* picker)
{
    FolderPicker* previous = g_picker;
    g_picker = picker;
    return previous;
}

bool SelectDirectory(const rtl::UnicodeString& title, rtl::UnicodeString& folder)
{
    FolderPicker& picker = g_picker ? *g_picker : DefaultPicker();
    rtl::UnicodeString chosen;
    if (!picker.Pick(title, folder, chosen))
        return false;
    folder = chosen;
    return true;
}

} // namespace vcl
