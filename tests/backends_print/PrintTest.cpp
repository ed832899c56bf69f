// Printing for real: a page with more than the picture keeps it beside the
// JPEG (read back with poppler's tools; skipped without them), and a print
// server that does not answer fails the job at once. (A still printed by the
// player: tests/playback_print.)
#include "PrintTools.h"

#include <gtest/gtest.h>
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

namespace backends_print_test {

namespace {

using backends::cups::CupsPrinter;
using backends::cups::PdfPrinter;
using print_test::HavePoppler;
using print_test::Image;
using print_test::Images;
using print_test::PrintFolder;
using print_test::Shell;
using print_test::UsePrinter;

constexpr char16_t kTitle[] = u"240517100000_20240517_100000.jpg";

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

} // namespace

TEST(PdfPages, WhatIsDrawnBesidesTheJpegGoesInAsThePagesPixels)
{
    if (!HavePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    const std::string folder = PrintFolder("line");
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

    pdf.SetPath(PrintFolder("nofolder") + "/missing/page.pdf");
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
    const std::string folder = PrintFolder("choice");
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
