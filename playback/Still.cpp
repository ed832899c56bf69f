// Still pictures and printing: the current frame, cut out as the channel
// view shows it, compressed as JPEG and saved or printed.
#include "playback/Still.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "playback/PlayLog.h"
#include "playback/VideoView.h"
#include "platform/win/Gdi.h"

using namespace playback;

namespace playback {

bool StillCropFor(std::int32_t mode, int width, int height, StillCrop& crop)
{
    if (width < 2 || height < 2)
        return false;
    const int w = width;
    const int h = height;
    StillCrop c{w, h, {}};
    switch (mode) {
    case 2:
        c.height = h / 2;
        c.source = vcl::Bounds(0, 0, w, h / 2);
        break;
    case 4:
        c.source = vcl::Bounds(0, 0, w, h);
        break;
    case 11:
        c.source = vcl::Bounds(0, 0, w / 2, h / 2);
        break;
    case 12:
        c.source = vcl::Bounds(w / 2, 0, w / 2, h / 2);
        break;
    case 13:
        c.source = vcl::Bounds(0, h / 2, w / 2, h / 2);
        break;
    case 14:
        c.source = vcl::Bounds(w / 2, h / 2, w / 2, h / 2);
        break;
    default:
        return false;
    }
    crop = c;
    return true;
}

vcl::TRect StillPrintRect(int pageWidth, int pageHeight, std::int32_t mode)
{
    // The printer's 4:3 factor, to nine decimals as the page layout has
    // always used it.
    constexpr double kAspect = 1.333333333;
    const int pw = pageWidth;
    const int ph = pageHeight;
    int w = 0;
    int h = 0;
    if (pw >= 5120 && ph >= 3840) {
        w = 5120;
        h = 3840;
    } else if (ph < static_cast<int>(pw / kAspect)) {
        w = static_cast<int>(ph * kAspect);
        h = ph;
    } else {
        w = pw;
        h = static_cast<int>(pw / kAspect);
    }
    if (mode == 2)
        h /= 2;
    int x = (pw - w) / 2;
    if (x < 0)
        x = 0;
    return vcl::TRect(x + 1, 1, x + w - 1, h - 1);
}

} // namespace playback

namespace {

// The renderer's headers are at most this long; anything longer is no
// picture we can read.
constexpr win::DWORD kMaxHeaderSize = 1024;
constexpr win::DWORD kMaxColourEntries = 256;

// Everything a still holds while it is made, given back however the
// operation leaves.
struct StillParts {
    win::BYTE* image = nullptr; // the renderer's, task memory
    win::HDC screen = nullptr;
    win::HDC sourceDc = nullptr;
    win::HDC stillDc = nullptr;
    win::HBITMAP source = nullptr;
    win::HBITMAP still = nullptr;
    win::HGDIOBJ sourceStock = nullptr;
    win::HGDIOBJ stillStock = nullptr;

    StillParts() = default;
    StillParts(const StillParts&) = delete;
    StillParts& operator=(const StillParts&) = delete;
    ~StillParts()
    {
        if (sourceDc && sourceStock)
            win::SelectObject(sourceDc, sourceStock);
        if (stillDc && stillStock)
            win::SelectObject(stillDc, stillStock);
        if (sourceDc)
            win::DeleteDC(sourceDc);
        if (stillDc)
            win::DeleteDC(stillDc);
        if (source)
            win::DeleteObject(source);
        if (still)
            win::DeleteObject(still);
        if (screen)
            win::ReleaseDC(nullptr, screen);
        if (image)
            win::CoTaskMemFree(image);
    }
};

// The renderer's picture as a DIB we can read: the header's own size (and
// any colour table it states) says where the bits begin, and a stated
// image size that is too small for the rows is refused. False for anything
// else than an uncompressed 24- or 32-bit picture.
bool ReadableImage(const win::BYTE* image, win::BITMAPINFO& info, const win::BYTE*& bits)
{
    win::BITMAPINFOHEADER header;
    std::memcpy(&header, image, sizeof header);
    if (header.biSize < sizeof(win::BITMAPINFOHEADER) || header.biSize > kMaxHeaderSize ||
        header.biClrUsed > kMaxColourEntries || header.biPlanes != 1 || header.biCompression != win::BI_RGB ||
        (header.biBitCount != 24 && header.biBitCount != 32) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == INT32_MIN)
        return false;
    const std::uint64_t height = header.biHeight < 0 ? -std::int64_t(header.biHeight) : header.biHeight;
    const std::uint64_t stride = (std::uint64_t(header.biWidth) * (header.biBitCount / 8) + 3) & ~std::uint64_t(3);
    if (header.biSizeImage != 0 && header.biSizeImage < stride * height)
        return false;
    info = win::BITMAPINFO{};
    info.bmiHeader = header;
    info.bmiHeader.biSize = sizeof(win::BITMAPINFOHEADER);
    bits = image + header.biSize + std::size_t(header.biClrUsed) * sizeof(win::RGBQUAD);
    return true;
}

} // namespace

