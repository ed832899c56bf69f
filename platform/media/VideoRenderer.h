// The Video Mixing Renderer 9: one input, "VMR Input0", taking uncompressed
// video; IVMRFilterConfig9 always and IVMRWindowlessControl9 once the
// windowless mode is set. It keeps the picture last shown (a stop keeps it;
// a new picture comes when the graph shows a frame) and the rectangles of
// the windowless control.
#pragma once

#include <string>

#include "platform/media/FilterBase.h"
#include "platform/media/FrameSource.h"
#include "platform/media/Vmr9Interfaces.h"
#include "platform/media/VideoRendererState.h"
#include "platform/win/Paint.h"

namespace media::detail {

class VideoRenderer final : public FilterBase {
public:
    static HRESULT Create(REFIID riid, void** object);
    VideoRenderer();

    HRESULT QueryInterface(REFIID riid, void** object) override;

    bool Accepts(const Pin& pin, const MediaTypeValue& type) override;
    void Disconnected(Pin& pin) override;
    void Present(REFERENCE_TIME position) override;
    bool NativeVideoSize(LONG& width, LONG& height) const override;
    REFERENCE_TIME FrameTick() const override;

    VideoRendererState State() const;
    // The picture at its native size (converted now if it was only drawn
    // where it shows).
    const Frame& Picture();

protected:
    void* ExtraInterface(REFIID riid) override;

private:
    ~VideoRenderer() override = default;

    RECT PictureRect() const;
    // Brings a running graph's picture up to date.
    void CatchUp();
    // Whether new pictures go to the clipping window as they come.
    bool ShowsLive() const;
    // Draws the current picture into window's open context dc, unless the
    // presenter keeps pictures and that window shows this one already.
    // A picture that came while the presenter shows pictures as they come
    // is drawn there at the size it shows, when the frame source can.
    void Show(HWND window, HDC dc);
    bool ShowScaled(HWND window, win::WindowSurface& surface, const FrameRequest& request);
    bool DrawScaledInto(win::WindowSurface& surface, const FrameRequest& request, const RECT& source);
    // Draws the request's picture at its native size into frame_ and takes
    // it as the current one.
    bool DrawNative(const FrameRequest& request);
    // Draws the request's picture at its native size into frame_ only.
    bool DrawIntoFrame(const FrameRequest& request);
    // Makes the picture drawn only where it shows the native frame_ too.
    bool EnsureNative();
    // The request for the current picture; false when its stream is gone.
    bool CurrentRequest(FrameRequest& request) const;
    bool TakePending(FrameRequest& request);
    void Took(const FrameRequest& request);

    class Config final : public ComFacet<IVMRFilterConfig9> {
    public:
        explicit Config(VideoRenderer& owner) : ComFacet(owner), r_(owner) {}
        HRESULT SetNumberOfStreams(DWORD max) override;
        HRESULT GetNumberOfStreams(DWORD* max) override;
        HRESULT SetRenderingMode(DWORD mode) override;
        HRESULT GetRenderingMode(DWORD* mode) override;

    private:
        VideoRenderer& r_;
    };

    class Windowless final : public ComFacet<IVMRWindowlessControl9> {
    public:
        explicit Windowless(VideoRenderer& owner) : ComFacet(owner), r_(owner) {}
        HRESULT GetNativeVideoSize(LONG* width, LONG* height, LONG* arWidth, LONG* arHeight) override;
        HRESULT GetMinIdealVideoSize(LONG* width, LONG* height) override;
        HRESULT GetMaxIdealVideoSize(LONG* width, LONG* height) override;
        HRESULT SetVideoPosition(const RECT* source, const RECT* destination) override;
        HRESULT GetVideoPosition(RECT* source, RECT* destination) override;
        HRESULT GetAspectRatioMode(DWORD* mode) override;
        HRESULT SetAspectRatioMode(DWORD mode) override;
        HRESULT SetVideoClippingWindow(HWND window) override;
        HRESULT RepaintVideo(HWND window, HDC dc) override;
        HRESULT DisplayModeChanged() override { return S_OK; }
        HRESULT GetCurrentImage(BYTE** dib) override;
        HRESULT SetBorderColor(COLORREF colour) override;
        HRESULT GetBorderColor(COLORREF* colour) override;

    private:
        VideoRenderer& r_;
    };

    Pin* input_;
    Config config_{*this};
    Windowless windowless_{*this};
    DWORD mode_ = 0;
    DWORD streams_ = 0;
    HWND clip_ = nullptr;
    RECT source_{};
    RECT destination_{};
    COLORREF border_ = 0;
    DWORD aspect_ = VMR9ARMode_None;
    Frame frame_;
    Frame spare_;
    bool hasFrame_ = false;
    // frame_ is older than the picture shown (that one was drawn only where
    // it shows, at the size it shows).
    bool nativeStale_ = false;
    LONG pictureWidth_ = 0; // the native size of the current picture
    LONG pictureHeight_ = 0;
    // A picture due to be shown (a live presenter's), drawn by Show.
    FrameRequest pending_;
    std::u16string pendingPath_;
    bool hasPending_ = false;
    SourceStream frameStream_; // what the current picture is of
    std::int64_t frameNumber_ = -1;
    REFERENCE_TIME framePosition_ = 0;
    int framesDrawn_ = 0;
    int repaints_ = 0;
    // Counts the pictures drawn, so that a repaint knows its picture.
    std::uint64_t frameSerial_ = 0;
    bool repainting_ = false;
    // What Show last drew, and where.
    struct Shown {
        HWND window = nullptr;
        std::uint64_t frame = 0;
        RECT source{}, picture{}, destination{};
        COLORREF border = 0;
        int width = 0, height = 0;
        bool operator==(const Shown&) const = default;
    };
    Shown shown_;
};

} // namespace media::detail
