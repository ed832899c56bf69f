// The seam between the video renderer and the screen: a repaint of the
// windowless renderer hands the picture and its rectangles to the presenter
// in force. The default draws into the device context's window surface
// (platform/win/Paint.h), which the window shows; a presenter for a real
// display may take over behind this interface.
//
// Thread: the thread that uses the graph; installation is thread-safe.
#pragma once

#include "platform/host/Seam.h"
#include "platform/media/FrameSource.h"
#include "platform/media/Vmr9Interfaces.h"
#include "platform/win/Paint.h"

namespace media {

class VideoPresenter {
public:
    virtual ~VideoPresenter();
    // Draws `frame` (empty when nothing was shown yet) into `dc` of `window`:
    // the part `source` of the picture scaled into `picture`, which lies
    // inside `destination`; the rest of `destination` in `border`. The
    // default scales nearest-neighbour into the window's surface, clipped to
    // it; a context that is not open draws nothing.
    virtual void Repaint(HWND window, HDC dc, const Frame& frame, const RECT& source, const RECT& picture,
                         const RECT& destination, COLORREF border);
    // True for a presenter on a real display: the windowless renderer then
    // shows each new picture in its clipping window as it comes (a running
    // graph ticks at the frame rate), as a real renderer presents samples,
    // and a RepaintVideo that would draw the same picture again into a
    // surface that still holds it is left out. The default (headless) shows
    // pictures only when asked.
    virtual bool ShowsFramesAsTheyCome() const;
    // True while Repaint is the default's (a presenter that overrides it
    // says false): the renderer may then scale the decoded picture straight
    // into the surface, the same pixels, without converting all of it first.
    virtual bool RepaintsAsTheDefault() const;
};

// Fills `destination` of the surface in `border` where `picture` (null:
// none) does not cover it, clipped to the surface; each pixel once.
void PaintBorder(win::WindowSurface& surface, const RECT* picture, const RECT& destination, COLORREF border);

// Read by the video renderer on whichever thread runs its graph: an atomic
// seam (platform/host/Seam.h).
VideoPresenter& CurrentVideoPresenter();
// Installs a presenter process-wide (null: the default); returns the
// previous one (null for the default). The caller keeps ownership.
VideoPresenter* InstallVideoPresenter(VideoPresenter* presenter);
using ScopedVideoPresenter = host::ScopedInstall<VideoPresenter*, &InstallVideoPresenter>;

} // namespace media
