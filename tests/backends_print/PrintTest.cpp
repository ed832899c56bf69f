// Printing for real: a still printed through the PDF printer arrives as a
// one-page landscape PDF holding the JPEG itself (read back with poppler's
// tools; skipped without them), a page with more than the picture keeps it,
// and a print server that does not answer fails the job at once.
#include "DisplayFixture.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/backends/cups/CupsPrinter.h"
#include "platform/backends/cups/PdfPrinter.h"
#include "platform/vcl/JPEGImage.h"
#include "platform/vcl/Printer.h"
#include "platform/vcl/TestDriver.h"
#include "tools/asfwriter/SampleRecording.h"

namespace backends_print_test {

namespace {

using backends::cups::CupsPrinter;
using backends::cups::PdfPrinter;
using playback_test::DisplayTest;
using playback_test::kVideoPanels;

constexpr char16_t kTitle[] = u"240517100000_20240517_100000.jpg";

std::string Shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

bool HavePoppler()
{
    return std::system("command -v pdfinfo >/dev/null 2>&1 && command -v pdfimages >/dev/null 2>&1 && "
                       "command -v pdftoppm >/dev/null 2>&1") == 0;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// One value of pdfinfo's "Key: value" lines.
std::string Info(const std::string& pdf, const std::string& key)
{
    std::istringstream lines(Shell("pdfinfo '" + pdf + "'"));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ":", 0) == 0) {
            const std::size_t start = line.find_first_not_of(' ', key.size() + 1);
            return start == std::string::npos ? "" : line.substr(start);
        }
    return "";
}

struct Image {
    int width = 0;
    int height = 0;
    std::string encoding;
};

// pdfimages -list: two header lines, then page num type width height color
// comp bpc enc ...
std::vector<Image> Images(const std::string& pdf)
{
    std::istringstream lines(Shell("pdfimages -list '" + pdf + "'"));
    std::vector<Image> images;
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream row(line);
        int page = 0, num = 0, comp = 0, bpc = 0;
        std::string type, color;
        Image image;
        if (row >> page >> num >> type >> image.width >> image.height >> color >> comp >> bpc >> image.encoding)
            images.push_back(image);
    }
    return images;
}

// A closed port on this machine: bound, then let go.
int ClosedPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

// A server that takes connections (the kernel does) and never answers.
class SilentServer {
public:
    SilentServer()
    {
        FSocket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(FSocket, 8);
        getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length);
        FPort = ntohs(address.sin_port);
    }
    ~SilentServer() { close(FSocket); }
    int Port() const { return FPort; }

private:
    int FSocket = -1;
    int FPort = 0;
};

// A small JPEG of two colours.
vcl::TJPEGImage TwoColours()
{
    vcl::TBitmap bitmap;
    bitmap.SetSize(64, 48);
    bitmap.Canvas()->Brush.Color = vcl::clRed;
    bitmap.Canvas()->FillRect(vcl::TRect(0, 0, 32, 48));
    bitmap.Canvas()->Brush.Color = vcl::clBlue;
    bitmap.Canvas()->FillRect(vcl::TRect(32, 0, 64, 48));
    vcl::TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    return jpeg;
}

// Installs a printer back end for the test's lifetime.
class UsePrinter {
public:
    explicit UsePrinter(vcl::PrinterBackend* backend) : FPrevious(vcl::SetPrinterBackend(backend)) {}
    ~UsePrinter()
    {
        if (vcl::Printer()->Printing())
            vcl::Printer()->Abort();
        vcl::SetPrinterBackend(FPrevious);
    }

private:
    vcl::PrinterBackend* FPrevious;
};

