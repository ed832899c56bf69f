// The windowless video renderer: its mode, rectangles, repaint and current
// image, and the frame source behind the pictures.
#include "MediaFixture.h"

#include <algorithm>
#include <cstring>

namespace media_test {
namespace {

class RendererTest : public MediaTest {
protected:
    ComPtr<IBaseFilter> MakeRenderer()
    {
        ComPtr<IBaseFilter> vmr;
        EXPECT_EQ(
            CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, vmr.PutVoid()),
            S_OK);
        return vmr;
    }
    static ComPtr<IVMRWindowlessControl9> Windowless(IBaseFilter* vmr)
    {
        ComPtr<IVMRFilterConfig9> config;
        EXPECT_EQ(vmr->QueryInterface(IID_IVMRFilterConfig9, config.PutVoid()), S_OK);
        EXPECT_EQ(config->SetRenderingMode(VMR9Mode_Windowless), S_OK);
        ComPtr<IVMRWindowlessControl9> w;
        EXPECT_EQ(vmr->QueryInterface(IID_IVMRWindowlessControl9, w.PutVoid()), S_OK);
        return w;
    }
    // The program's graph drawing into `panel` (160 x 120), a recording
    // loaded and its picture over the whole panel.
    template <class Panel>
    void LoadOnTheWholePanel(ProgramGraph& g, const Panel& panel)
    {
        BuildProgramGraph(g, panel.handle);
        ASSERT_EQ(LoadRecording(g, WriteRecording("A.ASF")), S_OK); // 30 frames a second
        RECT zero{};
        RECT whole{0, 0, 160, 120};
        ASSERT_EQ(g.windowless->SetVideoPosition(&zero, &whole), S_OK);
    }
    RecordingWindow window;
};

TEST_F(RendererTest, TheWindowlessControlComesWithTheWindowlessMode)
{
    ComPtr<IBaseFilter> vmr = MakeRenderer();
    ComPtr<IVMRWindowlessControl9> w;
    EXPECT_EQ(vmr->QueryInterface(IID_IVMRWindowlessControl9, w.PutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(w);
    ComPtr<IVMRFilterConfig9> config;
    ASSERT_EQ(vmr->QueryInterface(IID_IVMRFilterConfig9, config.PutVoid()), S_OK);
    DWORD mode = 0;
    ASSERT_EQ(config->GetRenderingMode(&mode), S_OK);
    EXPECT_EQ(mode, VMR9Mode_Windowed);
    EXPECT_EQ(config->SetRenderingMode(3), E_INVALIDARG);
    ASSERT_EQ(config->SetRenderingMode(VMR9Mode_Windowless), S_OK);
    EXPECT_EQ(config->SetRenderingMode(VMR9Mode_Windowed), VFW_E_WRONG_STATE) << "the mode is set once";
    EXPECT_EQ(vmr->QueryInterface(IID_IVMRWindowlessControl9, w.PutVoid()), S_OK);
}

TEST_F(RendererTest, RectanglesAndArguments)
{
    ComPtr<IBaseFilter> vmr = MakeRenderer();
    ComPtr<IVMRWindowlessControl9> w = Windowless(vmr.Get());

    EXPECT_EQ(w->SetVideoClippingWindow(nullptr), E_INVALIDARG);
    EXPECT_EQ(w->SetVideoClippingWindow(window.Handle()), S_OK);
    EXPECT_EQ(w->SetAspectRatioMode(2), E_INVALIDARG);
    EXPECT_EQ(w->SetAspectRatioMode(VMR9ARMode_LetterBox), S_OK);
    EXPECT_EQ(w->SetBorderColor(0x00123456), S_OK);

    RECT zero{0, 0, 0, 0};
    struct Case {
        const char* name;
        const RECT* source;
        RECT destination;
        HRESULT expected;
    } cases[] = {
        {"all-zero source, the window's rectangle", &zero, {0, 0, 640, 504}, S_OK},
        {"destination larger than any window", nullptr, {0, 0, 1280, 1008}, S_OK},
        {"destination outside, to the left and above", nullptr, {-640, -504, 640, 504}, S_OK},
        {"empty destination", nullptr, {10, 10, 10, 10}, S_OK},
        {"inverted destination", nullptr, {100, 0, 0, 100}, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(w->SetVideoPosition(c.source, &c.destination), c.expected);
    }
    RECT source{};
    RECT destination{};
    ASSERT_EQ(w->GetVideoPosition(&source, &destination), S_OK);
    EXPECT_EQ(source, zero);
    EXPECT_EQ(destination, (RECT{10, 10, 10, 10})) << "the refused one changed nothing";
    EXPECT_EQ(w->SetVideoPosition(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(w->GetVideoPosition(nullptr, nullptr), E_POINTER);
    RECT badSource{-1, 0, 10, 10};
    EXPECT_EQ(w->SetVideoPosition(&badSource, nullptr), E_INVALIDARG);

    LONG width = 0;
    LONG height = 0;
    EXPECT_EQ(w->GetNativeVideoSize(&width, &height, nullptr, nullptr), VFW_E_NOT_CONNECTED);
    BYTE* image = reinterpret_cast<BYTE*>(1);
    EXPECT_EQ(w->GetCurrentImage(&image), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(w->GetCurrentImage(nullptr), E_POINTER);
}

TEST_F(RendererTest, TheCurrentImageIsOneBlockOfHeaderAndBottomUpBits)
{
    ProgramGraph g;
    BuildProgramGraph(g, window.Handle());
    Recording r;
    r.width = 64;
    r.height = 48;
    ASSERT_EQ(LoadRecording(g, WriteRecording("A.ASF", r)), S_OK);

    LONG width = 0;
    LONG height = 0;
    LONG arW = 0;
    LONG arH = 0;
    ASSERT_EQ(g.windowless->GetNativeVideoSize(&width, &height, &arW, &arH), S_OK);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    BYTE* image = nullptr;
    EXPECT_EQ(g.windowless->GetCurrentImage(&image), E_FAIL) << "nothing was shown yet";

    LONGLONG at = 25000000;
    ASSERT_EQ(g.seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    ASSERT_EQ(g.windowless->GetCurrentImage(&image), S_OK);
    ASSERT_NE(image, nullptr);

    BITMAPINFOHEADER header;
    std::memcpy(&header, image, sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 64);
    EXPECT_EQ(header.biHeight, 48) << "positive: bottom-up";
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, BI_RGB);
    EXPECT_EQ(header.biSizeImage, 64u * 48u * 4u);

    Frame expected = SyntheticFrame(64, 48, at / kDefaultFrameTime);
    const BYTE* bits = image + 40;
    bool same = true;
    for (int y = 0; y < 48 && same; ++y)
        for (int x = 0; x < 64 && same; ++x) {
            std::uint32_t p = expected.At(x, 47 - y);
            const BYTE* q = bits + (static_cast<std::size_t>(y) * 64 + x) * 4;
            same = q[0] == (p & 0xFF) && q[1] == ((p >> 8) & 0xFF) && q[2] == ((p >> 16) & 0xFF);
        }
    EXPECT_TRUE(same) << "the synthetic picture of frame " << at / kDefaultFrameTime << ", rows bottom first";
    CoTaskMemFree(image);
}

TEST_F(RendererTest, AKeptChainFollowsTheSizeOfANewSource)
{
    ProgramGraph g;
    BuildProgramGraph(g, window.Handle());
    ASSERT_EQ(LoadRecording(g, WriteRecording("BIG.ASF")), S_OK); // 320 x 240
    ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    ASSERT_EQ(g.graph->RemoveFilter(g.source.Get()), S_OK);
    Recording small;
    small.width = 64;
    small.height = 48;
    ASSERT_EQ(LoadRecording(g, WriteRecording("SMALL.ASF", small)), S_OK) << "links 2 to 5 are kept";
    LONG w = 0;
    LONG h = 0;
    ASSERT_EQ(g.windowless->GetNativeVideoSize(&w, &h, nullptr, nullptr), S_OK);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()).width, 320) << "the last picture stays until the next cue";
    ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(64, 48, 0));
}

TEST_F(RendererTest, TheSyntheticPictureHasFourQuadrantsAndTheFrameNumber)
{
    Frame f = SyntheticFrame(320, 240, 42);
    ASSERT_EQ(f.pixels.size(), 320u * 240u);
    EXPECT_EQ(f.At(5, 5), 0x00FF0000u);
    EXPECT_EQ(f.At(315, 5), 0x0000FF00u);
    EXPECT_EQ(f.At(5, 235), 0x000000FFu);
    EXPECT_EQ(f.At(315, 235), 0x00FFFF00u);
    EXPECT_NE(f, SyntheticFrame(320, 240, 43)) << "the number is drawn";
    EXPECT_EQ(f, SyntheticFrame(320, 240, 42));
    EXPECT_TRUE(SyntheticFrame(0, 10, 1).pixels.empty());
}

TEST_F(RendererTest, LetterboxAndRepaint)
{
    struct Presenter : VideoPresenter {
        bool RepaintsAsTheDefault() const override { return false; }
        void Repaint(HWND window, HDC dc, const Frame& frame, const RECT& source, const RECT& picture,
                     const RECT& destination, COLORREF border) override
        {
            ++calls;
            lastWindow = window;
            lastDc = dc;
            lastPicture = picture;
            lastSource = source;
            lastDestination = destination;
            lastBorder = border;
            width = frame.width;
        }
        int calls = 0;
        HWND lastWindow = nullptr;
        HDC lastDc = nullptr;
        RECT lastPicture{}, lastSource{}, lastDestination{};
        COLORREF lastBorder = 1;
        int width = 0;
    } presenter;
    ScopedVideoPresenter scopedPresenter(presenter);

    ProgramGraph g;
    BuildProgramGraph(g, window.Handle());
    ASSERT_EQ(LoadRecording(g, WriteRecording("A.ASF")), S_OK); // 320 x 240
    ASSERT_EQ(g.control->StopWhenReady(), S_OK);

    RECT zero{};
    RECT wide{0, 0, 800, 300};
    ASSERT_EQ(g.windowless->SetVideoPosition(&zero, &wide), S_OK);
    HDC dc = reinterpret_cast<HDC>(0x1234);
    EXPECT_EQ(g.windowless->RepaintVideo(window.Handle(), nullptr), E_POINTER);
    ASSERT_EQ(g.windowless->RepaintVideo(window.Handle(), dc), S_OK);
    EXPECT_EQ(presenter.calls, 1);
    EXPECT_EQ(presenter.lastWindow, window.Handle());
    EXPECT_EQ(presenter.lastDc, dc);
    EXPECT_EQ(presenter.lastSource, (RECT{0, 0, 320, 240})) << "all zero means the whole picture";
    EXPECT_EQ(presenter.lastPicture, (RECT{200, 0, 600, 300})) << "bars left and right";
    EXPECT_EQ(presenter.lastDestination, wide);
    EXPECT_EQ(presenter.lastBorder, 0u);
    EXPECT_EQ(presenter.width, 320);

    RECT tall{0, 0, 320, 480};
    ASSERT_EQ(g.windowless->SetVideoPosition(nullptr, &tall), S_OK);
    VideoRendererState s;
    ASSERT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
    EXPECT_EQ(s.picture, (RECT{0, 120, 320, 360})) << "bars above and below";
    ASSERT_EQ(g.windowless->SetAspectRatioMode(VMR9ARMode_None), S_OK);
    ASSERT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
    EXPECT_EQ(s.picture, tall);
    EXPECT_EQ(s.repaints, 1);
    EXPECT_EQ(s.clippingWindow, window.Handle());
}

// Shown nowhere, a picture is got ready when it comes and drawn when it is
// asked for.
TEST_F(RendererTest, TheFrameSourceMakesThePicturesAndIsAskedOncePerFrame)
{
    struct Source : FrameSource {
        bool Prepare(const FrameRequest& request) override
        {
            prepared.push_back(request.frameNumber);
            return !refuse;
        }
        bool DrawFrame(const FrameRequest& request, Frame& out) override
        {
            requests.push_back(request.frameNumber);
            path = request.stream->path;
            out = SyntheticFrame(request.width, request.height, 1000 + request.frameNumber);
            return !refuse;
        }
        std::vector<std::int64_t> prepared;
        std::vector<std::int64_t> requests;
        std::u16string path;
        bool refuse = false;
    } source;
    InstallFrameSource(&source);

    ProgramGraph g;
    BuildProgramGraph(g, window.Handle());
    std::u16string path = WriteRecording("A.ASF");
    ASSERT_EQ(LoadRecording(g, path), S_OK);
    ASSERT_EQ(g.control->Pause(), S_OK);
    ASSERT_EQ(g.control->Pause(), S_OK);
    LONGLONG at = 1000000; // frame 3 at 333,333 a frame
    ASSERT_EQ(g.seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    EXPECT_EQ(source.prepared, (std::vector<std::int64_t>{0, 3}));
    EXPECT_TRUE(source.requests.empty());
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1003));
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1003));
    EXPECT_EQ(source.requests, (std::vector<std::int64_t>{3}));
    EXPECT_EQ(source.path, path);

    source.refuse = true;
    at = 5000000;
    ASSERT_EQ(g.seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1003)) << "a refused frame keeps the last";
}

