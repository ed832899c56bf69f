// What the recording list and the playback control's opening use of the
// main window: its path edit, folder button, seek thumb, play button and
// time label, and the operations on its seek bar, play buttons, graph and
// map panes and track timer.
//
// The main window fills this in when it builds those controls and clears it
// when it goes; an entry left empty is a control the window does not have
// (yet): reading it gives nothing and calling it does nothing. Everything
// here is used on the user interface thread only.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/vcl/vcl.h"

struct TMainLink {
    TEdit* EditPath = nullptr;
    TControl* ImageFolderSel = nullptr;
    // The seek thumb (enabled once a recording opened) and the play button
    // (whose hint says what a click does).
    TControl* ImageTrack = nullptr;
    TControl* ImagePlay = nullptr;
    TLabel* LabelPlayTime = nullptr;

    // The seek scale for a duration in 100 ns units (above 0).
    std::function<void(std::int64_t duration)> SetSeekRange;
    // The thumb at a fraction 0..1 of the track.
    std::function<void(double fraction)> SetSeekPosition;
    // The position in 100 ns units that the thumb stands for.
    std::function<std::int64_t()> GetSeekPosition;
    std::function<void(bool enabled)> SetPlayButtonsEnabled;
    std::function<void()> ClearGraph;
    std::function<void()> ClearMapTrace;
    // The track timer (the main window's TimerGps) on or off.
    std::function<void(bool on)> SetTrackTimer;
};

extern TMainLink MainLink;