std::string TempFolder(const std::string& name)
{
    const std::string folder = std::string(VM_BINARY_DIR) + "/test_output/backends_print/" + name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void PrintOnePage(const vcl::TJPEGImage& jpeg, bool withLine)
{
    vcl::TPrinter* printer = vcl::Printer();
    printer->SetTitle(kTitle);
    printer->SetOrientation(vcl::poLandscape);
    printer->BeginDoc();
    if (withLine) {
        printer->Canvas()->Brush.Color = vcl::clBlack;
        printer->Canvas()->FillRect(vcl::TRect(100, 2300, 3000, 2320));
    }
    printer->Canvas()->StretchDraw(vcl::TRect(200, 200, 2600, 2000), &jpeg);
    printer->EndDoc();
}

class PrintedStills : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        asfwriter::SampleOptions options;
        options.seconds = 1;
        options.framesPerSecond = 5;
        options.width = 320;
        options.height = 240;
        options.distinctFrames = 1;
        asfwriter::WriteSampleRecording(Host("DATA/20240517_100000.ASF"), options);
        std::filesystem::create_directories(card + "/Stills");
        driver = std::make_unique<vcl::TestDriver>(*application, &clock);
        driver->OnFailure = [](const std::string& text) { ADD_FAILURE() << "driver: " << text; };
    }
    void TearDown() override
    {
        driver.reset();
        DisplayTest::TearDown();
    }
    std::unique_ptr<vcl::TestDriver> driver;
};

} // namespace

TEST_F(PrintedStills, AStillPrintsAsOneLandscapePdfPageHoldingTheJpegItself)
{
    if (!HavePoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdfimages, pdftoppm) not installed";
    const std::string folder = TempFolder("still");
    PdfPrinter pdf(folder + "/still.pdf");
    UsePrinter use(&pdf);

    BuildIn(kVideoPanels[0].width, kVideoPanels[0].height);
    ASSERT_EQ(pane->PrepareMedia(u"E:\\DATA\\20240517_100000.ASF"), media::S_OK);
    pane->ShowChanel(4);
    ASSERT_TRUE(pane->SaveBMP(u"E:\\Stills\\same.jpg", false));
    driver->AnswerPrintDialog(true);
    ASSERT_TRUE(pane->SaveBMP(kTitle, true)) << pdf.LastError();
    ASSERT_TRUE(std::filesystem::exists(pdf.Path()));

    EXPECT_EQ(Info(pdf.Path(), "Pages"), "1");
    EXPECT_EQ(Info(pdf.Path(), "Title"), "240517100000_20240517_100000.jpg");
    double width = 0, height = 0;
    std::istringstream size(Info(pdf.Path(), "Page size"));
    std::string by; // "841.92 x 595.2 pts (A4)"
    size >> width >> by >> height;
    EXPECT_NEAR(width, 841.92, 0.5);
    EXPECT_NEAR(height, 595.2, 0.5);
    const std::vector<Image> images = Images(pdf.Path());
    ASSERT_EQ(images.size(), 1u) << "the page's pixels went in beside the JPEG";
    EXPECT_EQ(images[0].encoding, "jpeg");
    EXPECT_EQ(images[0].width, 320);
    EXPECT_EQ(images[0].height, 240);

    // The very bytes of the still.
    Shell("pdfimages -j '" + pdf.Path() + "' '" + folder + "/image'");
    const std::string embedded = Slurp(folder + "/image-000.jpg");
    EXPECT_FALSE(embedded.empty());
    EXPECT_TRUE(embedded == Slurp(Host("Stills/same.jpg"))) << "the PDF holds another picture than the still";

    Shell("pdftoppm -png -r 40 -singlefile '" + pdf.Path() + "' '" + SnapshotPath("printed_still_pdf") + "'");
    EXPECT_TRUE(std::filesystem::exists(SnapshotPath("printed_still_pdf.png")));
}

