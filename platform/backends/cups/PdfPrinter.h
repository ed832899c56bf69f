// A printer that writes each job as a one-page PDF file (PdfPage.h): the
// "PDF" choice of the print dialog, and the printer of the back end tests.
#pragma once

#include <string>

#include "platform/vcl/PrinterBackend.h"

namespace backends::cups {

class PdfPrinter : public vcl::PrinterBackend {
public:
    explicit PdfPrinter(std::string path = {}) : FPath(std::move(path)) {}
    // The file the next job writes; a job without one is refused.
    void SetPath(std::string path) { FPath = std::move(path); }
    const std::string& Path() const { return FPath; }
    // Why the last job failed.
    const std::string& LastError() const { return FError; }

    vcl::PageExtent PageSize(vcl::TPrinterOrientation orientation) override;
    bool StartDoc(const rtl::UnicodeString& title, vcl::TPrinterOrientation orientation) override;
    bool AddPicture(const vcl::PrintedPicture& picture) override;
    bool EndDoc(const vcl::PrintedPage& page) override;
    void AbortDoc() override {}

private:
    std::string FPath;
    std::string FError;
};

} // namespace backends::cups
