#include "platform/media/VideoRenderer.h"

#include <cstring>

#include "platform/media/FilterGraph.h"
#include "platform/media/InterfaceNames.h"
#include "platform/media/TransformFilter.h"
#include "platform/media/VideoPresenter.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"

namespace media::detail {

namespace {

bool AllZero(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

} // namespace

VideoRenderer::VideoRenderer() : FilterBase(CLSID_VideoMixingRenderer9, u"Velmorastine media layer")
{
    input_ = &AddPin(u"VMR Input0", PINDIR_INPUT);
}

HRESULT VideoRenderer::Create(REFIID riid, void** object)
{
    return CreateFilter(u"VideoMixingRenderer9", riid, object,
                        [] { return static_cast<IBaseFilter*>(new VideoRenderer()); });
}

HRESULT VideoRenderer::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (auto f = QueryInterfaceFault(riid, object))
        return *f;
    return FilterBase::QueryInterface(riid, object);
}

void* VideoRenderer::ExtraInterface(REFIID riid)
{
    if (riid == IID_IVMRFilterConfig9)
        return static_cast<IVMRFilterConfig9*>(&config_);
    if (riid == IID_IVMRWindowlessControl9 && mode_ == VMR9Mode_Windowless)
        return static_cast<IVMRWindowlessControl9*>(&windowless_);
    return nullptr;
}

bool VideoRenderer::Accepts(const Pin& pin, const MediaTypeValue& type)
{
    if (&pin != input_)
        return false;
    bool subtypeOk = type.sub == MEDIASUBTYPE_RGB32 || type.sub == MEDIASUBTYPE_RGB24 ||
        type.sub == MEDIASUBTYPE_YUY2 || type.sub == MEDIASUBTYPE_YV12;
    return subtypeOk && VideoSizeOk(type);
}

void VideoRenderer::Disconnected(Pin&) {}

bool VideoRenderer::NativeVideoSize(LONG& width, LONG& height) const
{
    if (!input_->IsConnected())
        return false;
    const VIDEOINFOHEADER* v = input_->Type().Video();
    if (v == nullptr)
        return false;
    width = v->bmiHeader.biWidth;
    height = v->bmiHeader.biHeight < 0 ? -v->bmiHeader.biHeight : v->bmiHeader.biHeight;
    return true;
}

void VideoRenderer::Present(REFERENCE_TIME position)
{
    LONG w = 0;
    LONG h = 0;
    if (!NativeVideoSize(w, h))
        return;
    const SourceStream* stream = StreamReaching(*input_, 0);
    if (stream == nullptr)
        return;
    FrameSource& source = CurrentFrameSource();
    std::int64_t number = source.FrameNumber(*stream, position);
    framePosition_ = position;
    if (hasFrame_ && number == frameNumber_ && frameStream_.path == stream->path && pictureWidth_ == w &&
        pictureHeight_ == h)
        return;
    FrameRequest request{stream, position, number, static_cast<int>(w), static_cast<int>(h)};
    if (ShowsLive()) {
        // Drawn where it shows, at the size it shows (Show); a repaint
        // under way shows it itself.
        pending_ = request;
        pendingPath_ = stream->path;
        hasPending_ = true;
        if (!repainting_) {
            win::PAINTSTRUCT paint;
            if (HDC dc = win::BeginPaint(clip_, &paint)) {
                Show(clip_, dc);
                win::EndPaint(clip_, &paint);
            }
        }
        return;
    }
    // Shown nowhere yet: the picture is decoded now and converted when it
    // is asked for (EnsureNative), as after a draw where it shows.
    if (!source.Prepare(request))
        return;
    Took(request);
    nativeStale_ = true;
}

bool VideoRenderer::DrawNative(const FrameRequest& request)
{
    if (!DrawIntoFrame(request))
        return false;
    Took(request);
    return true;
}

bool VideoRenderer::DrawIntoFrame(const FrameRequest& request)
{
    // The picture before last is drawn over (its buffer reused).
    Frame& picture = spare_;
    ++framesDrawn_;
    if (!CurrentFrameSource().DrawFrame(request, picture))
        return false;
    if (picture.width != request.width || picture.height != request.height ||
        picture.pixels.size() != static_cast<std::size_t>(request.width) * static_cast<std::size_t>(request.height))
        return false; // a source that drew the wrong size is ignored
    std::swap(frame_, picture);
    nativeStale_ = false;
    return true;
}

bool VideoRenderer::CurrentRequest(FrameRequest& request) const
{
    // The stream the picture came from, kept: the picture stays until the
    // next cue even when its source has left the graph.
    if (!hasFrame_)
        return false;
    request = FrameRequest{&frameStream_, framePosition_, frameNumber_, static_cast<int>(pictureWidth_),
                           static_cast<int>(pictureHeight_)};
    return true;
}

void VideoRenderer::Took(const FrameRequest& request)
{
    hasFrame_ = true;
    if (&frameStream_ != request.stream)
        frameStream_ = *request.stream;
    frameNumber_ = request.frameNumber;
    pictureWidth_ = request.width;
    pictureHeight_ = request.height;
    ++frameSerial_;
}

bool VideoRenderer::TakePending(FrameRequest& request)
{
    if (!hasPending_)
        return false;
    hasPending_ = false;
    // The stream of the request may have gone with a change of the graph.
    const SourceStream* stream = StreamReaching(*input_, 0);
    if (stream == nullptr || stream->path != pendingPath_)
        return false;
    request = pending_;
    request.stream = stream;
    return true;
}

bool VideoRenderer::EnsureNative()
{
    FrameRequest request;
    if (TakePending(request))
        DrawNative(request);
    if (!nativeStale_)
        return true;
    // The picture was drawn only where it shows: the decoder still holds
    // it, so this converts and does not decode again.
    FrameRequest current;
    return CurrentRequest(current) && DrawIntoFrame(current);
}

const Frame& VideoRenderer::Picture()
{
    EnsureNative();
    return frame_;
}

bool VideoRenderer::ShowsLive() const
{
    return mode_ == VMR9Mode_Windowless && clip_ != nullptr && CurrentVideoPresenter().ShowsFramesAsTheyCome();
}

REFERENCE_TIME VideoRenderer::FrameTick() const
{
    LONG w = 0;
    LONG h = 0;
    if (!ShowsLive() || !NativeVideoSize(w, h))
        return 0;
    const SourceStream* stream = StreamReaching(*input_, 0);
    if (stream == nullptr)
        return 0;
    return stream->stream.avgTimePerFrame > 0 ? stream->stream.avgTimePerFrame : kDefaultFrameTime;
}

void VideoRenderer::Show(HWND window, HDC dc)
{
    win::WindowSurface* surface = win::SurfaceOfDC(dc);
    VideoPresenter& presenter = CurrentVideoPresenter();
    const bool live = presenter.ShowsFramesAsTheyCome() && surface != nullptr;
    // Scaled from the decoder's picture where the pixels are the default's:
    // the whole picture is converted only when someone asks for it.
    const bool scaled = surface != nullptr && (live || presenter.RepaintsAsTheDefault());
    FrameRequest request;
    if (TakePending(request)) {
        if (scaled && ShowScaled(window, *surface, request))
            return;
        DrawNative(request);
    }
    RECT source = source_;
    if (AllZero(source) && hasFrame_) {
        source.right = pictureWidth_;
        source.bottom = pictureHeight_;
    }
    Shown now{window,
              frameSerial_,
              source,
              PictureRect(),
              destination_,
              border_,
              surface ? surface->width : 0,
              surface ? surface->height : 0};
    if (live && now == shown_)
        return;
    if (scaled && nativeStale_ && hasFrame_) {
        // Another place or size for the picture drawn where it shows.
        FrameRequest current;
        if (CurrentRequest(current) && DrawScaledInto(*surface, current, source)) {
            shown_ = now;
            return;
        }
    }
    EnsureNative();
    presenter.Repaint(window, dc, frame_, source, now.picture, destination_, border_);
    shown_ = now;
}

bool VideoRenderer::ShowScaled(HWND window, win::WindowSurface& surface, const FrameRequest& request)
{
    RECT source = source_;
    if (AllZero(source)) {
        source.right = request.width;
        source.bottom = request.height;
    }
    if (!DrawScaledInto(surface, request, source))
        return false;
    ++framesDrawn_;
    nativeStale_ = true;
    Took(request);
    shown_ = Shown{window, frameSerial_, source, PictureRect(), destination_, border_, surface.width, surface.height};
    return true;
}

bool VideoRenderer::DrawScaledInto(win::WindowSurface& surface, const FrameRequest& request, const RECT& source)
{
    const RECT picture = PictureRect();
    const ScaledTarget target{surface.pixels.data(), surface.width, surface.height, source, picture};
    if (surface.pixels.size() != static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height) ||
        !CurrentFrameSource().DrawScaled(request, target))
        return false;
    PaintBorder(surface, &picture, destination_, border_);
    return true;
}

