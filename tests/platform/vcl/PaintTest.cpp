#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include <png.h>

#include "VclFixture.h"

namespace {

TEST(CanvasTest, TextWidthMetric)
{
    TFont font;
    font.SetName(u"ＭＳ ゴシック");
    font.SetHeight(-16);
    struct Row {
        const char16_t* text;
        int width;
    };
    for (const Row& row : {Row{u"", 0}, Row{u"B_no = 99", 72}, Row{u"確認", 32}, Row{u"ｱｲ", 16}, Row{u"a確", 24}}) {
        SCOPED_TRACE(TestDriver::Utf8(row.text));
        EXPECT_EQ(TCanvas::TextWidthOf(font, row.text), row.width);
    }
}

class PaintTest : public VclTest {};

TEST_F(PaintTest, LabelSizesToItsWidestLine)
{
    auto* form = NewForm<TForm>(&app);
    form->Font()->SetName(u"ＭＳ ゴシック");
    form->Font()->SetHeight(-16);
    auto* label = new TLabel(form);
    label->SetParent(form); // follows the form's font
    label->SetCaption(u"ab\n確認確認");
    EXPECT_EQ(label->Width(), 64);
    EXPECT_EQ(label->Height(), 32);
    form->Font()->SetHeight(-12); // the parent's font change reaches it
    EXPECT_EQ(label->Width(), 48);
    label->Font()->SetHeight(-16); // own font: no longer follows
    form->Font()->SetHeight(-20);
    EXPECT_EQ(label->Font()->Height(), -16);
}

TEST_F(PaintTest, ACaptionWiderThanItsLabelIsNarrowedToIt)
{
    auto* form = NewForm<TForm>(&app);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 40);
    form->SetColor(clBlack);
    form->Font()->SetHeight(-8);
    form->Font()->SetColor(clWhite);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetAlignment(taCenter);
    label->SetBounds(10, 0, 42, 8);
    const auto inkColumns = [&] {
        const PixelBuffer shot = form->Snapshot();
        std::vector<int> columns;
        for (int x = 0; x < 200; ++x)
            for (int y = 0; y < 8; ++y)
                if (shot.ColorAt(x, y) == clWhite) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    };
    struct Row {
        const char16_t* caption;
        int first, last; // the outer ink columns
    };
    const Row rows[] = {
        // Six cells of 8 in 42: narrowed to 42 less a margin of 2 at each end.
        {u"スピード再生", 10 + 2, 10 + 2 + 38 - 2},
        // Four cells fit as they are, centred.
        {u"コマ戻し", 10 + 5 + 1, 10 + 5 + 32 - 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TestDriver::Utf8(row.caption));
        label->SetCaption(row.caption);
        const std::vector<int> columns = inkColumns();
        ASSERT_FALSE(columns.empty());
        EXPECT_GE(columns.front(), row.first);
        EXPECT_LE(columns.back(), row.last);
        EXPECT_GE(columns.back(), row.last - 2) << "narrowed no more than needed";
    }
}

TEST_F(PaintTest, SnapshotShowsControlsInTheirColours)
{
    auto* form = NewForm<TForm>(&app);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 60, 40);
    form->SetColor(clBlack);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetBounds(10, 10, 20, 20);
    panel->SetColor(clRed);
    auto* hidden = new TPanel(form);
    hidden->SetParent(form);
    hidden->SetBounds(40, 10, 10, 10);
    hidden->SetColor(clLime);
    hidden->Hide();
    const PixelBuffer shot = form->Snapshot();
    EXPECT_EQ(shot.Width(), 60);
    EXPECT_EQ(shot.ColorAt(5, 5), clBlack);
    EXPECT_EQ(shot.ColorAt(15, 15), clRed);
    EXPECT_EQ(shot.ColorAt(45, 15), clBlack);
}

TEST_F(PaintTest, SnapshotIsWrittenAsPng)
{
    auto* form = NewForm<TForm>(&app);
    form->SetBounds(0, 0, 300, 200);
    form->SetCaption(u"ダイアログ");
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetCaption(u"確認");
    const std::string path = std::string(VM_BINARY_DIR) + "/vcl_snapshot_test.png";
    ASSERT_TRUE(form->SaveSnapshot(path));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_GT(bytes.size(), 33u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19], 300);
    EXPECT_EQ((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23], 200);
    EXPECT_EQ(std::string(bytes.end() - 8, bytes.end() - 4), "IEND");
    EXPECT_FALSE(PngWriter::Save(form->Snapshot(), "/nonexistent-folder/x.png"));
}

