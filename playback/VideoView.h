// The playback control: the one media graph and the video pane (docked into
// the main window's PanelVideo).
#pragma once

#include "platform/vcl/vcl.h"
#include "platform/win/win.h"
#include "platform/media/FilterInterfaces.h"

// Media graph events, to the playback control.
inline constexpr win::UINT WM_GRAPH_NOTIFY = win::WM_APP + 1;
// Posted to the main window: wParam 1 playback runs, 0 it stopped or paused.
inline constexpr win::UINT WM_PLAY_STATE = win::WM_APP + 3;
// Posted to the playback control: repaint the video.
inline constexpr win::UINT WM_VIDEO_REPAINT = win::WM_APP + 5;

class TPlayControl : public TForm {
public:
    explicit TPlayControl(TComponent* Owner);
    ~TPlayControl() override;
    // 1 when a filter of that friendly name is registered (and, with a graph,
    // bound and added to it under that name); 0 otherwise.
    static bool AddFilterFromFriendlyName(media::IGraphBuilder* graph, media::IBaseFilter** filter,
                                          const UnicodeString& friendlyName);
};

extern TPlayControl* PlayControl;