void VideoRenderer::CatchUp()
{
    if (FilterGraph* graph = HostGraph())
        graph->Advance();
}

RECT VideoRenderer::PictureRect() const
{
    if (aspect_ != VMR9ARMode_LetterBox)
        return destination_;
    LONG sw = source_.right - source_.left;
    LONG sh = source_.bottom - source_.top;
    if (AllZero(source_) && !NativeVideoSize(sw, sh))
        return destination_;
    LONG dw = destination_.right - destination_.left;
    LONG dh = destination_.bottom - destination_.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return destination_;
    RECT r = destination_;
    // Compare dw/dh with sw/sh in 64 bits.
    std::int64_t lhs = std::int64_t(dw) * sh;
    std::int64_t rhs = std::int64_t(dh) * sw;
    if (lhs > rhs) { // wider than the picture: bars left and right
        LONG w = static_cast<LONG>(std::int64_t(dh) * sw / sh);
        r.left = destination_.left + (dw - w) / 2;
        r.right = r.left + w;
    } else if (lhs < rhs) { // taller: bars above and below
        LONG h = static_cast<LONG>(std::int64_t(dw) * sh / sw);
        r.top = destination_.top + (dh - h) / 2;
        r.bottom = r.top + h;
    }
    return r;
}

VideoRendererState VideoRenderer::State() const
{
    VideoRendererState s;
    s.renderingMode = mode_;
    s.clippingWindow = clip_;
    s.source = source_;
    s.destination = destination_;
    s.picture = PictureRect();
    s.border = border_;
    s.aspectRatioMode = aspect_;
    s.connected = NativeVideoSize(s.nativeWidth, s.nativeHeight);
    s.hasFrame = hasFrame_;
    s.frameNumber = hasFrame_ ? frameNumber_ : 0;
    s.framePosition = framePosition_;
    s.framesDrawn = framesDrawn_;
    s.repaints = repaints_;
    return s;
}

