#include "platform/backends/cups/PdfPrinter.h"

#include "platform/backends/cups/PdfPage.h"

namespace backends::cups {

vcl::PageExtent PdfPrinter::PageSize(vcl::TPrinterOrientation orientation) { return A4Page(orientation); }

bool PdfPrinter::StartDoc(const rtl::UnicodeString&, vcl::TPrinterOrientation)
{
    FError.clear();
    if (FPath.empty())
        FError = "no file to print to";
    return FError.empty();
}

bool PdfPrinter::AddPicture(const vcl::PrintedPicture&) { return true; }

bool PdfPrinter::EndDoc(const vcl::PrintedPage& page) { return WritePdfPage(FPath, page, FError); }

} // namespace backends::cups
