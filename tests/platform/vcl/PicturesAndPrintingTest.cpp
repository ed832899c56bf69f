// JPEG encoding, bitmaps from GDI handles, the picture save dialog, the
// print dialog and the printer.
#include "VclFixture.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>

#include "platform/vcl/PrintDialog.h"
#include "platform/vcl/Printer.h"
#include "platform/vcl/RecordingPrinter.h"
#include "platform/vcl/SavePictureDialog.h"
#include "platform/win/DriveTable.h"
#include "platform/win/Gdi.h"

namespace {

// Four flat quadrants, as the recorder's mosaic looks.
TBitmap Quadrants(int width, int height)
{
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool lower = y >= height / 2;
            const std::uint32_t colour = !lower ? (right ? 0x00FF00u : 0xFF0000u) : (right ? 0xFFFF00u : 0x0000FFu);
            bitmap.Pixels().SetPixel(x, y, colour);
        }
    return bitmap;
}

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Largest difference of one colour channel.
int Difference(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(Channel(a, shift) - Channel(b, shift)));
    return worst;
}

class PicturesTest : public VclTest {
protected:
    PicturesTest()
    {
        root = std::filesystem::temp_directory_path() / ("vm-pictures-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root);
        win::DriveTable::Instance().SetDrive(u'P', root.string(), false);
        printer.SetPortraitPage(300, 400);
        previous = InstallPrinterBackend(&printer);
    }
    ~PicturesTest() override
    {
        if (Printer()->Printing())
            Printer()->Abort();
        InstallPrinterBackend(previous);
        win::DriveTable::Instance().Forget(u'P');
        std::filesystem::remove_all(root);
    }

    std::filesystem::path root;
    RecordingPrinter printer;
    PrinterBackend* previous = nullptr;
};

TEST_F(PicturesTest, AnAssignedBitmapIsEncodedAndDecodesBackWithinJpegError)
{
    TJPEGImage jpeg;
    EXPECT_EQ(jpeg.CompressionQuality(), 90);
    jpeg.SetCompressionQuality(100);
    jpeg.SetPixelFormat(jf24Bit);
    EXPECT_THROW(jpeg.Assign(nullptr), EJPEG);
    TBitmap empty;
    EXPECT_THROW(jpeg.Assign(&empty), EJPEG);
    EXPECT_THROW(jpeg.SaveToFile(u"P:\\nothing.jpg"), EJPEG);

    const TBitmap picture = Quadrants(64, 48);
    jpeg.Assign(&picture);
    ASSERT_EQ(jpeg.Width(), 64);
    ASSERT_EQ(jpeg.Height(), 48);
    jpeg.SaveToFile(u"P:\\still.jpg");

    TJPEGImage back;
    std::ifstream file(root / "still.jpg", std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, jpeg.Data());
    back.LoadFromMemory(bytes.data(), bytes.size());
    ASSERT_EQ(back.Width(), 64);
    ASSERT_EQ(back.Height(), 48);
    // Away from the quadrants' edges, where colour subsampling blurs.
    int worst = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (std::abs(x - 32) > 2 && std::abs(y - 24) > 2)
                worst = std::max(worst, Difference(back.Bitmap().Pixels().Pixel(x, y), picture.Pixels().Pixel(x, y)));
    EXPECT_LE(worst, 8);
}

TEST_F(PicturesTest, AFailedWriteLeavesNoHalfPicture)
{
    TJPEGImage jpeg;
    const TBitmap picture = Quadrants(256, 192);
    jpeg.Assign(&picture);
    ASSERT_GT(jpeg.Data().size(), 512u);
    // A file size limit stands in for a disk that fills up after 512 bytes.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*previousSignal)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(jpeg.SaveToFile(u"P:\\still.jpg"), EWriteError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousSignal);
    EXPECT_FALSE(std::filesystem::exists(root / "still.jpg"));
    // With room again the same call writes the whole picture.
    jpeg.SaveToFile(u"P:\\still.jpg");
    EXPECT_EQ(std::filesystem::file_size(root / "still.jpg"), jpeg.Data().size());
}

TEST_F(PicturesTest, ABitmapTakesOverAFreeGdiBitmapOnly)
{
    const int before = win::LiveGdiHandles();
    win::HDC screen = win::GetDC(nullptr);
    win::HDC memory = win::CreateCompatibleDC(screen);
    win::HBITMAP handle = win::CreateCompatibleBitmap(screen, 3, 2);
    win::HGDIOBJ stock = win::SelectObject(memory, handle);

    TBitmap bitmap;
    // Still selected: not the bitmap's to take.
    EXPECT_THROW(bitmap.SetHandle(handle), EInvalidGraphic);
    win::SelectObject(memory, stock);
    bitmap.SetHandle(handle);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Pixels().Pixel(2, 1), 0u);
    // Taken over means deleted: a second take fails.
    EXPECT_THROW(bitmap.SetHandle(handle), EInvalidGraphic);
    win::DeleteDC(memory);
    win::ReleaseDC(nullptr, screen);
    EXPECT_EQ(win::LiveGdiHandles(), before);
}