// A window that can be painted, telling how often a painting ended.
struct PaintedWindow : win::WindowProcedure {
    PaintedWindow(int width, int height) : width(width), height(height) { handle = win::CreateWindowHandle(this); }
    ~PaintedWindow() override { win::DestroyWindow(handle); }
    win::LRESULT WindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM) override { return 0; }
    win::WindowSurface* Surface() override
    {
        surface.Resize(width, height);
        return &surface;
    }
    void SurfacePainted() override { ++painted; }
    int width, height;
    win::WindowSurface surface;
    win::HWND handle = nullptr;
    int painted = 0;
};

// A presenter that shows pictures as they come, counting the repaints.
struct LivePresenter : VideoPresenter {
    bool ShowsFramesAsTheyCome() const override { return true; }
    bool RepaintsAsTheDefault() const override { return false; }
    void Repaint(HWND window, HDC dc, const Frame& frame, const RECT& source, const RECT& picture,
                 const RECT& destination, COLORREF border) override
    {
        ++calls;
        VideoPresenter::Repaint(window, dc, frame, source, picture, destination, border);
    }
    int calls = 0;
};

TEST_F(RendererTest, ALivePresenterGetsEachNewPictureAsItComesAndNoRepaintOfTheSame)
{
    LivePresenter live;
    ScopedVideoPresenter scopedLive(live);
    PaintedWindow panel(160, 120);
    ProgramGraph g;
    ASSERT_NO_FATAL_FAILURE(LoadOnTheWholePanel(g, panel));

    ASSERT_EQ(g.control->Pause(), S_OK);
    EXPECT_EQ(live.calls, 1) << "the cued picture shows without a repaint";
    EXPECT_EQ(panel.painted, 1);
    EXPECT_EQ(panel.surface.pixels[0], SyntheticFrame(320, 240, 0).At(0, 0));

    ASSERT_EQ(g.control->Run(), S_OK);
    win::PumpFor(1000);
    VideoRendererState s;
    ASSERT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
    EXPECT_GE(s.framesDrawn, 25) << "a running graph ticks at the frame rate";
    EXPECT_EQ(live.calls, s.framesDrawn) << "each new picture shown once";
    EXPECT_EQ(panel.painted, live.calls);
    EXPECT_EQ(s.repaints, 0);

    ASSERT_EQ(g.control->Pause(), S_OK);
    const int shown = live.calls;
    const auto repaint = [&] {
        win::PAINTSTRUCT paint;
        HDC dc = win::BeginPaint(panel.handle, &paint);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(g.windowless->RepaintVideo(panel.handle, dc), S_OK);
        win::EndPaint(panel.handle, &paint);
    };
    repaint();
    EXPECT_EQ(live.calls, shown) << "the surface holds that picture already";
    RECT half{0, 0, 80, 120};
    ASSERT_EQ(g.windowless->SetVideoPosition(nullptr, &half), S_OK);
    repaint();
    EXPECT_EQ(live.calls, shown + 1) << "a new place is drawn";
    ASSERT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
    EXPECT_EQ(s.repaints, 2);
}

