// The transport beyond opening: seeking from the seek bar, the redraw on
// activation, the graph's events (end of stream opens the next recording),
// frame steps and slow or fast play by timed seeking of the paused graph.
#include "playback/VideoView.h"
#include "playback/Transport.h"

#include <cmath>

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/Globals.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MAIN.h"
#include "playback/PlayLog.h"
#include "platform/win/Clock.h"

using namespace playback;

namespace {

bool HasCurrentRow() { return ListControl != nullptr && ListControl->ListView1->Selected() != nullptr; }

// Graph calls that wait for a pending transition; the answer is not used.
void WaitForState(media::IMediaControl* control, media::LONG ms)
{
    media::OAFilterState state = 0;
    control->GetState(ms, &state);
}

} // namespace

namespace playback {

float SpeedTableRate(float rate)
{
    constexpr int last = sizeof SpeedTable / sizeof SpeedTable[0] - 1;
    if (std::isnan(rate))
        return 1.0f;
    if (rate <= SpeedTable[0].Rate)
        return SpeedTable[0].Rate;
    if (rate >= SpeedTable[last].Rate)
        return SpeedTable[last].Rate;
    // The nearest rate of the table on the doubling scale.
    int best = 0;
    for (int i = 1; i <= last; ++i)
        if (std::fabs(std::log2(rate / SpeedTable[i].Rate)) < std::fabs(std::log2(rate / SpeedTable[best].Rate)))
            best = i;
    return SpeedTable[best].Rate;
}

std::int64_t SteppedTarget(std::int64_t position, std::int32_t frameTime, float rate)
{
    return position + static_cast<std::int64_t>(static_cast<double>(frameTime) * static_cast<double>(rate));
}

} // namespace playback

void TPlayControl::HandleTrackbar(std::int64_t position)
{
    try {
        if (!IsDriveReady(ProgramDrive) || MediaControl == nullptr)
            return;
        media::OAFilterState state = media::State_Stopped;
        MediaControl->GetState(10, &state);
        if (state == media::State_Paused)
            MediaControl->StopWhenReady();
        MediaControl->Pause();
        SeekTo(position);
        if (state == media::State_Running) {
            MediaControl->Run();
        } else if (state == media::State_Stopped) {
            MediaControl->Stop();
            MediaControl->StopWhenReady();
        }
        UpdatePosition(position);
    } catch (Exception& e) {
        LogException(u"TPlayControl::HandleTrackbar", e);
    }
}

void TPlayControl::RePositions()
{
    try {
        if (!IsDriveReady(ProgramDrive) || MediaControl == nullptr || MediaSeeking == nullptr ||
            SourceFilter == nullptr)
            return;
        if (MediaDuration >= 1) {
            media::LONGLONG position = 0;
            // Seeking to where it stands makes the renderer present it again.
            if (media::SUCCEEDED(MediaSeeking->GetCurrentPosition(&position)))
                SeekTo(position);
        }
        if (PlayState == 2)
            MediaControl->Run();
    } catch (Exception& e) {
        LogException(u"TPlayControl::RePositions", e);
    }
}

void TPlayControl::OnGraphNotify()
{
    try {
        if (MediaEvent == nullptr)
            return;
        bool ended = false;
        bool aborted = false;
        media::LONG_PTR abortResult = 0;
        media::LONG code = 0;
        media::LONG_PTR param1 = 0;
        media::LONG_PTR param2 = 0;
        while (media::SUCCEEDED(MediaEvent->GetEvent(&code, &param1, &param2, 0))) {
            if (code == media::EC_COMPLETE)
                ended = true;
            else if (code == media::EC_ERRORABORT && !aborted) {
                aborted = true;
                abortResult = param1;
            }
            MediaEvent->FreeEventParams(code, param1, param2);
        }
        if (aborted) {
            // The graph gave up: nothing more will come of this recording.
            LogError(UnicodeString().sprintf(u"TPlayControl::OnGraphNotify EC_ERRORABORT (%08x)",
                                             static_cast<unsigned>(static_cast<std::uint32_t>(abortResult))));
            ImageStopClick(nullptr);
            if (SDDlg)
                SDDlg->ShowSDDlg(22);
            return;
        }
        // Opening the next recording runs it, which can end at once (a
        // recording without length): it must not run inside this loop.
        if (ended)
            win::PostMessage(Handle(), WM_PLAY_NEXT, MediaDuration < 1 ? 1 : 0, 0);
    } catch (Exception& e) {
        LogException(u"TPlayControl::OnGraphNotify", e);
    }
}

void TPlayControl::OnPlayNext(bool endedWithoutLength)
{
    try {
        if (!IsDriveReady(ProgramDrive) || ListControl == nullptr)
            return;
        // Stopped since the end was reported: the list stays where it is.
        if (PlayState == 0) {
            EmptyEndings = 0;
            return;
        }
        if (RoundPlayedNothing(endedWithoutLength))
            return;
        ListControl->PlayNextFile();
    } catch (Exception& e) {
        LogException(u"TPlayControl::OnPlayNext", e);
    }
}

bool TPlayControl::RoundPlayedNothing(bool endedWithoutLength)
{
    EmptyEndings = endedWithoutLength ? EmptyEndings + 1 : 0;
    if (ListControl == nullptr || EmptyEndings < ListControl->ListView1->Items()->Count())
        return false;
    // A whole round of the list played nothing: stop instead of going round.
    EmptyEndings = 0;
    ImageStopClick(nullptr);
    return true;
}

