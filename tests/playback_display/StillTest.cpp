// Still pictures and printing: the crop of each channel view, the JPEG
// written for the current frame, the printed page, and the faults: the
// picture's bits found from its header, the crop held inside the picture, a
// failed print aborted, nothing left behind.
#include "DisplayFixture.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/media/Faults.h"
#include "platform/media/FrameSource.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/RecordingPrinter.h"
#include "platform/vcl/TestDriver.h"
#include "platform/win/Gdi.h"
#include "playback/Still.h"
#include "tests/support/ScopedValue.h"
#include "tools/asfwriter/SampleRecording.h"

using namespace media;
using playback::StillCrop;
using playback::StillCropFor;
using playback::StillPrintRect;

namespace playback_test {

namespace {

constexpr char16_t kMosaic[] = u"E:\\DATA\\20240517_100000.ASF";
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::int32_t kModes[] = {2, 4, 11, 12, 13, 14};

// The renderer's picture, top-down, read straight from its DIB.
Frame CurrentImage(IVMRWindowlessControl9* control)
{
    BYTE* dib = nullptr;
    Frame frame;
    if (control == nullptr || FAILED(control->GetCurrentImage(&dib)))
        return frame;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    frame.width = header.biWidth;
    frame.height = header.biHeight;
    frame.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height);
    const BYTE* bits = dib + header.biSize;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(&frame.pixels[static_cast<std::size_t>(y) * frame.width],
                    bits + static_cast<std::size_t>(frame.height - 1 - y) * frame.width * 4,
                    static_cast<std::size_t>(frame.width) * 4);
    CoTaskMemFree(dib);
    return frame;
}

// Mean and worst difference of one colour channel between a decoded still
// and the crop of the frame, scaled by plain index arithmetic.
struct Error {
    double mean = 0;
    int worst = 0;
};

Error Compare(const vcl::PixelBuffer& still, const Frame& frame, const vcl::TRect& source)
{
    Error e;
    std::int64_t sum = 0;
    for (int y = 0; y < still.Height(); ++y)
        for (int x = 0; x < still.Width(); ++x) {
            const std::uint32_t want = frame.At(source.Left + x * source.Width() / still.Width(),
                                                source.Top + y * source.Height() / still.Height());
            const std::uint32_t got = still.Pixel(x, y);
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(int((want >> shift) & 0xFF) - int((got >> shift) & 0xFF));
                sum += d;
                e.worst = std::max(e.worst, d);
            }
        }
    e.mean = double(sum) / (3.0 * still.Width() * still.Height());
    return e;
}