// A frame source that draws pictures where they show (0x00010000 plus the
// frame number over the picture) and at the native size (the synthetic
// frame 1000 plus the number), recording which it was asked for.
struct ScalingSource : FrameSource {
    bool DrawFrame(const FrameRequest& request, Frame& out) override
    {
        native.push_back(request.frameNumber);
        out = SyntheticFrame(request.width, request.height, 1000 + request.frameNumber);
        return true;
    }
    bool DrawScaled(const FrameRequest& request, const ScaledTarget& target) override
    {
        scaled.push_back(request.frameNumber);
        last = target;
        if (refuse)
            return false;
        for (int y = std::max(0, int(target.picture.top)); y < std::min(target.height, int(target.picture.bottom)); ++y)
            for (int x = std::max(0, int(target.picture.left)); x < std::min(target.width, int(target.picture.right));
                 ++x)
                target.pixels[static_cast<std::size_t>(y) * target.width + x] =
                    0x00010000u + std::uint32_t(request.frameNumber);
        return true;
    }
    std::vector<std::int64_t> native, scaled;
    ScaledTarget last;
    bool refuse = false;
};

TEST_F(RendererTest, ALivePresenterGetsPicturesDrawnWhereTheyShowAndTheNativeOneWhenAsked)
{
    LivePresenter live;
    ScalingSource source;
    ScopedVideoPresenter scopedLive(live);
    InstallFrameSource(&source);
    PaintedWindow panel(160, 120);
    ProgramGraph g;
    ASSERT_NO_FATAL_FAILURE(LoadOnTheWholePanel(g, panel));
    ASSERT_EQ(g.windowless->SetBorderColor(0x00332211), S_OK);

    ASSERT_EQ(g.control->Pause(), S_OK);
    EXPECT_EQ(source.scaled, (std::vector<std::int64_t>{0}));
    EXPECT_TRUE(source.native.empty()) << "no picture at the native size while nobody asks for it";
    EXPECT_EQ(live.calls, 0);
    EXPECT_EQ(panel.painted, 1);
    EXPECT_EQ(source.last.width, 160);
    EXPECT_EQ(source.last.source, (RECT{0, 0, 320, 240})) << "the whole native picture";
    EXPECT_EQ(source.last.picture, (RECT{0, 0, 160, 120})) << "the whole panel";
    EXPECT_EQ(panel.surface.pixels[0], 0x00010000u);

    ASSERT_EQ(g.control->Run(), S_OK);
    win::PumpFor(1000);
    VideoRendererState s;
    ASSERT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
    EXPECT_GE(s.framesDrawn, 25);
    EXPECT_EQ(static_cast<int>(source.scaled.size()), s.framesDrawn) << "each new picture drawn once";
    EXPECT_EQ(live.calls, 0);
    ASSERT_EQ(g.control->Pause(), S_OK);
    ASSERT_TRUE(InspectVideoRenderer(g.vmr.Get(), s));
    const std::int64_t shownFrame = s.frameNumber;

    // A new place: the same frame drawn there again, at its size.
    const std::size_t scaledBefore = source.scaled.size();
    RECT half{0, 0, 80, 120};
    ASSERT_EQ(g.windowless->SetVideoPosition(nullptr, &half), S_OK);
    win::PAINTSTRUCT paint;
    HDC dc = win::BeginPaint(panel.handle, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(g.windowless->RepaintVideo(panel.handle, dc), S_OK);
    win::EndPaint(panel.handle, &paint);
    ASSERT_EQ(source.scaled.size(), scaledBefore + 1);
    EXPECT_EQ(source.scaled.back(), shownFrame);
    EXPECT_EQ(source.last.picture, (RECT{0, 30, 80, 90})) << "letterboxed in the new place";
    const auto pixel = [&](int x, int y) { return panel.surface.pixels[static_cast<std::size_t>(y) * 160 + x]; };
    EXPECT_EQ(pixel(10, 10), 0x00112233u) << "the bar in the border colour";
    EXPECT_EQ(pixel(10, 40), 0x00010000u + std::uint32_t(shownFrame));

    // A still: the native picture of the frame shown, drawn once.
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1000 + shownFrame));
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1000 + shownFrame));
    EXPECT_EQ(source.native, (std::vector<std::int64_t>{shownFrame}));

    // A source that cannot: the native picture, scaled by the presenter.
    source.refuse = true;
    LONGLONG at = 1000000; // frame 3
    ASSERT_EQ(g.seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    EXPECT_EQ(source.native.back(), 3);
    EXPECT_EQ(live.calls, 1);
    EXPECT_EQ(pixel(10, 40), SyntheticFrame(320, 240, 1003).At(40, 40));
    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1003));
}