// ---- IVMRFilterConfig9 -------------------------------------------------------

HRESULT VideoRenderer::Config::SetNumberOfStreams(DWORD max)
{
    if (max > 16)
        return E_INVALIDARG;
    r_.streams_ = max;
    return S_OK;
}

HRESULT VideoRenderer::Config::GetNumberOfStreams(DWORD* max)
{
    if (max == nullptr)
        return E_POINTER;
    *max = r_.streams_;
    return S_OK;
}

HRESULT VideoRenderer::Config::SetRenderingMode(DWORD mode)
{
    if (auto f = Faults::Check(Fault::SetRenderingMode))
        return *f;
    if (mode != VMR9Mode_Windowed && mode != VMR9Mode_Windowless && mode != VMR9Mode_Renderless)
        return E_INVALIDARG;
    if (r_.input_->IsConnected())
        return VFW_E_WRONG_STATE;
    if (r_.mode_ != 0 && r_.mode_ != mode)
        return VFW_E_WRONG_STATE;
    r_.mode_ = mode;
    return S_OK;
}

HRESULT VideoRenderer::Config::GetRenderingMode(DWORD* mode)
{
    if (mode == nullptr)
        return E_POINTER;
    *mode = r_.mode_ != 0 ? r_.mode_ : VMR9Mode_Windowed;
    return S_OK;
}

// ---- IVMRWindowlessControl9 --------------------------------------------------

