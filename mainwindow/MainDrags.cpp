// Dragging on the main window: the window by its title picture, the seek
// thumb along its track and the volume thumb along its bar.
#include "mainwindow/MAIN.h"

#include "app/MyLog.h"
#include "app/SeekPosition.h"
#include "playback/VideoView.h"
#include "playback/Volume.h"

void TMainForm::ImageFormTitleMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    FDragStartX = X;
    FDragStartY = Y;
    FTitleDragging = 1;
}

void TMainForm::ImageFormTitleMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (FTitleDragging != 1)
        return;
    // The picture moves with the window: the point pressed stays under the
    // pointer.
    SetBounds(Left() + X - FDragStartX, Top() + Y - FDragStartY, Width(), Height());
}

void TMainForm::ImageFormTitleMouseUp(TObject*, TMouseButton, TShiftState, int, int) { FTitleDragging = 0; }

std::int32_t TMainForm::SeekThumbDragLeft(int x) const
{
    const std::int64_t left = static_cast<std::int64_t>(x) + ImageTrackRect->Left();
    if (left < FTrackMin)
        return FTrackMin;
    if (left > FTrackMax)
        return FTrackMax;
    return static_cast<std::int32_t>(left);
}

void TMainForm::ImageTrackRectMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    try {
        if (MediaDuration < 1 || !ImageTrack->Enabled() || !PlayControl)
            return;
        FSeekDragging = 1;
        FSpeedTimerWasOn = PlayControl->TimerSpeed->Enabled() ? 1 : 0;
        if (FSpeedTimerWasOn)
            PlayControl->TimerSpeed->SetEnabled(false);
        PlayControl->Timer1->SetEnabled(false);
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageTrackRectMouseMove(TObject*, TShiftState, int X, int)
{
    try {
        if (FSeekDragging == 1)
            ImageTrack->SetLeft(SeekThumbDragLeft(X));
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageTrackRectMouseUp(TObject*, TMouseButton, TShiftState, int X, int)
{
    try {
        if (FSeekDragging != 1)
            return;
        ImageTrack->SetLeft(SeekThumbDragLeft(X));
        std::int64_t position = 0;
        ThumbToPosition(ImageTrack->Left(), FTrackMin, FSeekScale, position);
        // The very end is one unit short of it: a seek there plays on.
        if (ImageTrack->Left() == FTrackMax && position > 0)
            --position;
        if (PlayControl)
            PlayControl->HandleTrackbar(position);
        FSeekDragging = 0;
        if (PlayControl) {
            if (FSpeedTimerWasOn && PlayControl->PlayRate != 1.0f && PlayControl->Paused == 0)
                PlayControl->TimerSpeed->SetEnabled(true);
            PlayControl->Timer1->SetEnabled(true);
        }
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageVolumeRectMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    try {
        FVolumeDragging = 1;
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageVolumeRectMouseMove(TObject*, TShiftState, int X, int)
{
    try {
        if (FVolumeDragging == 1)
            ImageVolume->SetLeft(playback::VolumeThumbDragLeft(static_cast<std::int64_t>(X) + ImageVolumeRect->Left(),
                                                               FVolumeMin, FVolumeMax, ImageVolume->Width()));
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}

void TMainForm::ImageVolumeRectMouseUp(TObject*, TMouseButton, TShiftState, int X, int)
{
    try {
        if (FVolumeDragging != 1)
            return;
        ImageVolume->SetLeft(playback::VolumeThumbDragLeft(static_cast<std::int64_t>(X) + ImageVolumeRect->Left(),
                                                           FVolumeMin, FVolumeMax, ImageVolume->Width()));
        if (PlayControl)
            PlayControl->SetVolume(
                playback::VolumeFromThumbLeft(ImageVolume->Left(), FVolumeMin, FVolumeMax, ImageVolume->Width()));
        FVolumeDragging = 0;
    } catch (Exception& e) {
        LogExceptionError(e);
    }
}