TEST_F(RendererTest, WithoutADisplayARepaintDrawsWhereThePictureShowsAndTheNativeOneOnlyWhenAsked)
{
    ScalingSource source;
    InstallFrameSource(&source);
    PaintedWindow panel(160, 120);
    ProgramGraph g;
    ASSERT_NO_FATAL_FAILURE(LoadOnTheWholePanel(g, panel));
    ASSERT_EQ(g.control->Pause(), S_OK);
    EXPECT_TRUE(source.scaled.empty()) << "shown only when asked";

    win::PAINTSTRUCT paint;
    HDC dc = win::BeginPaint(panel.handle, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(g.windowless->RepaintVideo(panel.handle, dc), S_OK);
    win::EndPaint(panel.handle, &paint);
    EXPECT_EQ(source.scaled, (std::vector<std::int64_t>{0}));
    EXPECT_TRUE(source.native.empty()) << "no picture at the native size while nobody asks for it";
    EXPECT_EQ(panel.surface.pixels[0], 0x00010000u);

    EXPECT_EQ(CurrentVideoFrame(g.vmr.Get()), SyntheticFrame(320, 240, 1000));
    EXPECT_EQ(source.native, (std::vector<std::int64_t>{0}));
}

TEST_F(RendererTest, TheDefaultPresenterScalesEveryPixelAsTheFormulaSays)
{
    const Frame frame = SyntheticFrame(320, 240, 7);
    struct Case {
        const char* name;
        RECT source, picture, destination;
    } cases[] = {
        {"down to the surface", {0, 0, 320, 240}, {0, 0, 200, 150}, {0, 0, 200, 150}},
        {"up, cut by the surface", {0, 0, 320, 240}, {0, 0, 500, 400}, {0, 0, 500, 400}},
        {"a quarter, left of and above the surface",
         {160, 120, 320, 240},
         {-200, -150, 200, 150},
         {-200, -150, 200, 150}},
        {"letterbox bars in the border colour", {0, 0, 320, 240}, {40, 0, 160, 150}, {0, 0, 200, 150}},
        {"a source outside the picture: border only", {0, 0, 400, 240}, {0, 0, 200, 150}, {10, 10, 190, 140}},
        {"an empty picture", {0, 0, 320, 240}, {50, 50, 50, 50}, {20, 20, 180, 130}},
    };
    const std::uint32_t untouched = 0xAB000000u;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PaintedWindow panel(200, 150);
        win::PAINTSTRUCT paint;
        HDC dc = win::BeginPaint(panel.handle, &paint);
        ASSERT_NE(dc, nullptr);
        std::fill(panel.surface.pixels.begin(), panel.surface.pixels.end(), untouched);
        VideoPresenter().Repaint(panel.handle, dc, frame, c.source, c.picture, c.destination, 0x00332211);
        win::EndPaint(panel.handle, &paint);

        const bool valid = c.source.right <= frame.width && c.picture.right > c.picture.left;
        int wrong = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                std::uint32_t expected = untouched;
                if (x >= c.destination.left && x < c.destination.right && y >= c.destination.top &&
                    y < c.destination.bottom)
                    expected = 0x00112233u;
                if (valid && x >= c.picture.left && x < c.picture.right && y >= c.picture.top && y < c.picture.bottom) {
                    const std::int64_t sw = c.source.right - c.source.left, sh = c.source.bottom - c.source.top;
                    const std::int64_t pw = c.picture.right - c.picture.left, ph = c.picture.bottom - c.picture.top;
                    const int fx = static_cast<int>(c.source.left + (x - c.picture.left) * sw / pw);
                    const int fy = static_cast<int>(c.source.top + (y - c.picture.top) * sh / ph);
                    expected = frame.At(fx, fy) & 0x00FFFFFFu;
                }
                wrong += panel.surface.pixels[static_cast<std::size_t>(y) * 200 + x] != expected;
            }
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace
} // namespace media_test