bool TPlayControl::SaveBMP(const UnicodeString& name, bool print)
{
    StillParts parts;
    try {
        auto jpeg = std::make_unique<TJPEGImage>();
        jpeg->SetCompressionQuality(100);
        jpeg->SetPixelFormat(jf24Bit);

        if (!WindowlessControl)
            return false;
        win::LONG w = 0;
        win::LONG h = 0;
        if (win::FAILED(WindowlessControl->GetNativeVideoSize(&w, &h, nullptr, nullptr)))
            return false;
        if (win::FAILED(WindowlessControl->GetCurrentImage(&parts.image)) || parts.image == nullptr)
            return false;

        win::BITMAPINFO info;
        const win::BYTE* bits = nullptr;
        if (!ReadableImage(parts.image, info, bits))
            return false;
        // The cut-out follows the picture's own size, so it never reaches
        // past the picture when the renderer's size says otherwise.
        const int pictureWidth = info.bmiHeader.biWidth;
        const int pictureHeight = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
        StillCrop crop;
        StillCrop size;
        if (!StillCropFor(ChannelMode, pictureWidth, pictureHeight, crop) || !StillCropFor(ChannelMode, w, h, size))
            return false;

        parts.screen = win::GetDC(nullptr);
        parts.source =
            win::CreateDIBitmap(parts.screen, &info.bmiHeader, win::CBM_INIT, bits, &info, win::DIB_RGB_COLORS);
        parts.sourceDc = win::CreateCompatibleDC(parts.screen);
        parts.still = win::CreateCompatibleBitmap(parts.screen, size.width, size.height);
        parts.stillDc = win::CreateCompatibleDC(parts.screen);
        if (!parts.source || !parts.sourceDc || !parts.still || !parts.stillDc)
            throw Exception(u"The still picture could not be made");
        parts.sourceStock = win::SelectObject(parts.sourceDc, parts.source);
        parts.stillStock = win::SelectObject(parts.stillDc, parts.still);
        win::SetStretchBltMode(parts.stillDc, win::COLORONCOLOR);
        if (!win::StretchBlt(parts.stillDc, 0, 0, size.width, size.height, parts.sourceDc, crop.source.Left,
                             crop.source.Top, crop.source.Width(), crop.source.Height(), win::SRCCOPY))
            throw Exception(u"The still picture could not be made");

        win::SelectObject(parts.sourceDc, parts.sourceStock);
        win::SelectObject(parts.stillDc, parts.stillStock);
        parts.sourceStock = parts.stillStock = nullptr;
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetHandle(parts.still);
        parts.still = nullptr; // the framework bitmap took it over
        jpeg->Assign(bitmap.get());

        if (!print) {
            jpeg->SaveToFile(name);
            return true;
        }

        TPrinter* printer = Printer();
        printer->SetTitle(name);
        printer->SetOrientation(poLandscape);
        if (!PrintDialog1->Execute())
            return true;
        const vcl::TRect rect = StillPrintRect(printer->PageWidth(), printer->PageHeight(), ChannelMode);
        printer->BeginDoc();
        try {
            printer->Canvas()->StretchDraw(rect, jpeg.get());
            printer->EndDoc();
        } catch (...) {
            // A job left open would refuse every later print.
            if (printer->Printing())
                printer->Abort();
            throw;
        }
        win::Sleep(500);
        Application->ProcessMessages();
        return true;
    } catch (Exception& e) {
        LogException(u"TPlayControl::SaveBMP", e);
        return false;
    }
}
