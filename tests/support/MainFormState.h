// The main window's state, which the program keeps to the window itself,
// opened to the tests that check it: form.FTrackMin reads and
// writes the field as the window's own code does.
#pragma once

#include <cstdint>

#include "mainwindow/MAIN.h"

struct TMainFormState {
    explicit TMainFormState(TMainForm& form)
        : FTrackMin(form.FTrackMin),
          FTrackMax(form.FTrackMax),
          FVolumeMin(form.FVolumeMin),
          FVolumeMax(form.FVolumeMax),
          FSeekScale(form.FSeekScale),
          FWorkAreaHeight(form.FWorkAreaHeight),
          FWorkAreaWidth(form.FWorkAreaWidth),
          FLastPictureFolder(form.FLastPictureFolder),
          FTitleDragging(form.FTitleDragging),
          FIconLabels(form.FIconLabels),
          FIconFontHeight(form.FIconFontHeight),
          FScreenMode(form.FScreenMode),
          FSeekDragging(form.FSeekDragging),
          FFocusLost(form.FFocusLost),
          FPassword(form.FPassword),
          FLastGpsTimeMs(form.FLastGpsTimeMs),
          FLastPositionMs(form.FLastPositionMs)
    {
    }
    std::int32_t& FTrackMin;
    std::int32_t& FTrackMax;
    std::int32_t& FVolumeMin;
    std::int32_t& FVolumeMax;
    double& FSeekScale;
    std::int32_t& FWorkAreaHeight;
    std::int32_t& FWorkAreaWidth;
    UnicodeString& FLastPictureFolder;
    std::uint8_t& FTitleDragging;
    TLabel* (&FIconLabels)[10];
    std::int32_t& FIconFontHeight;
    std::int32_t& FScreenMode;
    std::uint8_t& FSeekDragging;
    std::uint8_t& FFocusLost;
    AnsiString& FPassword;
    std::int32_t& FLastGpsTimeMs;
    std::int32_t& FLastPositionMs;
};

inline TMainFormState StateOf(TMainForm& form) { return TMainFormState(form); }
