#include "platform/vcl/SavePictureDialog.h"

#include "platform/rtl/FileNames.h"
#include "platform/win/Files.h"
#include "platform/win/MessageBox.h"

namespace vcl {

namespace {

class CancellingSavePicker : public SaveFilePicker {
public:
    bool PickSaveFile(const SaveFileRequest&, rtl::UnicodeString&) override { return false; }
};

CancellingSavePicker& DefaultSavePicker()
{
    static CancellingSavePicker picker;
    return picker;
}

SaveFilePicker* CancellingSave() { return &DefaultSavePicker(); }

constinit host::Seam<SaveFilePicker*, host::SeamReaders::UserInterfaceThread> gSavePickers(&CancellingSave);

} // namespace

SaveFilePicker* InstallSaveFilePicker(SaveFilePicker* picker) { return gSavePickers.Install(picker); }

bool TSavePictureDialog::Execute()
{
    rtl::UnicodeString extension = DefaultExt;
    if (!extension.IsEmpty() && extension[1] == u'.')
        extension = extension.SubString(2, extension.Length() - 1);
    for (;;) {
        SaveFilePicker& picker = *gSavePickers.Current();
        rtl::UnicodeString chosen;
        if (!picker.PickSaveFile({Title, InitialDir, FileName, Filter, DefaultExt}, chosen) || chosen.IsEmpty())
            return false;
        if (!extension.IsEmpty() && rtl::ExtractFileExt(chosen).IsEmpty())
            chosen += rtl::UnicodeString(u".") + extension;
        if (Options.Contains(ofOverwritePrompt) && win::FileExists(chosen)) {
            const rtl::UnicodeString text = rtl::ExtractFileName(chosen) + u" は既に存在します。\n上書きしますか?";
            if (win::MessageBox(nullptr, text.c_str(), Title.c_str(), win::MB_YESNO | win::MB_ICONWARNING) !=
                win::IDYES)
                continue;
        }
        FileName = chosen;
        return true;
    }
}

} // namespace vcl