void TPlayControl::PlayPrevFrame()
{
    try {
        if (!IsDriveReady(ProgramDrive) || MediaSeeking == nullptr || MediaControl == nullptr)
            return;
        media::LONGLONG position = 0;
        if (media::FAILED(MediaSeeking->GetCurrentPosition(&position)))
            return;
        const std::int64_t target = position - FrameTime;
        if (target < 0) {
            StartAtEnd = 1;
            if (ListControl)
                ListControl->PlayPrevFile();
            return;
        }
        SeekTo(target);
        MediaControl->Pause();
        if (MediaDuration != 0 && MainForm)
            MainForm->SetSeekPosition(static_cast<double>(target) / static_cast<double>(MediaDuration));
        UpdatePosition(target);
    } catch (Exception& e) {
        LogException(u"TPlayControl::PlayPrevFrame", e);
    }
}

void TPlayControl::PlayNextFrame(bool single)
{
    try {
        if (!IsDriveReady(ProgramDrive) || MediaSeeking == nullptr || MediaControl == nullptr)
            return;
        const std::uint32_t start = win::GetTickCount();
        media::LONGLONG position = 0;
        if (media::FAILED(MediaSeeking->GetCurrentPosition(&position)))
            return;
        std::int64_t target = single ? position + FrameTime : SteppedTarget(position, FrameTime, PlayRate);
        if (target > MediaDuration) {
            // Stepped play through recordings without length stops too.
            if (!single && RoundPlayedNothing(MediaDuration < 1))
                return;
            AdvancedPastEnd = 1;
            if (ListControl)
                ListControl->PlayNextFile();
            return;
        }
        WaitForState(MediaControl, 1000);
        MediaControl->Pause();
        if (!single) {
            // A step that took longer than a frame time moves on by the excess.
            const std::uint32_t elapsed = (win::GetTickCount() - start) * 10000u;
            if (elapsed > static_cast<std::uint32_t>(FrameTime))
                target += static_cast<std::int64_t>(static_cast<double>(elapsed - FrameTime) * PlayRate);
        }
        SeekTo(target);
        if (MediaDuration != 0 && MainForm)
            MainForm->SetSeekPosition(static_cast<double>(target) / static_cast<double>(MediaDuration));
        UpdatePosition(target);
    } catch (Exception& e) {
        LogException(u"TPlayControl::PlayNextFrame", e);
    }
}

void TPlayControl::ChangePlaySpeed(float rate)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        // Whatever enabled the buttons, the rate stays one of the table's.
        PlayRate = SpeedTableRate(rate);
        if (MainForm)
            MainForm->UpdateSpeedDisplay();
        if (PlayRate == 1.0f && TimerSpeed->Enabled()) {
            Timer1->SetEnabled(true);
            TimerSpeed->SetEnabled(false);
            RunMedia();
        } else if (PlayState == 2) {
            TimerSpeed->SetInterval(static_cast<unsigned>(FrameTime / 10000));
            TimerSpeed->SetEnabled(true);
            Timer1->SetEnabled(false);
            if (media::FAILED(PauseMedia())) {
                // The graph still runs: normal playback goes on.
                TimerSpeed->SetEnabled(false);
                Timer1->SetEnabled(true);
            }
            PostPlayState(1);
        }
    } catch (Exception& e) {
        LogException(u"TPlayControl::ChangePlaySpeed", e);
    }
}

void TPlayControl::TimerSpeedTimer(TObject*)
{
    if (!IsDriveReady(ProgramDrive) || InSpeedTick)
        return;
    InSpeedTick = true;
    // Pending clicks (pause, stop, another rate) come before the step.
    for (int i = 0; i < 10; ++i)
        Application->ProcessMessages();
    InSpeedTick = false;
    if (TimerSpeed->Enabled())
        PlayNextFrame(false);
}

void TPlayControl::ImageSpeedUpClick(TObject*) { ChangePlaySpeed(PlayRate * 2.0f); }

void TPlayControl::ImageSpeedDownClick(TObject*) { ChangePlaySpeed(PlayRate * 0.5f); }

void TPlayControl::ImageSpeedNoneClick(TObject*)
{
    if (PlayRate != 1.0f)
        ChangePlaySpeed(1.0f);
}

void TPlayControl::ImageComaPreClick(TObject*)
{
    try {
        FrameStep(false);
    } catch (Exception& e) {
        LogException(u"TPlayControl::ImageComaPreClick", e);
    }
}

void TPlayControl::ImageComaNextClick(TObject*)
{
    try {
        FrameStep(true);
    } catch (Exception& e) {
        LogException(u"TPlayControl::ImageComaNextClick", e);
    }
}

void TPlayControl::FrameStep(bool forward)
{
    if (!HasCurrentRow()) {
        if (SDDlg)
            SDDlg->ShowSDDlg(8);
        return;
    }
    if (SourceFilter == nullptr || Rendered == 0)
        return;
    if (Paused == 0)
        ImagePlayClick(nullptr);
    if (forward)
        PlayNextFrame(true);
    else
        PlayPrevFrame();
    // Stopped: show the frame stepped to and stay stopped.
    if (PlayState == 0 && MediaControl != nullptr)
        MediaControl->StopWhenReady();
}
