#include "playback/VideoDisplay.h"

#include "app/Common.h"
#include "app/Globals.h"
#include "mainwindow/ListView.h"
#include "mainwindow/MAIN.h"
#include "playback/PlayLog.h"
#include "playback/VideoView.h"
#include "platform/win/Paint.h"

using namespace playback;

std::int32_t ChannelMode = 4;

namespace playback {

bool ChannelViewFor(std::int32_t mode, int width, int height, ChannelView& view)
{
    const int w = width;
    const int h = height;
    // The upper cameras' stretch, trunc(H * 2.02) without floating point.
    const int tall = static_cast<int>(std::int64_t(h) * 202 / 100);
    ChannelView v{2, 2, w - 4, h - 4, {}};
    switch (mode) {
    case 2:
        v.top = h / 4;
        v.height = h / 2 - 4;
        v.destination = {0, 0, w, h};
        break;
    case 4:
        v.destination = {0, 0, w, h};
        break;
    case 11:
        v.destination = {0, 0, 2 * w, tall};
        break;
    case 12:
        v.destination = {-w, 0, w, tall};
        break;
    case 13:
        v.destination = {0, -h, 2 * w, h};
        break;
    case 14:
        v.destination = {-w, -h, w, h};
        break;
    default:
        return false;
    }
    view = v;
    return true;
}

} // namespace playback

namespace {

// Ends the painting however the repaint leaves.
class PaintScope {
public:
    explicit PaintScope(win::HWND window) : window_(window) { dc_ = win::BeginPaint(window_, &paint_); }
    ~PaintScope() { win::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    win::HDC Dc() const { return dc_; }

private:
    win::HWND window_;
    win::PAINTSTRUCT paint_{};
    win::HDC dc_ = nullptr;
};

} // namespace

void TPlayControl::ShowChanel(std::int32_t mode)
{
    try {
        ChannelView view;
        // Only the six views exist; anything else would leave the picture
        // without a destination.
        if (!ChannelViewFor(mode, VideoAreaWidth, VideoAreaHeight, view))
            return;

        Panel9->SetAlign(alClient);
        // The renderer keeps its source when its position cannot be read:
        // a null source leaves it as it is.
        win::RECT source{};
        win::RECT destination{};
        const bool haveSource =
            WindowlessControl != nullptr && win::SUCCEEDED(WindowlessControl->GetVideoPosition(&source, &destination));

        Panel9->SetAlign(alNone);
        Panel9->SetBounds(view.left, view.top, view.width, view.height);
        if (WindowlessControl != nullptr)
            WindowlessControl->SetVideoPosition(haveSource ? &source : nullptr, &view.destination);
        ChannelMode = mode;
    } catch (Exception& e) {
        LogException(u"TPlayControl::ShowChanel", e);
    }
}

void TPlayControl::FitToPanelVideo()
{
    if (MainForm == nullptr || MainForm->PanelVideo == nullptr)
        return;
    const int width = MainForm->PanelVideo->Width();
    const int height = MainForm->PanelVideo->Height();
    SetWidth(width);
    SetHeight(height);
    VideoAreaWidth = width;
    VideoAreaHeight = height;
    Panel1->SetHeight(height);
    Panel1->SetWidth(width);
    ShowChanel(ChannelMode);
    PlaceVolumeThumb();
}

void TPlayControl::SetUpVideoDisplay()
{
    OnPaint = [this](TObject* s) { FormPaint(s); };
    TimerRefresh->OnTimer = [this](TObject* s) { TimerRefreshTimer(s); };
    try {
        Timer1->SetEnabled(false);
        if (MainForm == nullptr || MainForm->PanelVideo == nullptr)
            throw Exception(u"no video panel");
        SetWidth(MainForm->PanelVideo->Width());
        SetHeight(MainForm->PanelVideo->Height());
        Panel9->SetAlign(alNone);
        Panel9->SetBounds(0, 0, Width(), Height());
        VideoAreaHeight = Panel9->Height();
        VideoAreaWidth = Panel9->Width();
        Panel1->SetHeight(Height());
        Panel1->SetWidth(Width());
        PlaceVolumeThumb();

        // An all-zero source rectangle stands for the whole picture.
        const win::RECT whole{};
        const win::RECT client{0, 0, Panel9->ClientWidth(), Panel9->ClientHeight()};
        if (WindowlessControl != nullptr && WindowlessControl->SetVideoPosition(&whole, &client) == media::S_OK)
            ShowChanel(MainForm->ScreenMode() == 1 ? 2 : 4);
    } catch (Exception& e) {
        LogException(u"TPlayControl::FormCreate", e);
    }
}

void TPlayControl::PlaceVolumeThumb()
{
    const std::int32_t volume = GetVolume();
    if (MainForm)
        MainForm->SetVolumePosition(volume);
}

void TPlayControl::RepaintVideoPanel()
{
    try {
        if (WindowlessControl == nullptr || Panel9 == nullptr)
            return;
        const win::HWND window = Panel9->Handle();
        PaintScope paint(window);
        if (paint.Dc() != nullptr)
            WindowlessControl->RepaintVideo(window, paint.Dc());
    } catch (...) {
        // A repaint that fails shows the old picture until the next one.
    }
}

void TPlayControl::FormPaint(TObject*)
{
    if (IsDriveReady(ProgramDrive))
        RepaintVideoPanel();
}

void TPlayControl::TimerRefreshTimer(TObject*)
{
    try {
        if (IsDriveReady(ProgramDrive))
            RepaintVideoPanel();
    } catch (Exception& e) {
        LogException(u"TPlayControl::FormPaint", e);
    }
}

void TPlayControl::OnVideoRepaintMessage()
{
    try {
        if (IsDriveReady(ProgramDrive) && ListControl != nullptr)
            RepaintVideoPanel();
    } catch (Exception& e) {
        LogException(u"TPlayControl::FormPaint", e);
    }
}
