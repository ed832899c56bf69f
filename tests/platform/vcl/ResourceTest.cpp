// The program's resources found by name and type, read through a resource
// stream, and JPEG pictures decoded into bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "VclFixture.h"

namespace {

// A width x height JPEG of one colour, made with libjpeg.
std::vector<std::uint8_t> SolidJpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), {r, g, b});
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

class ResourceTest : public VclTest {
protected:
    ResourceTest() { RegisterResources(table, 2); }
    ~ResourceTest() override { vcl::detail::UnregisterResources(table); }

    const std::vector<std::uint8_t> red = SolidJpeg(6, 4, 220, 20, 30);
    const std::uint8_t text[5] = {'h', 'e', 'l', 'l', 'o'};
    const TResourceEntry table[2] = {{"PIC_RED", "JPEG", red.data(), red.size()}, {"Greeting", "TEXT", text, 5}};
};

TEST_F(ResourceTest, FoundWithoutRegardToCaseAndReadOnly)
{
    for (const char16_t* name : {u"PIC_RED", u"pic_red", u"Pic_Red"}) {
        SCOPED_TRACE(TestDriver::Utf8(name));
        EXPECT_EQ(FindResourceEntry(name, u"jpeg"), &table[0]);
    }
    TResourceStream stream(HInstance, u"GREETING", u"text");
    EXPECT_EQ(stream.Size(), 5);
    char bytes[8] = {};
    EXPECT_EQ(stream.Read(bytes, 8), 5);
    EXPECT_EQ(std::string(bytes, 5), "hello");
    EXPECT_THROW(stream.Write("x", 1), EStreamError);
}

TEST_F(ResourceTest, AMissingResourceRaisesResourceNotFound)
{
    struct Case {
        const char16_t* name;
        const char16_t* type;
    };
    for (const Case& c : {Case{u"PIC_BLUE", u"JPEG"}, Case{u"PIC_RED", u"TEXT"}, Case{u"PIC_RE", u"JPEG"},
                          Case{u"PIC_RED_", u"JPEG"}, Case{u"", u"JPEG"}}) {
        SCOPED_TRACE(TestDriver::Utf8(c.name));
        EXPECT_EQ(FindResourceEntry(c.name, c.type), nullptr);
        try {
            TResourceStream stream(HInstance, c.name, c.type);
            ADD_FAILURE() << "no exception";
        } catch (EResNotFound& e) {
            EXPECT_EQ(e.Message, UnicodeString(u"Resource ") + c.name + u" not found");
        }
    }
}

TEST_F(ResourceTest, JpegDecodesIntoABitmapAndStretches)
{
    TResourceStream stream(HInstance, u"PIC_RED", u"JPEG");
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    ASSERT_EQ(jpeg.Width(), 6);
    ASSERT_EQ(jpeg.Height(), 4);
    const TColor c = jpeg.Bitmap().Pixels().ColorAt(3, 2);
    EXPECT_NEAR(GetRValue(c), 220, 4);
    EXPECT_NEAR(GetGValue(c), 20, 4);
    EXPECT_NEAR(GetBValue(c), 30, 4);

    // An image takes a copy and stretches it over its whole rectangle.
    auto* form = NewForm<TForm>(&app);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 40, 30);
    form->SetColor(clBlack);
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(5, 5, 30, 20);
    image->SetStretch(true);
    image->Picture()->Assign(&jpeg);
    jpeg = TJPEGImage();
    EXPECT_EQ(image->Picture()->Width(), 6);
    const PixelBuffer shot = form->Snapshot();
    EXPECT_NEAR(GetRValue(shot.ColorAt(6, 6)), 220, 4);
    EXPECT_NEAR(GetRValue(shot.ColorAt(33, 23)), 220, 4);
    EXPECT_EQ(shot.ColorAt(2, 2), clBlack);
}

TEST_F(ResourceTest, BrokenJpegRaisesAndKeepsThePicture)
{
    TJPEGImage jpeg;
    jpeg.LoadFromMemory(red.data(), red.size());
    const std::vector<std::uint8_t> garbage(64, 0x5A);
    std::vector<std::uint8_t> header(red.begin(), red.begin() + 20);
    struct Case {
        const char* name;
        const std::uint8_t* data;
        std::size_t size;
    };
    for (const Case& c : {Case{"empty", red.data(), 0}, Case{"null", nullptr, 10}, Case{"garbage", garbage.data(), 64},
                          Case{"cut after the header", header.data(), header.size()}}) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(jpeg.LoadFromMemory(c.data, c.size), EJPEG);
        EXPECT_EQ(jpeg.Width(), 6);
    }
    TMemoryStream empty;
    EXPECT_THROW(jpeg.LoadFromStream(empty), EJPEG);

    // Loading reads the header; damage past it shows when the picture is
    // decoded, as a picture of the header's size, and raises nothing.
    std::vector<std::uint8_t> damaged = red;
    const std::uint8_t sos[2] = {0xFF, 0xDA};
    auto scan = std::search(damaged.begin(), damaged.end(), sos, sos + 2);
    ASSERT_NE(scan, damaged.end());
    for (auto at = scan + 14; at + 2 < damaged.end(); ++at)
        *at = 0xFF;
    TJPEGImage late;
    late.LoadFromMemory(damaged.data(), damaged.size());
    EXPECT_EQ(late.Width(), 6);
    const TJPEGImage copy = late;
    EXPECT_EQ(copy.Bitmap().Width(), 6);
    EXPECT_EQ(copy.Bitmap().Height(), 4);
    EXPECT_EQ(late.Data(), damaged);
    EXPECT_THROW(jpeg.LoadFromStream(static_cast<TStream*>(nullptr)), EInvalidPointer);
}

} // namespace
