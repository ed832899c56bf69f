#include "platform/vcl/RecordingPrinter.h"

#include <algorithm>

namespace vcl {

namespace {

PrinterBackend* TheRecordingPrinter() { return &DefaultRecordingPrinter(); }

constinit host::Seam<PrinterBackend*, host::SeamReaders::UserInterfaceThread> gPrinters(&TheRecordingPrinter);

} // namespace

void RecordingPrinter::SetPortraitPage(int width, int height)
{
    FPortrait = {std::clamp(width, 1, PixelBuffer::MaxSide), std::clamp(height, 1, PixelBuffer::MaxSide)};
}

void RecordingPrinter::FailNext(Step step) { FFailures.push_back(step); }

bool RecordingPrinter::Fails(Step step)
{
    auto it = std::find(FFailures.begin(), FFailures.end(), step);
    if (it == FFailures.end())
        return false;
    FFailures.erase(it);
    return true;
}

PageExtent RecordingPrinter::PageSize(TPrinterOrientation orientation)
{
    return orientation == poLandscape ? PageExtent{FPortrait.height, FPortrait.width} : FPortrait;
}

bool RecordingPrinter::StartDoc(const rtl::UnicodeString&, TPrinterOrientation)
{
    if (Fails(Step::StartDoc))
        return false;
    ++Started;
    return true;
}

bool RecordingPrinter::AddPicture(const PrintedPicture&) { return !Fails(Step::AddPicture); }

bool RecordingPrinter::EndDoc(const PrintedPage& page)
{
    if (Fails(Step::EndDoc))
        return false;
    Pages.push_back(page);
    return true;
}

void RecordingPrinter::AbortDoc() { ++Aborted; }

RecordingPrinter& DefaultRecordingPrinter()
{
    static RecordingPrinter printer;
    return printer;
}

PrinterBackend* InstallPrinterBackend(PrinterBackend* backend) { return gPrinters.Install(backend); }

PrinterBackend& CurrentPrinterBackend() { return *gPrinters.Current(); }

} // namespace vcl
