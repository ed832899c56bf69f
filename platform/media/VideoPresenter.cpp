#include "platform/media/VideoPresenter.h"

#include <atomic>

namespace media {

namespace {
std::atomic<VideoPresenter*> installed{nullptr};
}

VideoPresenter::~VideoPresenter() = default;

void VideoPresenter::Repaint(HWND, HDC, const Frame&, const RECT&, const RECT&, const RECT&, COLORREF) {}

VideoPresenter& CurrentVideoPresenter()
{
    static VideoPresenter none;
    VideoPresenter* p = installed.load();
    return p != nullptr ? *p : none;
}

VideoPresenter* InstallVideoPresenter(VideoPresenter* presenter) { return installed.exchange(presenter); }

} // namespace media
