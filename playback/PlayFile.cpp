// Opening the recording list's current recording: the load into the graph,
// the seek bar and time label, the track request and its answer, and the
// control's message map.
#include "playback/VideoView.h"

#include "app/Common.h"
#include "app/Dlg.h"
#include "app/Globals.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MAIN.h"
#include "playback/PlayLog.h"
#include "tracks/DataLoad.h"
#include "tracks/GPSData.h"
#include "tracks/GraphView.h"

using namespace playback;

namespace {

constexpr std::int64_t kUnitsPerSecond = 10000000;

} // namespace

bool TPlayControl::PlayFile()
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return false;
        if (MainForm) {
            MainForm->TimerGps->SetEnabled(false);
            MainForm->ClearGraph();
        }
        // Until the new recording's tracks are in, none are shown.
        if (GInfo)
            GInfo->Loaded = 0;
        const UnicodeString path = ListControl ? ListControl->FCurrentPath : UnicodeString();
        const win::HRESULT status = PrepareMedia(path);
        if (media::FAILED(status)) {
            // A step across the ends of a recording that did not open is over.
            StartAtEnd = 0;
            AdvancedPastEnd = 0;
            PrepareDummyMedia();
            ImageStopClick(nullptr);
            if (status == PLAY_E_FILE_MISSING) {
                if (SDDlg)
                    SDDlg->ShowSDDlg(21);
                LogError(UnicodeString(u"ASF file is not existing:") + path);
            } else if (status == PLAY_E_NO_SOURCE) {
                if (SDDlg)
                    SDDlg->ShowSDDlg(7);
                LogError(u"TPlayControl::PlayFile ErrorCode: 00");
            } else {
                if (SDDlg)
                    SDDlg->ShowSDDlg(22);
                LogError(u"TPlayControl::PlayFile ErrorCode: 01");
            }
            return false;
        }
        // The tracks are asked for only once the file is in the graph.
        if (GInfo && GInfoLoader) {
            GInfo->FilePath = path;
            GInfoLoader->NotifyLoadGInfo(GInfo, Handle());
        }
        if (MainForm)
            MainForm->ImageTrack->SetEnabled(true);
        TimerSpeed->SetInterval(static_cast<unsigned>(FrameTime / 10000));
        ConfigureSeekbar();
        if (AdvancedPastEnd) {
            AdvancedPastEnd = 0;
            if (PlayRate == 1.0f)
                return true;
        }
        if (StartAtEnd) {
            StartAtEnd = 0;
            return true;
        }
        if (PlayState == 1 || PlayState == 2) {
            Paused = 1;
            ImagePlayClick(nullptr);
            if (MainForm)
                MainForm->ImagePlay->SetHint(u"一時停止");
        }
        return true;
    } catch (Exception& e) {
        LogException(u"TPlayControl::PlayFile", e);
        return false;
    }
}

void TPlayControl::ConfigureSeekbar()
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        MediaDuration = 0;
        media::LONGLONG duration = 0;
        if (MediaSeeking != nullptr && media::SUCCEEDED(MediaSeeking->GetDuration(&duration))) {
            MediaDuration = duration;
            TotalSeconds = static_cast<std::int32_t>(MediaDuration / kUnitsPerSecond);
            // A recording cut short by a power loss may have no length: the
            // scale stays finite, every thumb place reads as its start.
            if (MainForm)
                MainForm->SetSeekRange(MediaDuration > 0 ? MediaDuration : 1);
        }
        const TFindData* record = ListControl ? ListControl->CurrentRecord() : nullptr;
        if (ListControl == nullptr || ListControl->ListView1->Selected() == nullptr)
            TotalTimeText = u"00:00:01";
        else
            TotalTimeText = record ? record->LengthText : UnicodeString(u"00:00:00");
        if (MainForm)
            MainForm->SetSeekPosition(StartAtEnd ? 1.0 : 0.0);
        if (TimeLabel)
            TimeLabel->SetCaption((StartAtEnd ? TotalTimeText : UnicodeString(u"00:00:00")) + u"/" + TotalTimeText);
    } catch (Exception& e) {
        LogException(u"TPlayControl::ConfigureSeekbar", e);
    }
}

void TPlayControl::Timer1Timer(TObject*)
{
    if (IsDriveReady(ProgramDrive))
        ReadMediaPosition();
}

