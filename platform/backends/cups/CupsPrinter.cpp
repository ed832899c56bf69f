#include "platform/backends/cups/CupsPrinter.h"

#include <cups/cups.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/backends/cups/PdfPage.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/DebugOutput.h"

namespace backends::cups {

namespace {

// A connection to the print server that gives up after the timeout, both
// connecting and waiting for answers.
class Connection {
public:
    explicit Connection(int timeoutMs)
    {
        const std::string server = cupsServer();
        const int at = ippPort();
        FHttp = httpConnect2(server.c_str(), at, nullptr, AF_UNSPEC, cupsEncryption(), 1, timeoutMs, nullptr);
        if (!FHttp) {
            FError = "no print server answers at " + server + ":" + std::to_string(at);
            return;
        }
        httpSetTimeout(
            FHttp, timeoutMs / 1000.0, [](http_t*, void*) { return 0; }, nullptr);
    }
    ~Connection()
    {
        if (FHttp)
            httpClose(FHttp);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* Http() const { return FHttp; }
    const std::string& Error() const { return FError; }

private:
    http_t* FHttp = nullptr;
    std::string FError;
};

// The title as a file name: its last path part without extension.
std::string PdfName(const rtl::UnicodeString& title)
{
    std::string name = rtl::ToUtf8(title);
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    if (name.empty() || name == "." || name == "..")
        name = "print";
    return name + ".pdf";
}

// Print-Job on our own connection: the library's job calls would look the
// printer up again over connections of their own, without our timeout.
bool PrintFile(http_t* http, const std::string& printer, const std::string& file, const std::string& title,
               std::string& error)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     printer.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, "application/pdf");
    const std::string resource = "/printers/" + printer;
    ipp_t* response = cupsDoFileRequest(http, request, resource.c_str(), file.c_str()); // frees request
    const bool ok = response && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE &&
        ippFindAttribute(response, "job-id", IPP_TAG_INTEGER);
    if (!ok)
        error = "printer " + printer + ": " + cupsLastErrorString();
    ippDelete(response);
    return ok;
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}

} // namespace

void CupsPrinter::SetServer(const std::string& host, int port)
{
    // CUPS looks the printer up again on its own when it submits a job, so
    // the library's own setting must name the same server.
    cupsSetServer(host.empty() ? nullptr : (host + ":" + std::to_string(port)).c_str());
}

CupsPrinter::Printers CupsPrinter::AskServer()
{
    Printers found;
    Connection server(FTimeoutMs);
    if (!server.Http())
        return found;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(server.Http(), &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance || !dests[i].name)
            continue;
        found.names.emplace_back(dests[i].name);
        if (dests[i].is_default)
            found.fallback = dests[i].name;
    }
    cupsFreeDests(count, dests);
    return found;
}

std::vector<std::string> CupsPrinter::Choices(int& chosen)
{
    Printers printers = AskServer();
    if (FChosen.empty()) {
        const char* wanted = std::getenv("VELMORASTINE_PRINTER");
        FChosen = wanted && *wanted ? wanted : printers.fallback.empty() ? kPdfChoice : printers.fallback;
    }
    std::vector<std::string> names = std::move(printers.names);
    names.emplace_back(kPdfChoice);
    chosen = static_cast<int>(names.size()) - 1;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == FChosen)
            chosen = static_cast<int>(i);
    return names;
}

const std::string& CupsPrinter::Chosen()
{
    if (FChosen.empty()) {
        int chosen = 0;
        Choices(chosen);
    }
    return FChosen;
}

vcl::PageExtent CupsPrinter::PageSize(vcl::TPrinterOrientation orientation) { return A4Page(orientation); }

bool CupsPrinter::Fail(std::string reason)
{
    FError = std::move(reason);
    win::OutputDebugStringA(("Printing failed: " + FError).c_str());
    return false;
}

bool CupsPrinter::StartDoc(const rtl::UnicodeString& title, vcl::TPrinterOrientation orientation)
{
    FError.clear();
    if (Chosen() == kPdfChoice) {
        FPdf.SetPath((FPdfFolder.empty() ? HomeFolder() : FPdfFolder) + "/" + PdfName(title));
        return FPdf.StartDoc(title, orientation) || Fail(FPdf.LastError());
    }
    // Refuse at once when no server answers rather than after drawing.
    Connection server(FTimeoutMs);
    return server.Http() || Fail(server.Error());
}

bool CupsPrinter::AddPicture(const vcl::PrintedPicture&) { return true; }

bool CupsPrinter::EndDoc(const vcl::PrintedPage& page)
{
    if (Chosen() == kPdfChoice)
        return FPdf.EndDoc(page) || Fail(FPdf.LastError());
    return Submit(page);
}

bool CupsPrinter::Submit(const vcl::PrintedPage& page)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string file = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmorastine-print-XXXXXX.pdf";
    const int fd = mkstemps(file.data(), 4);
    if (fd < 0)
        return Fail("cannot make a temporary file in " + file);
    close(fd);
    std::string error;
    bool ok = WritePdfPage(file, page, error);
    if (ok) {
        Connection server(FTimeoutMs);
        if (!server.Http())
            error = server.Error();
        ok = server.Http() && PrintFile(server.Http(), FChosen, file, rtl::ToUtf8(page.title), error);
    }
    unlink(file.c_str());
    return ok || Fail(error);
}

} // namespace backends::cups
