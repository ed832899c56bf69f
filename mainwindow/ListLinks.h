// What the recording list's units ask of the playback control and the main
// window; each does nothing while that window is not there.
#pragma once

#include "mainwindow/MainLink.h"
#include "playback/VideoView.h"

namespace list_links {

inline void PostVideoRepaint()
{
    if (PlayControl)
        win::PostMessage(PlayControl->Handle(), WM_VIDEO_REPAINT, 1, 0);
}

inline void SetPlayButtonsEnabled(bool enabled)
{
    if (MainLink.SetPlayButtonsEnabled)
        MainLink.SetPlayButtonsEnabled(enabled);
}

inline void StopPlayback()
{
    if (PlayControl)
        PlayControl->ImageStopClick(nullptr);
}

// The blank recording: the player lets go of the recording it held.
inline void PrepareBlank()
{
    if (PlayControl)
        PlayControl->PrepareDummyMedia();
}

} // namespace list_links