TEST(PdfPages, WhatIsDrawnBesidesTheJpegGoesInAsThePagesPixels)
{
    if (!HavePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    const std::string folder = TempFolder("line");
    PdfPrinter pdf(folder + "/line.pdf");
    UsePrinter use(&pdf);
    PrintOnePage(TwoColours(), true);

    const std::vector<Image> images = Images(pdf.Path());
    ASSERT_EQ(images.size(), 2u);
    EXPECT_NE(images[0].encoding, "jpeg");
    EXPECT_EQ(images[0].width, 3508);
    EXPECT_EQ(images[0].height, 2480);
    EXPECT_EQ(images[1].encoding, "jpeg");
    EXPECT_EQ(images[1].width, 64);
    Shell("pdftoppm -png -r 40 -singlefile '" + pdf.Path() + "' '" + folder + "/line'");
}

TEST(PdfPages, AFileThatCannotBeWrittenFailsTheJob)
{
    PdfPrinter pdf;
    UsePrinter use(&pdf);
    // No file at all: refused at the start.
    EXPECT_THROW(PrintOnePage(TwoColours(), false), vcl::EPrinter);
    EXPECT_FALSE(vcl::Printer()->Printing());

    pdf.SetPath(TempFolder("nofolder") + "/missing/page.pdf");
    EXPECT_THROW(PrintOnePage(TwoColours(), false), vcl::EPrinter);
    EXPECT_FALSE(vcl::Printer()->Printing());
    EXPECT_NE(pdf.LastError().find("missing/page.pdf"), std::string::npos) << pdf.LastError();
}

TEST(CupsPrinting, NoPrintServerLeavesOnlyPdfAndFailsTheJobAtOnce)
{
    CupsPrinter cups(2000);
    cups.SetServer("127.0.0.1", ClosedPort());
    int chosen = -1;
    EXPECT_EQ(cups.Choices(chosen), std::vector<std::string>{backends::cups::kPdfChoice});
    EXPECT_EQ(chosen, 0);

    UsePrinter use(&cups);
    cups.Choose("Office");
    EXPECT_THROW(PrintOnePage(TwoColours(), false), vcl::EPrinter);
    EXPECT_FALSE(vcl::Printer()->Printing());
    EXPECT_NE(cups.LastError().find("no print server answers"), std::string::npos) << cups.LastError();
}

TEST(CupsPrinting, AServerThatNeverAnswersFailsTheJobAfterTheTimeout)
{
    SilentServer server;
    CupsPrinter cups(300);
    cups.SetServer("127.0.0.1", server.Port());
    int chosen = -1;
    EXPECT_EQ(cups.Choices(chosen), std::vector<std::string>{backends::cups::kPdfChoice});
    cups.Choose("Office");
    UsePrinter use(&cups);
    EXPECT_THROW(PrintOnePage(TwoColours(), false), vcl::EPrinter);
    EXPECT_FALSE(vcl::Printer()->Printing());
    EXPECT_NE(cups.LastError().find("Office"), std::string::npos) << cups.LastError();
}

TEST(CupsPrinting, ThePdfChoiceWritesAFileNamedAfterTheTitle)
{
    const std::string folder = TempFolder("choice");
    CupsPrinter cups(2000);
    cups.SetServer("127.0.0.1", ClosedPort());
    cups.SetPdfFolder(folder);
    cups.Choose(backends::cups::kPdfChoice);
    UsePrinter use(&cups);
    PrintOnePage(TwoColours(), false);
    EXPECT_EQ(cups.LastPdf(), folder + "/240517100000_20240517_100000.pdf");
    EXPECT_TRUE(std::filesystem::exists(cups.LastPdf()));
}

} // namespace backends_print_test

namespace backends_print_test {

// Against a real scheduler, named by VELMORASTINE_TEST_CUPS ("host:port",
// skipped without it) with a default printer: the printers are offered
// with the default chosen, and a job is taken.
TEST(CupsPrinting, ARealSchedulerListsItsPrintersAndTakesTheJob)
{
    const char* server = std::getenv("VELMORASTINE_TEST_CUPS");
    const std::string at = server ? server : "";
    const std::size_t colon = at.rfind(':');
    if (colon == std::string::npos)
        GTEST_SKIP() << "VELMORASTINE_TEST_CUPS (host:port of a scheduler) not set";
    CupsPrinter cups(5000);
    cups.SetServer(at.substr(0, colon), std::atoi(at.c_str() + colon + 1));
    int chosen = -1;
    const std::vector<std::string> names = cups.Choices(chosen);
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names.back(), backends::cups::kPdfChoice);
    ASSERT_GE(chosen, 0);
    EXPECT_LT(chosen, static_cast<int>(names.size()) - 1) << "no default printer chosen";
    UsePrinter use(&cups);
    EXPECT_NO_THROW(PrintOnePage(TwoColours(), false)) << cups.LastError();
    EXPECT_EQ(cups.LastError(), "");
}

} // namespace backends_print_test