// A stand-in renderer control that hands out a DIB of our making.
class HandMadeImage : public IVMRWindowlessControl9 {
public:
    HandMadeImage(LONG nativeWidth, LONG nativeHeight, std::vector<BYTE> dib)
        : w_(nativeWidth), h_(nativeHeight), dib_(std::move(dib))
    {
    }
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetNativeVideoSize(LONG* width, LONG* height, LONG*, LONG*) override
    {
        *width = w_;
        *height = h_;
        return S_OK;
    }
    HRESULT GetMinIdealVideoSize(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT GetMaxIdealVideoSize(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT SetVideoPosition(const RECT*, const RECT*) override { return E_NOTIMPL; }
    HRESULT GetVideoPosition(RECT*, RECT*) override { return E_NOTIMPL; }
    HRESULT GetAspectRatioMode(DWORD*) override { return E_NOTIMPL; }
    HRESULT SetAspectRatioMode(DWORD) override { return E_NOTIMPL; }
    HRESULT SetVideoClippingWindow(HWND) override { return E_NOTIMPL; }
    HRESULT RepaintVideo(HWND, HDC) override { return E_NOTIMPL; }
    HRESULT DisplayModeChanged() override { return E_NOTIMPL; }
    HRESULT GetCurrentImage(BYTE** dib) override
    {
        *dib = static_cast<BYTE*>(CoTaskMemAlloc(dib_.size()));
        std::memcpy(*dib, dib_.data(), dib_.size());
        return S_OK;
    }
    HRESULT SetBorderColor(COLORREF) override { return E_NOTIMPL; }
    HRESULT GetBorderColor(COLORREF*) override { return E_NOTIMPL; }

private:
    LONG w_;
    LONG h_;
    std::vector<BYTE> dib_;
};

// A 32-bit bottom-up DIB of `frame` whose header claims headerSize bytes
// (the bytes past 40 are filler that must not be read as pixels).
std::vector<BYTE> DibOf(const Frame& frame, DWORD headerSize)
{
    BITMAPINFOHEADER header{};
    header.biSize = headerSize;
    header.biWidth = frame.width;
    header.biHeight = frame.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<BYTE> dib(headerSize + frame.pixels.size() * 4, 0xEE);
    std::memcpy(dib.data(), &header, sizeof header);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(dib.data() + headerSize + static_cast<std::size_t>(y) * frame.width * 4,
                    &frame.pixels[static_cast<std::size_t>(frame.height - 1 - y) * frame.width],
                    static_cast<std::size_t>(frame.width) * 4);
    return dib;
}

vcl::PixelBuffer Decoded(const std::string& hostPath)
{
    std::ifstream file(hostPath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    vcl::TJPEGImage jpeg;
    jpeg.LoadFromMemory(bytes.data(), bytes.size());
    return jpeg.Bitmap().Pixels();
}

// A page shrunk by `factor` (nearest), for a picture a person can open.
vcl::PixelBuffer Shrunk(const vcl::PixelBuffer& page, int factor)
{
    vcl::PixelBuffer out(page.Width() / factor, page.Height() / factor);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            out.SetPixel(x, y, page.Pixel(x * factor, y * factor));
    return out;
}

} // namespace

TEST(StillCrop, EachChannelViewCutsItsPartOfThePicture)
{
    struct Row {
        std::int32_t mode;
        int w, h;
        StillCrop crop;
    };
    const Row rows[] = {
        {2, 1280, 960, {1280, 480, vcl::Bounds(0, 0, 1280, 480)}},
        {4, 1280, 960, {1280, 960, vcl::Bounds(0, 0, 1280, 960)}},
        {11, 1280, 960, {1280, 960, vcl::Bounds(0, 0, 640, 480)}},
        {12, 1280, 960, {1280, 960, vcl::Bounds(640, 0, 640, 480)}},
        {13, 1280, 960, {1280, 960, vcl::Bounds(0, 480, 640, 480)}},
        {14, 1280, 960, {1280, 960, vcl::Bounds(640, 480, 640, 480)}},
        // Odd sizes: the halves truncate.
        {2, 321, 241, {321, 120, vcl::Bounds(0, 0, 321, 120)}},
        {14, 321, 241, {321, 241, vcl::Bounds(160, 120, 160, 120)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("mode " + std::to_string(row.mode) + " " + std::to_string(row.w) + "x" + std::to_string(row.h));
        StillCrop crop;
        ASSERT_TRUE(StillCropFor(row.mode, row.w, row.h, crop));
        EXPECT_EQ(crop, row.crop);
    }
    StillCrop untouched{1, 2, vcl::Bounds(3, 4, 5, 6)};
    for (auto [mode, w, h] : {std::tuple{0, 640, 480}, {3, 640, 480}, {15, 640, 480}, {4, 1, 480}, {11, 640, 0}}) {
        SCOPED_TRACE("refused: mode " + std::to_string(mode) + " " + std::to_string(w) + "x" + std::to_string(h));
        StillCrop crop = untouched;
        EXPECT_FALSE(StillCropFor(mode, w, h, crop));
        EXPECT_EQ(crop, untouched);
    }
}

TEST(StillPrint, ThePictureTakesTheLargestFourToThreeRectangleOfThePage)
{
    struct Row {
        int pw, ph;
        std::int32_t mode;
        vcl::TRect rect;
    };
    const Row rows[] = {
        // Higher than 4:3 is wide: full height, centred across.
        {4960, 3508, 4, vcl::TRect(142, 1, 4817, 3507)},
        {4960, 3508, 2, vcl::TRect(142, 1, 4817, 1753)},
        // Large pages: 5120 x 3840 at most.
        {6000, 4500, 4, vcl::TRect(441, 1, 5559, 3839)},
        {6000, 4500, 13, vcl::TRect(441, 1, 5559, 3839)},
        // Taller than 4:3: the whole width, from one pixel in.
        {3508, 4960, 4, vcl::TRect(1, 1, 3507, 2630)},
        {3508, 2631, 11, vcl::TRect(1, 1, 3507, 2630)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.pw) + "x" + std::to_string(row.ph) + " mode " + std::to_string(row.mode));
        EXPECT_EQ(StillPrintRect(row.pw, row.ph, row.mode), row.rect);
    }
}

class Stills : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        asfwriter::SampleOptions options;
        options.seconds = 1;
        options.framesPerSecond = 5;
        options.width = kWidth;
        options.height = kHeight;
        options.distinctFrames = 1;
        asfwriter::WriteSampleRecording(Host("DATA/20240517_100000.ASF"), options);
        std::filesystem::create_directories(card + "/Stills");
        previousPrinter = vcl::InstallPrinterBackend(&printer);
        driver = std::make_unique<vcl::TestDriver>(*application, &clock);
        driver->OnFailure = [](const std::string& text) { ADD_FAILURE() << "driver: " << text; };
        gdiBefore = win::LiveGdiHandles();
    }
    void TearDown() override
    {
        EXPECT_EQ(win::LiveGdiHandles(), gdiBefore) << "GDI handles outlived the operation";
        EXPECT_FALSE(vcl::Printer()->Printing());
        if (vcl::Printer()->Printing())
            vcl::Printer()->Abort();
        driver.reset();
        vcl::InstallPrinterBackend(previousPrinter);
        DisplayTest::TearDown();
    }

    // The pane with the mosaic recording cued.
    void Cue()
    {
        BuildIn(kVideoPanels[0].width, kVideoPanels[0].height);
        ASSERT_EQ(pane->PrepareMedia(kMosaic), S_OK);
    }

    vcl::RecordingPrinter printer;
    vcl::PrinterBackend* previousPrinter = nullptr;
    std::unique_ptr<vcl::TestDriver> driver;
    int gdiBefore = 0;
};

TEST_F(Stills, EachViewSavesItsCropAsAJpegOfTheStillSize)
{
    Cue();
    const Frame frame = CurrentImage(pane->WindowlessControl);
    ASSERT_EQ(frame.width, kWidth);
    for (std::int32_t mode : kModes) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        pane->ShowChanel(mode);
        const std::string name = "still_" + std::to_string(mode) + ".jpg";
        const UnicodeString path = UnicodeString(u"E:\\Stills\\") + UnicodeString(name.c_str());
        ASSERT_TRUE(pane->SaveBMP(path, false));
        EXPECT_EQ(win::LiveGdiHandles(), gdiBefore);

        const vcl::PixelBuffer still = Decoded(Host("Stills/" + name));
        StillCrop crop;
        ASSERT_TRUE(StillCropFor(mode, kWidth, kHeight, crop));
        EXPECT_EQ(still.Width(), kWidth);
        EXPECT_EQ(still.Height(), mode == 2 ? kHeight / 2 : kHeight);
        const Error e = Compare(still, frame, crop.source);
        EXPECT_LT(e.mean, 3.0) << "worst " << e.worst;
        std::filesystem::copy_file(Host("Stills/" + name), SnapshotPath(name),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    for (const std::string& line : LogTexts())
        EXPECT_NE(line.rfind("TPlayControl::SaveBMP ERROR:", 0), 0u) << line;
}

TEST_F(Stills, NoFrameOrNoFileGivesFalseAndLeavesNothingBehind)
{
    // No graph (a failed start): no frame.
    Cue();
    Faults::Fail(Fault::GetNativeVideoSize, VFW_E_NOT_CONNECTED);
    EXPECT_FALSE(pane->SaveBMP(u"E:\\Stills\\a.jpg", false));
    Faults::Clear();
    Faults::Fail(Fault::GetCurrentImage, E_FAIL);
    EXPECT_FALSE(pane->SaveBMP(u"E:\\Stills\\a.jpg", false));
    Faults::Clear();
    EXPECT_FALSE(std::filesystem::exists(Host("Stills/a.jpg")));

    // A folder that does not exist: the failure is logged.
    EXPECT_FALSE(pane->SaveBMP(u"E:\\Missing\\a.jpg", false));
    bool logged = false;
    for (const std::string& line : TaggedLog())
        logged = logged || line.rfind("[Error] TPlayControl::SaveBMP ERROR:", 0) == 0;
    EXPECT_TRUE(logged);
    EXPECT_EQ(win::LiveGdiHandles(), gdiBefore);
}

TEST_F(Stills, TheBitsAreFoundFromTheHeadersOwnSize)
{
    Cue();
    const Frame frame = SyntheticFrame(160, 120, 7);
    // A longer header (as a version 5 header is): its extra bytes are no
    // pixels.
    HandMadeImage image(160, 120, DibOf(frame, 124));
    bool saved = false;
    {
        const test_support::ScopedValue<IVMRWindowlessControl9*> standIn(pane->WindowlessControl, &image);
        ChannelMode = 4;
        saved = pane->SaveBMP(u"E:\\Stills\\long.jpg", false);
    }
    ASSERT_TRUE(saved);
    const vcl::PixelBuffer still = Decoded(Host("Stills/long.jpg"));
    const Error e = Compare(still, frame, vcl::Bounds(0, 0, 160, 120));
    EXPECT_LT(e.mean, 3.0) << "worst " << e.worst;

    // Headers we cannot read are refused, not guessed at.
    std::vector<BYTE> shortHeader = DibOf(frame, 40);
    reinterpret_cast<BITMAPINFOHEADER*>(shortHeader.data())->biSize = 12;
    std::vector<BYTE> shortImage = DibOf(frame, 40);
    reinterpret_cast<BITMAPINFOHEADER*>(shortImage.data())->biSizeImage = 100;
    for (auto& [name, dib] : {std::pair{"header of 12 bytes", shortHeader}, {"image size too small", shortImage}}) {
        SCOPED_TRACE(name);
        HandMadeImage bad(160, 120, dib);
        const test_support::ScopedValue<IVMRWindowlessControl9*> standIn(pane->WindowlessControl, &bad);
        EXPECT_FALSE(pane->SaveBMP(u"E:\\Stills\\bad.jpg", false));
    }
    EXPECT_FALSE(std::filesystem::exists(Host("Stills/bad.jpg")));
}

TEST_F(Stills, TheCropStaysInsideAPictureSmallerThanTheVideo)
{
    Cue();
    // The renderer says 640 x 480 but hands out 64 x 48: the lower right
    // camera is cut from the picture there is.
    const Frame frame = SyntheticFrame(64, 48, 0);
    HandMadeImage image(640, 480, DibOf(frame, 40));
    bool saved = false;
    {
        const test_support::ScopedValue<IVMRWindowlessControl9*> standIn(pane->WindowlessControl, &image);
        ChannelMode = 14;
        saved = pane->SaveBMP(u"E:\\Stills\\small.jpg", false);
    }
    ASSERT_TRUE(saved);
    const vcl::PixelBuffer still = Decoded(Host("Stills/small.jpg"));
    ASSERT_EQ(still.Width(), 640);
    ASSERT_EQ(still.Height(), 480);
    const Error e = Compare(still, frame, vcl::Bounds(32, 24, 32, 24));
    EXPECT_LT(e.mean, 3.0) << "worst " << e.worst;
}

TEST_F(Stills, APrintedStillFillsItsRectangleOnALandscapePage)
{
    Cue();
    const Frame frame = CurrentImage(pane->WindowlessControl);
    printer.SetPortraitPage(3508, 4960);
    struct Row {
        std::int32_t mode;
        vcl::TRect rect;
    };
    for (const Row& row : {Row{4, vcl::TRect(142, 1, 4817, 3507)}, Row{2, vcl::TRect(142, 1, 4817, 1753)}}) {
        SCOPED_TRACE("mode " + std::to_string(row.mode));
        pane->ShowChanel(row.mode);
        printer.Pages.clear();
        driver->AnswerPrintDialog(true);
        ASSERT_TRUE(pane->SaveBMP(u"240517100000_20240517_100000.jpg", true));
        ASSERT_EQ(printer.Pages.size(), 1u);
        const vcl::PrintedPage& page = printer.Pages[0];
        EXPECT_EQ(page.title, u"240517100000_20240517_100000.jpg");
        EXPECT_EQ(page.orientation, vcl::poLandscape);
        EXPECT_EQ(page.pixels.Width(), 4960);
        EXPECT_EQ(page.pixels.Height(), 3508);
        ASSERT_EQ(page.pictures.size(), 1u);
        EXPECT_EQ(page.pictures[0].rect, row.rect);
        EXPECT_EQ(page.pictures[0].width, kWidth);
        EXPECT_EQ(page.pictures[0].height, row.mode == 2 ? kHeight / 2 : kHeight);
        EXPECT_FALSE(page.pictures[0].jpeg.empty());
        // White outside, the upper left camera inside.
        EXPECT_EQ(page.pixels.ColorAt(row.rect.Left - 1, 100), vcl::clWhite);
        EXPECT_EQ(page.pixels.ColorAt(row.rect.Right + 1, 100), vcl::clWhite);
        const std::uint32_t camera = page.pixels.Pixel(row.rect.Left + 40, row.rect.Top + 40);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((camera >> shift) & 0xFF), int((frame.At(2, 2) >> shift) & 0xFF), 8);
        if (row.mode == 4)
            vcl::PngWriter::Save(Shrunk(page.pixels, 4), SnapshotPath("printed_page.png"));
    }
    EXPECT_EQ(driver->PendingDialogAnswers(), 0);
}

TEST_F(Stills, ACancelledPrintIsNoFailureAndAFailedOneIsAborted)
{
    Cue();
    driver->AnswerPrintDialog(false);
    EXPECT_TRUE(pane->SaveBMP(u"title", true));
    EXPECT_TRUE(printer.Pages.empty());
    EXPECT_EQ(printer.Started, 0);

    // The printer fails while the still is drawn: the job is thrown away...
    driver->AnswerPrintDialog(true);
    printer.FailNext(vcl::RecordingPrinter::Step::AddPicture);
    EXPECT_FALSE(pane->SaveBMP(u"title", true));
    EXPECT_EQ(printer.Aborted, 1);
    EXPECT_FALSE(vcl::Printer()->Printing());
    EXPECT_EQ(CountLogged("TPlayControl::SaveBMP ERROR:Printing failed"), 1);
    EXPECT_EQ(win::LiveGdiHandles(), gdiBefore);

    // ...so the next print comes out.
    driver->AnswerPrintDialog(true);
    EXPECT_TRUE(pane->SaveBMP(u"title", true));
    EXPECT_EQ(printer.Pages.size(), 1u);
}

} // namespace playback_test
