// What the playback control's units ask of the other windows: the program
// drive's check, the message box and the main window's seek bar. Each does
// nothing while that window is not there.
#pragma once

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/Globals.h"
#include "mainwindow/MainLink.h"

namespace pane_links {

inline bool DriveReady() { return IsDriveReady(ProgramDrive); }

inline void ShowMessage(int number)
{
    if (SDDlg)
        SDDlg->ShowSDDlg(number);
}

inline void SetSeekPosition(double fraction)
{
    if (MainLink.SetSeekPosition)
        MainLink.SetSeekPosition(fraction);
}

} // namespace pane_links
