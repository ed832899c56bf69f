// A still printed by the player through the real PDF printer arrives as a
// one-page landscape PDF holding the JPEG itself (read back with poppler's
// tools; skipped without them).
#include "DisplayFixture.h"

#include <filesystem>
#include <sstream>

#include "platform/backends/cups/PdfPrinter.h"
#include "platform/vcl/TestDriver.h"
#include "tests/backends_print/PrintTools.h"
#include "tools/asfwriter/SampleRecording.h"

namespace playback_print_test {

namespace {

using backends::cups::PdfPrinter;
using playback_test::DisplayTest;
using playback_test::kVideoPanels;
using print_test::HavePoppler;
using print_test::Image;
using print_test::Images;
using print_test::Info;
using print_test::PrintFolder;
using print_test::Shell;
using print_test::Slurp;
using print_test::UsePrinter;

constexpr char16_t kTitle[] = u"240517100000_20240517_100000.jpg";

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
    const std::string folder = PrintFolder("still");
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

} // namespace playback_print_test
