#include "platform/vcl/JPEGImage.h"

#include "platform/rtl/FileStream.h"
#include "platform/rtl/Stream.h"
#include "platform/win/Files.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <sys/stat.h>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace vcl {

namespace {

// libjpeg ends a failed decode through error_exit; ours jumps back to the
// decoder instead of ending the process.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Reads the header of `data`: 0 with the picture's size, else libjpeg's
// message code (at least 1). With `out` (already of that size) it then
// decodes the picture into it; where libjpeg gives up part way, the rest
// stays as it was. Kept free of objects with destructors: longjmp leaves
// this frame.
int Read(const unsigned char* data, unsigned long size, int* width, int* height, PixelBuffer* out,
         std::vector<unsigned char>* row)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.output_message = OnMessage;
    if (setjmp(errors.jump)) {
        const int code = errors.pub.msg_code > 0 ? errors.pub.msg_code : 1;
        jpeg_destroy_decompress(&info);
        return code;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    // The conversions to RGB libjpeg has; it refuses the others when it starts.
    const J_COLOR_SPACE space = info.jpeg_color_space;
    if (space != JCS_GRAYSCALE && space != JCS_YCbCr && space != JCS_RGB) {
        jpeg_destroy_decompress(&info);
        return JERR_CONVERSION_NOTIMPL;
    }
    info.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    const JDIMENSION w = info.output_width, h = info.output_height;
    if (w == 0 || h == 0 || w > PixelBuffer::MaxSide || h > PixelBuffer::MaxSide) {
        jpeg_destroy_decompress(&info);
        return JERR_IMAGE_TOO_BIG;
    }
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    if (out == nullptr || out->Width() != *width || out->Height() != *height) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_start_decompress(&info);
    row->resize(static_cast<std::size_t>(w) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row->data()};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            break;
        std::uint32_t* pixels = out->Row(y);
        const unsigned char* rgb = row->data();
        for (JDIMENSION x = 0; x < w; ++x, rgb += 3)
            pixels[x] = (static_cast<std::uint32_t>(rgb[0]) << 16) | (static_cast<std::uint32_t>(rgb[1]) << 8) | rgb[2];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return 0;
}

// Encodes `pixels` as RGB at `quality` into `out`; 0 on success, else
// libjpeg's message code. Kept free of objects with destructors, as Read.
int Encode(const PixelBuffer& pixels, int quality, unsigned char** out, unsigned long* size,
           std::vector<unsigned char>* row)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.output_message = OnMessage;
    if (setjmp(errors.jump)) {
        const int code = errors.pub.msg_code > 0 ? errors.pub.msg_code : 1;
        jpeg_destroy_compress(&info);
        return code;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(pixels.Width());
    info.image_height = static_cast<JDIMENSION>(pixels.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    row->resize(static_cast<std::size_t>(pixels.Width()) * 3);
    while (info.next_scanline < info.image_height) {
        const std::uint32_t* source = pixels.Row(static_cast<int>(info.next_scanline));
        unsigned char* rgb = row->data();
        for (int x = 0; x < pixels.Width(); ++x, rgb += 3) {
            rgb[0] = static_cast<unsigned char>(source[x] >> 16);
            rgb[1] = static_cast<unsigned char>(source[x] >> 8);
            rgb[2] = static_cast<unsigned char>(source[x]);
        }
        JSAMPROW rows[1] = {row->data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return 0;
}

} // namespace

TJPEGImage::TJPEGImage(const TJPEGImage& other)
    : TGraphic(),
      FData(other.FData),
      FWidth(other.FWidth),
      FHeight(other.FHeight),
      FDecoded(other.FDecoded),
      FQuality(other.FQuality),
      FPixelFormat(other.FPixelFormat)
{
}

TJPEGImage& TJPEGImage::operator=(const TJPEGImage& other)
{
    if (this != &other) {
        FData = other.FData;
        FWidth = other.FWidth;
        FHeight = other.FHeight;
        FDecoded = other.FDecoded;
        FQuality = other.FQuality;
        FPixelFormat = other.FPixelFormat;
    }
    return *this;
}

const std::vector<unsigned char>& TJPEGImage::Data() const
{
    static const std::vector<unsigned char> none;
    return FData ? *FData : none;
}

const TBitmap& TJPEGImage::Bitmap() const
{
    if (!FDecoded) {
        auto bitmap = std::make_shared<TBitmap>();
        if (FData) {
            PixelBuffer& pixels = bitmap->Pixels();
            pixels.Resize(FWidth, FHeight);
            std::vector<unsigned char> row;
            int width = 0, height = 0;
            Read(FData->data(), static_cast<unsigned long>(FData->size()), &width, &height, &pixels, &row);
        }
        FDecoded = std::move(bitmap);
    }
    return *FDecoded;
}

void TJPEGImage::SetCompressionQuality(int quality) { FQuality = quality < 1 ? 1 : quality > 100 ? 100 : quality; }

void TJPEGImage::Assign(const TBitmap* bitmap)
{
    if (!bitmap || bitmap->Empty())
        throw EJPEG(u"JPEG error #%d", static_cast<int>(JERR_EMPTY_IMAGE));
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<unsigned char> row;
    const int code = Encode(bitmap->Pixels(), FQuality, &out, &size, &row);
    std::vector<unsigned char> bytes;
    if (code == 0 && out)
        bytes.assign(out, out + size);
    std::free(out); // jpeg_mem_dest's buffer, also after a failure
    if (code != 0)
        throw EJPEG(u"JPEG error #%d", code);
    // What is drawn is what the file holds.
    LoadFromBytes(std::move(bytes));
}

void TJPEGImage::SaveToStream(rtl::TStream& stream) const
{
    if (!FData || FData->empty())
        throw EJPEG(u"JPEG error #%d", static_cast<int>(JERR_EMPTY_IMAGE));
    stream.WriteBuffer(FData->data(), static_cast<std::int32_t>(FData->size()));
}

void TJPEGImage::SaveToFile(const rtl::UnicodeString& fileName) const
{
    if (!FData || FData->empty())
        throw EJPEG(u"JPEG error #%d", static_cast<int>(JERR_EMPTY_IMAGE));
    std::exception_ptr failure;
    bool regular = false;
    {
        rtl::TFileStream file(fileName, rtl::fmCreate);
        struct stat st {};
        regular = fstat(file.Handle(), &st) == 0 && S_ISREG(st.st_mode);
        try {
            SaveToStream(file);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        // A full disk leaves no half picture behind (a device stays).
        if (regular)
            win::DeleteFile(fileName);
        std::rethrow_exception(failure);
    }
}

void TJPEGImage::LoadFromMemory(const void* data, std::size_t size)
{
    if (!data || size == 0 || size > 0x7FFFFFFFu)
        throw EJPEG(u"JPEG error #%d", static_cast<int>(JERR_INPUT_EMPTY));
    const auto* bytes = static_cast<const unsigned char*>(data);
    LoadFromBytes(std::vector<unsigned char>(bytes, bytes + size));
}

void TJPEGImage::LoadFromBytes(std::vector<unsigned char>&& bytes)
{
    int width = 0, height = 0;
    if (bytes.empty() || bytes.size() > 0x7FFFFFFFu)
        throw EJPEG(u"JPEG error #%d", static_cast<int>(JERR_INPUT_EMPTY));
    if (const int code =
            Read(bytes.data(), static_cast<unsigned long>(bytes.size()), &width, &height, nullptr, nullptr);
        code != 0)
        throw EJPEG(u"JPEG error #%d", code);
    FData = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
    FWidth = width;
    FHeight = height;
    FDecoded.reset();
}

void TJPEGImage::LoadFromStream(rtl::TStream& stream)
{
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    for (;;) {
        const std::int32_t n = stream.Read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    LoadFromBytes(std::move(bytes));
}

void TJPEGImage::LoadFromStream(rtl::TStream* stream)
{
    if (!stream)
        throw rtl::EInvalidPointer(u"Invalid pointer operation");
    LoadFromStream(*stream);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const { Bitmap().Draw(canvas, rect); }

std::unique_ptr<TGraphic> TJPEGImage::Clone() const { return std::make_unique<TJPEGImage>(*this); }

} // namespace vcl
