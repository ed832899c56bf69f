// The system's printers through CUPS: the print dialog offers them and a
// "PDF" choice; a job is drawn as a one-page PDF (PdfPage.h) and submitted
// to the chosen printer with the job's title, or written to a PDF file
// in the home folder named after the title.
//
// Every talk with the print server has a timeout: when none answers, the
// printer list holds only "PDF" and a job fails at once (TPrinter raises
// EPrinter), never hangs. The reason goes to the debugger output.
//
// The first choice: the printer named by VELMORASTINE_PRINTER ("PDF" for
// the file), else the system's default printer, else "PDF".
#pragma once

#include <string>
#include <vector>

#include "platform/backends/cups/PdfPrinter.h"
#include "platform/vcl/PrinterBackend.h"

namespace backends::cups {

inline constexpr char kPdfChoice[] = "PDF";

class CupsPrinter : public vcl::PrinterBackend {
public:
    // timeoutMs bounds each wait for the server (connecting, each answer).
    explicit CupsPrinter(int timeoutMs = 1000) : FTimeoutMs(timeoutMs) {}

    // The print server to talk to, for the calling thread (the system's by
    // default: CUPS_SERVER, client.conf, the local scheduler; an empty host
    // goes back to it).
    void SetServer(const std::string& host, int port);
    // The folder that "PDF" writes to (the home folder by default).
    void SetPdfFolder(std::string folder) { FPdfFolder = std::move(folder); }

    // The system's printers, then "PDF"; chosen is the index of the current
    // choice.
    std::vector<std::string> Choices(int& chosen);
    void Choose(const std::string& name) { FChosen = name; }
    // The current choice (decided on first use).
    const std::string& Chosen();
    // Why the last job failed.
    const std::string& LastError() const { return FError; }
    // The file the last "PDF" job wrote.
    const std::string& LastPdf() const { return FPdf.Path(); }

    vcl::PageExtent PageSize(vcl::TPrinterOrientation orientation) override;
    bool StartDoc(const rtl::UnicodeString& title, vcl::TPrinterOrientation orientation) override;
    bool AddPicture(const vcl::PrintedPicture& picture) override;
    bool EndDoc(const vcl::PrintedPage& page) override;
    void AbortDoc() override {}

private:
    struct Printers {
        std::vector<std::string> names;
        std::string fallback; // the server's default printer, if any
    };
    Printers AskServer();
    bool Submit(const vcl::PrintedPage& page);
    bool Fail(std::string reason);

    int FTimeoutMs;
    std::string FPdfFolder;
    std::string FChosen;
    std::string FError;
    PdfPrinter FPdf;
};

} // namespace backends::cups