HRESULT VideoRenderer::Windowless::GetNativeVideoSize(LONG* width, LONG* height, LONG* arWidth, LONG* arHeight)
{
    if (width == nullptr || height == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::GetNativeVideoSize))
        return *f;
    LONG w = 0;
    LONG h = 0;
    if (!r_.NativeVideoSize(w, h))
        return VFW_E_NOT_CONNECTED;
    *width = w;
    *height = h;
    if (arWidth != nullptr)
        *arWidth = w;
    if (arHeight != nullptr)
        *arHeight = h;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::GetMinIdealVideoSize(LONG* width, LONG* height)
{
    if (width == nullptr || height == nullptr)
        return E_POINTER;
    LONG w = 0;
    LONG h = 0;
    if (!r_.NativeVideoSize(w, h))
        return VFW_E_NOT_CONNECTED;
    *width = 1;
    *height = 1;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::GetMaxIdealVideoSize(LONG* width, LONG* height)
{
    if (width == nullptr || height == nullptr)
        return E_POINTER;
    LONG w = 0;
    LONG h = 0;
    if (!r_.NativeVideoSize(w, h))
        return VFW_E_NOT_CONNECTED;
    *width = kMaxVideoSide;
    *height = kMaxVideoSide;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::SetVideoPosition(const RECT* source, const RECT* destination)
{
    if (source == nullptr && destination == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::SetVideoPosition))
        return *f;
    if (source != nullptr && !AllZero(*source)) {
        const RECT& s = *source;
        if (s.left < 0 || s.top < 0 || s.right <= s.left || s.bottom <= s.top)
            return E_INVALIDARG;
        LONG w = 0;
        LONG h = 0;
        if (r_.NativeVideoSize(w, h) && (s.right > w || s.bottom > h))
            return E_INVALIDARG;
    }
    if (destination != nullptr && (destination->right < destination->left || destination->bottom < destination->top))
        return E_INVALIDARG;
    if (source != nullptr)
        r_.source_ = *source;
    if (destination != nullptr)
        r_.destination_ = *destination;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::GetVideoPosition(RECT* source, RECT* destination)
{
    if (source == nullptr && destination == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::GetVideoPosition))
        return *f;
    if (source != nullptr)
        *source = r_.source_;
    if (destination != nullptr)
        *destination = r_.destination_;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::GetAspectRatioMode(DWORD* mode)
{
    if (mode == nullptr)
        return E_POINTER;
    *mode = r_.aspect_;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::SetAspectRatioMode(DWORD mode)
{
    if (auto f = Faults::Check(Fault::SetAspectRatioMode))
        return *f;
    if (mode != VMR9ARMode_None && mode != VMR9ARMode_LetterBox)
        return E_INVALIDARG;
    r_.aspect_ = mode;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::SetVideoClippingWindow(HWND window)
{
    if (auto f = Faults::Check(Fault::SetVideoClippingWindow))
        return *f;
    if (!win::IsWindow(window))
        return E_INVALIDARG;
    r_.clip_ = window;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::RepaintVideo(HWND window, HDC dc)
{
    if (dc == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::RepaintVideo))
        return *f;
    r_.repainting_ = true;
    r_.CatchUp();
    r_.repainting_ = false;
    ++r_.repaints_;
    r_.Show(window, dc);
    return S_OK;
}

HRESULT VideoRenderer::Windowless::GetCurrentImage(BYTE** dib)
{
    if (dib == nullptr)
        return E_POINTER;
    *dib = nullptr;
    if (auto f = Faults::Check(Fault::GetCurrentImage))
        return *f;
    LONG w = 0;
    LONG h = 0;
    if (!r_.NativeVideoSize(w, h))
        return VFW_E_NOT_CONNECTED;
    r_.CatchUp();
    if (!r_.hasFrame_ || !r_.EnsureNative())
        return E_FAIL;
    const Frame& f = r_.frame_;
    std::size_t row = static_cast<std::size_t>(f.width) * 4;
    std::size_t bits = row * static_cast<std::size_t>(f.height);
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(sizeof(BITMAPINFOHEADER) + bits));
    if (block == nullptr)
        return E_OUTOFMEMORY;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = f.width;
    header.biHeight = f.height; // positive: bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bits);
    std::memcpy(block, &header, sizeof header);
    BYTE* out = block + sizeof header;
    for (int y = 0; y < f.height; ++y) {
        const std::uint32_t* src = f.pixels.data() + static_cast<std::size_t>(f.height - 1 - y) * f.width;
        BYTE* dst = out + static_cast<std::size_t>(y) * row;
        for (int x = 0; x < f.width; ++x) {
            std::uint32_t p = src[x];
            dst[4 * x + 0] = static_cast<BYTE>(p);
            dst[4 * x + 1] = static_cast<BYTE>(p >> 8);
            dst[4 * x + 2] = static_cast<BYTE>(p >> 16);
            dst[4 * x + 3] = 0;
        }
    }
    *dib = block;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::SetBorderColor(COLORREF colour)
{
    if (auto f = Faults::Check(Fault::SetBorderColor))
        return *f;
    r_.border_ = colour;
    return S_OK;
}

HRESULT VideoRenderer::Windowless::GetBorderColor(COLORREF* colour)
{
    if (colour == nullptr)
        return E_POINTER;
    *colour = r_.border_;
    return S_OK;
}

} // namespace media::detail

namespace media {

bool InspectVideoRenderer(IUnknown* renderer, VideoRendererState& state)
{
    auto* r = dynamic_cast<detail::VideoRenderer*>(renderer);
    if (r == nullptr)
        return false;
    state = r->State();
    return true;
}

Frame CurrentVideoFrame(IUnknown* renderer)
{
    auto* r = dynamic_cast<detail::VideoRenderer*>(renderer);
    return r != nullptr ? r->Picture() : Frame{};
}

} // namespace media