void TPlayControl::ReadMediaPosition()
{
    try {
        if (!IsDriveReady(ProgramDrive) || MediaSeeking == nullptr || SourceFilter == nullptr)
            return;
        media::LONGLONG position = 0;
        if (media::FAILED(MediaSeeking->GetCurrentPosition(&position)))
            return;
        if (MainForm)
            MainForm->SetSeekPosition(
                MediaDuration != 0 ? static_cast<double>(position) / static_cast<double>(MediaDuration) : 0.0);
        UpdatePosition(position);
    } catch (Exception& e) {
        LogException(u"TPlayControl::ReadMediaPosition", e);
    }
}

void TPlayControl::UpdatePosition(std::int64_t position)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        const std::int64_t thumb = MainForm ? MainForm->GetSeekPosition() : position;
        if (thumb == LastSeekPosition)
            return;
        LastSeekPosition = thumb;
        UnicodeString text(u"00:00:00/");
        if (MediaDuration != 0) {
            std::int64_t s = position > 0 ? position / kUnitsPerSecond : 0;
            if (s > TotalSeconds)
                s = TotalSeconds > 0 ? TotalSeconds : 0;
            text = UnicodeString().sprintf(u"%02d:%02d:%02d/", static_cast<int>(s / 3600),
                                           static_cast<int>((s % 3600) / 60), static_cast<int>(s % 60));
        }
        if (TimeLabel)
            TimeLabel->SetCaption(text + TotalTimeText);
    } catch (Exception& e) {
        LogException(u"TPlayControl::UpdatePosition", e);
    }
}

void TPlayControl::OnGInfoLoadEnd()
{
    try {
        // Tracks of a recording that is not (or no longer) in the graph are
        // not drawn.
        if (!TracksBelongToLoad())
            return;
        if (MainForm) {
            MainForm->RestartTrackFollow();
            MainForm->TimerGps->SetEnabled(true);
        }
        if (GraphControl)
            GraphControl->SetGraphData(GInfo);
    } catch (Exception& e) {
        LogException(u"TPlayControl::OnGInfoLoadEnd", e);
    }
}

void TPlayControl::ImagePlayClick(TObject*)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        if (Paused) {
            if (ListControl == nullptr || ListControl->ListView1->Selected() == nullptr) {
                if (SDDlg)
                    SDDlg->ShowSDDlg(8);
                return;
            }
            if (SourceFilter == nullptr || Rendered == 0) {
                if (SDDlg)
                    SDDlg->ShowSDDlg(7);
                return;
            }
            Paused = 0;
            if (ListControl)
                ListControl->SetListEnabled(false);
            if (media::FAILED(RunMedia())) {
                Paused = 1;
                if (ListControl)
                    ListControl->SetListEnabled(true);
                return;
            }
            if (PlayRate == 1.0f) {
                Timer1->SetEnabled(true);
                return;
            }
            const bool paused = media::SUCCEEDED(PauseMedia());
            TimerSpeed->SetEnabled(paused);
            if (MainForm)
                win::PostMessage(MainForm->Handle(), WM_PLAY_STATE, 1, 0);
            if (!paused) {
                Paused = 1;
                if (ListControl)
                    ListControl->SetListEnabled(true);
            }
        } else {
            TimerSpeed->SetEnabled(false);
            Paused = 1;
            if (ListControl)
                ListControl->SetListEnabled(true);
            PauseMedia();
            Timer1->SetEnabled(false);
        }
    } catch (Exception& e) {
        LogException(u"TPlayControl::ImagePlayClick", e);
    }
}

void TPlayControl::ImageStopClick(TObject*)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return;
        if (PlayState == 1 || PlayState == 2) {
            Paused = 1;
            Timer1->SetEnabled(false);
            TimerSpeed->SetEnabled(false);
            StopMedia();
            if (MediaControl != nullptr) {
                media::OAFilterState state = 0;
                MediaControl->GetState(500, &state);
            }
            SeekTo(0);
            if (MediaControl != nullptr)
                MediaControl->StopWhenReady();
            ReadMediaPosition();
            if (ListControl)
                ListControl->SetListEnabled(true);
        }
        if (MainForm)
            MainForm->ImagePlay->SetHint(u"再生");
    } catch (Exception& e) {
        LogException(u"TPlayControl::ImageStopClick", e);
    }
}

void TPlayControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case win::WM_ERASEBKGND:
        return;
    case WM_VIDEO_REPAINT:
        OnVideoRepaintMessage();
        return;
    case WM_GINFO_LOAD_END:
        OnGInfoLoadEnd();
        return;
    case WM_GRAPH_NOTIFY:
        OnGraphNotify();
        return;
    case WM_PLAY_NEXT:
        OnPlayNext(Message.WParam != 0);
        return;
    default:
        TForm::Dispatch(Message);
    }
}
