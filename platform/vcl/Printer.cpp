#include "platform/vcl/Printer.h"

#include "platform/vcl/JPEGImage.h"

namespace vcl {

namespace {

const char16_t kInProgress[] = u"Printing in progress";
const char16_t kNotPrinting[] = u"Printer is not currently printing";
const char16_t kFailed[] = u"Printing failed";

} // namespace

TPrinter::TPrinter()
{
    FCanvas.OnDrawGraphic = [this](const TRect& rect, const TGraphic& graphic) { PictureDrawn(rect, graphic); };
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    if (FPrinting)
        throw EPrinter(kInProgress);
    FOrientation = orientation;
}

int TPrinter::PageWidth() const { return CurrentPrinterBackend().PageSize(FOrientation).width; }

int TPrinter::PageHeight() const { return CurrentPrinterBackend().PageSize(FOrientation).height; }

void TPrinter::BeginDoc()
{
    if (FPrinting)
        throw EPrinter(kInProgress);
    PrinterBackend& backend = CurrentPrinterBackend();
    const PageExtent page = backend.PageSize(FOrientation);
    if (!backend.StartDoc(FTitle, FOrientation))
        throw EPrinter(kFailed);
    FPage.Resize(page.width, page.height, PixelBuffer::FromColor(clWhite));
    FPictures.clear();
    FCanvas = TCanvas(&FPage);
    FCanvas.OnDrawGraphic = [this](const TRect& rect, const TGraphic& graphic) { PictureDrawn(rect, graphic); };
    FPrinting = true;
    FAborted = false;
}

void TPrinter::PictureDrawn(const TRect& rect, const TGraphic& graphic)
{
    if (!FPrinting)
        return;
    PrintedPicture picture{rect, graphic.Width(), graphic.Height(), {}};
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic))
        picture.jpeg = jpeg->Data();
    if (!CurrentPrinterBackend().AddPicture(picture))
        throw EPrinter(kFailed);
    FPictures.push_back(std::move(picture));
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw EPrinter(kNotPrinting);
    PrintedPage page{FTitle, FOrientation, std::move(FPage), std::move(FPictures)};
    FPage = PixelBuffer();
    FPictures.clear();
    FCanvas.SetTarget(nullptr);
    FPrinting = false;
    if (!CurrentPrinterBackend().EndDoc(page))
        throw EPrinter(kFailed);
}

void TPrinter::Abort()
{
    if (!FPrinting)
        throw EPrinter(kNotPrinting);
    CurrentPrinterBackend().AbortDoc();
    FPage = PixelBuffer();
    FPictures.clear();
    FCanvas.SetTarget(nullptr);
    FPrinting = false;
    FAborted = true;
}

TPrinter* Printer()
{
    static TPrinter printer;
    return &printer;
}

} // namespace vcl