TEST_F(PicturesTest, TheSaveDialogAsksBeforeReplacingAFileAndAddsTheExtension)
{
    std::ofstream(root / "old.jpg") << "earlier still";
    TSavePictureDialog dialog(nullptr);
    dialog.Title = u"Save";
    dialog.DefaultExt = u".jpg";
    dialog.InitialDir = u"P:\\";
    dialog.FileName = u"proposed.jpg";
    dialog.Options << ofOverwritePrompt;

    // No answer: cancelled, the name as it was.
    driver->CancelSaveFile();
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, u"proposed.jpg");

    // An existing file, refused: the dialog shows again; a new name without
    // extension gets ".jpg".
    driver->AnswerSaveFile(u"P:\\old.jpg");
    driver->AnswerBox(win::IDNO);
    driver->AnswerSaveFile(u"P:\\new");
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, u"P:\\new.jpg");
    ASSERT_EQ(driver->Boxes().size(), 1u);
    EXPECT_EQ(driver->Boxes()[0].caption, u"Save");
    EXPECT_EQ(driver->Boxes()[0].type, win::MB_YESNO | win::MB_ICONWARNING);
    EXPECT_EQ(driver->Boxes()[0].text, u"old.jpg は既に存在します。\n上書きしますか?");

    // Accepted: replaced on purpose.
    driver->AnswerSaveFile(u"P:\\old.jpg");
    driver->AnswerBox(win::IDYES);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, u"P:\\old.jpg");

    ASSERT_EQ(driver->SaveFileDialogs().size(), 4u);
    EXPECT_EQ(driver->SaveFileDialogs()[0].initialDir, u"P:\\");
    EXPECT_EQ(driver->SaveFileDialogs()[0].fileName, u"proposed.jpg");
    EXPECT_EQ(driver->PendingDialogAnswers(), 0);
}

TEST_F(PicturesTest, APrintedPageHoldsItsPictureWithRectangleAndJpegBytes)
{
    TPrinter& p = *Printer();
    p.SetTitle(u"job");
    p.SetOrientation(poLandscape);
    EXPECT_EQ(p.PageWidth(), 400);
    EXPECT_EQ(p.PageHeight(), 300);

    // The print dialog: answered, or cancelled by default.
    TPrintDialog dialog(nullptr);
    driver->AnswerPrintDialog(false);
    EXPECT_FALSE(dialog.Execute());
    driver->AnswerPrintDialog(true);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(driver->PrintDialogsShown(), 2);

    const TBitmap picture = Quadrants(40, 30);
    TJPEGImage jpeg;
    jpeg.Assign(&picture);
    p.BeginDoc();
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_THROW(p.SetOrientation(poPortrait), EPrinter);
    p.Canvas()->StretchDraw(TRect(10, 20, 90, 80), &jpeg);
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    EXPECT_THROW(p.EndDoc(), EPrinter);
    EXPECT_THROW(p.Abort(), EPrinter);

    ASSERT_EQ(printer.Pages.size(), 1u);
    const PrintedPage& page = printer.Pages[0];
    EXPECT_EQ(page.title, u"job");
    EXPECT_EQ(page.orientation, poLandscape);
    EXPECT_EQ(page.pixels.Width(), 400);
    EXPECT_EQ(page.pixels.Height(), 300);
    ASSERT_EQ(page.pictures.size(), 1u);
    EXPECT_EQ(page.pictures[0].rect, TRect(10, 20, 90, 80));
    EXPECT_EQ(page.pictures[0].width, 40);
    EXPECT_EQ(page.pictures[0].jpeg, jpeg.Data());
    EXPECT_EQ(page.pixels.ColorAt(9, 50), clWhite);
    EXPECT_LE(Difference(page.pixels.Pixel(20, 30), 0xFF0000u), 8);
    EXPECT_LE(Difference(page.pixels.Pixel(80, 70), 0xFFFF00u), 8);
}

TEST_F(PicturesTest, AFailedJobStaysOpenUntilAbortedAndPrintingGoesOnAfterIt)
{
    TPrinter& p = *Printer();
    const TBitmap picture = Quadrants(8, 6);

    printer.FailNext(RecordingPrinter::Step::StartDoc);
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());

    p.BeginDoc();
    printer.FailNext(RecordingPrinter::Step::AddPicture);
    EXPECT_THROW(p.Canvas()->Draw(0, 0, &picture), EPrinter);
    EXPECT_TRUE(p.Printing());
    EXPECT_THROW(p.BeginDoc(), EPrinter) << "an open job refuses the next";
    p.Abort();
    EXPECT_TRUE(p.Aborted());
    EXPECT_EQ(printer.Aborted, 1);

    // A failing end closes the job too.
    p.BeginDoc();
    printer.FailNext(RecordingPrinter::Step::EndDoc);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());

    p.BeginDoc();
    p.Canvas()->Draw(0, 0, &picture);
    p.EndDoc();
    EXPECT_FALSE(p.Aborted());
    ASSERT_EQ(printer.Pages.size(), 1u);
    EXPECT_EQ(printer.Pages[0].pictures.size(), 1u);
    EXPECT_TRUE(printer.Pages[0].pictures[0].jpeg.empty()) << "a bitmap has no JPEG bytes";
}

} // namespace
