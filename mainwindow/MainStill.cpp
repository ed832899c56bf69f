// The main window's still-picture and print commands.
#include "mainwindow/MAIN.h"

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "mainwindow/ListView.h"
#include "playback/VideoView.h"

namespace {

void ShowMessageNumber(int number)
{
    if (SDDlg)
        SDDlg->ShowSDDlg(number);
}

} // namespace

void TMainForm::ImageScreenShotClick(TObject*)
{
    try {
        if (!ImageScreenShot->Enabled() || PlayState == 2 || !HasSelectedRecording() || !PlayControl)
            return;
        UnicodeString name;
        ListControl->GetScreeshotFileName(name);
        if (!FLastPictureFolder.IsEmpty())
            SavePictureDialog1->InitialDir = FLastPictureFolder;
        SavePictureDialog1->Filter = u"jpg";
        SavePictureDialog1->DefaultExt = u".jpg";
        SavePictureDialog1->FileName = name;
        if (!SavePictureDialog1->Execute())
            return;
        const UnicodeString file = SavePictureDialog1->FileName;
        // The folder the user saved into, not the one the dialog opened in.
        FLastPictureFolder = ExtractFileDir(file);
        ShowMessageNumber(PlayControl->SaveBMP(file, false) ? 2 : 3);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImagePrintClick(TObject*)
{
    try {
        if (!IsDriveReady(ProgramDrive) || !ImagePrint->Enabled() || !HasSelectedRecording() || !PlayControl)
            return;
        UnicodeString name;
        ListControl->GetScreeshotFileName(name);
        if (!PlayControl->SaveBMP(name, true))
            ShowMessageNumber(5);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}