TEST(PngWriterTest, PicturesReadBackPixelForPixel)
{
    PixelBuffer gradient(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            gradient.SetPixel(x, y,
                              0xFF000000u |
                                  static_cast<std::uint32_t>((x * 7 % 256) << 16 | (y % 256) << 8 | ((x ^ y) & 0xFF)));
    struct Case {
        const char* name;
        PixelBuffer picture;
        int width, height;
    } cases[] = {
        {"several rows of every colour", gradient, 300, 200},
        {"one pixel", PixelBuffer(1, 1, 0xFF123456), 1, 1},
        {"empty: one black pixel", PixelBuffer(), 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> bytes = PngWriter::Encode(c.picture);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
        image.format = PNG_FORMAT_RGB;
        std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
        ASSERT_EQ(static_cast<int>(image.width), c.width);
        ASSERT_EQ(static_cast<int>(image.height), c.height);
        int differing = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * c.width + x) * 3];
                const std::uint32_t expected = c.picture.Empty() ? 0 : c.picture.Pixel(x, y) & 0xFFFFFFu;
                differing += (static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]) != expected);
            }
        EXPECT_EQ(differing, 0);
    }
}

TEST(CanvasTest, CopyFromReadsTheNearestSourcePixelOrZeroOutsideIt)
{
    PixelBuffer source(30, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            source.SetPixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 256 + x));
    struct Case {
        const char* name;
        TRect dest, from;
    } cases[] = {
        {"one to one (rows copied whole)", TRect(5, 5, 35, 25), TRect(0, 0, 30, 20)},
        {"one to one, partly outside the source", TRect(0, 0, 30, 20), TRect(-5, 10, 25, 30)},
        {"shrunk", TRect(0, 0, 13, 7), TRect(0, 0, 30, 20)},
        {"stretched, cut by the target", TRect(-10, -4, 60, 50), TRect(3, 2, 20, 15)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer target(40, 30, 0xAAu);
        TCanvas canvas(&target);
        canvas.SetOrigin(1, 2);
        canvas.CopyFrom(c.dest, source, c.from);
        const TRect d = c.dest.Offset(1, 2);
        int wrong = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                std::uint32_t expected = 0xAAu;
                if (x >= d.Left && x < d.Right && y >= d.Top && y < d.Bottom)
                    expected = source.Pixel(c.from.Left + (x - d.Left) * c.from.Width() / d.Width(),
                                            c.from.Top + (y - d.Top) * c.from.Height() / d.Height());
                wrong += target.Pixel(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// The window's picture may live in the display's shared memory: a canvas
// paints straight into it, and a copy of it stands on its own.
TEST(PixelBufferTest, AnAdoptedBufferPaintsIntoItsKeepersPixelsAndCopiesOwnTheirs)
{
    std::vector<std::uint32_t> kept(6 * 4, 0x11u);
    PixelBuffer picture;
    picture.Adopt(kept.data(), 6, 4);
    ASSERT_EQ(picture.Width(), 6);
    ASSERT_EQ(picture.Height(), 4);
    TCanvas canvas(&picture);
    canvas.SetClip(TRect(0, 0, 6, 4));
    canvas.Brush.Color = clWhite;
    canvas.FillRect(TRect(1, 1, 3, 2));
    EXPECT_EQ(kept[1 * 6 + 1], PixelBuffer::FromColor(clWhite));
    EXPECT_EQ(kept[1 * 6 + 3], 0x11u);

    PixelBuffer copy = picture;
    copy.SetPixel(0, 0, 0x22u);
    EXPECT_EQ(kept[0], 0x11u) << "a copy has pixels of its own";
    EXPECT_TRUE(PixelBuffer(picture) == picture);
    EXPECT_FALSE(copy == picture);

    PixelBuffer moved = std::move(picture);
    moved.SetPixel(5, 3, 0x33u);
    EXPECT_EQ(kept[3 * 6 + 5], 0x33u) << "moved, it still paints where it did";
    EXPECT_TRUE(picture.Empty());

    moved.Resize(2, 2);
    moved.SetPixel(0, 0, 0x44u);
    EXPECT_EQ(kept[0], 0x11u) << "resized, it has pixels of its own again";

    PixelBuffer refused;
    refused.Adopt(kept.data(), PixelBuffer::MaxSide + 1, 1);
    EXPECT_TRUE(refused.Empty());
    refused.Adopt(nullptr, 6, 4);
    EXPECT_TRUE(refused.Empty());
    EXPECT_EQ(refused.Pixel(0, 0), 0u);
}

} // namespace
