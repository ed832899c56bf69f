#include "platform/vcl/JPEGImage.h"

#include "platform/rtl/Stream.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
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

// Decodes into `out`; 0 on success, else libjpeg's message code (at least 1).
// Kept free of objects with destructors: longjmp leaves this frame.
int Decode(const unsigned char* data, unsigned long size, PixelBuffer* out, std::vector<unsigned char>* row)
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
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > PixelBuffer::MaxSide ||
        info.output_height > PixelBuffer::MaxSide || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return JERR_IMAGE_TOO_BIG;
    }
    const int width = static_cast<int>(info.output_width);
    out->Resize(width, static_cast<int>(info.output_height));
    row->resize(static_cast<std::size_t>(width) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row->data()};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            break;
        std::uint32_t* pixels = out->Row(y);
        const unsigned char* rgb = row->data();
        for (int x = 0; x < width; ++x, rgb += 3)
            pixels[x] = (static_cast<std::uint32_t>(rgb[0]) << 16) | (static_cast<std::uint32_t>(rgb[1]) << 8) | rgb[2];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return 0;
}

} // namespace

TJPEGImage::TJPEGImage(const TJPEGImage& other) : TGraphic(), FBitmap(other.FBitmap) {}

TJPEGImage& TJPEGImage::operator=(const TJPEGImage& other)
{
    if (this != &other)
        FBitmap = other.FBitmap;
    return *this;
}

void TJPEGImage::LoadFromMemory(const void* data, std::size_t size)
{
    if (!data || size == 0 || size > 0x7FFFFFFFu)
        throw EJPEG(u"JPEG error #%d", static_cast<int>(JERR_INPUT_EMPTY));
    PixelBuffer decoded;
    std::vector<unsigned char> row;
    const int code =
        Decode(static_cast<const unsigned char*>(data), static_cast<unsigned long>(size), &decoded, &row);
    if (code != 0)
        throw EJPEG(u"JPEG error #%d", code);
    TBitmap bitmap;
    bitmap.Pixels() = std::move(decoded);
    FBitmap = bitmap;
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
    LoadFromMemory(bytes.data(), bytes.size());
}

void TJPEGImage::LoadFromStream(rtl::TStream* stream)
{
    if (!stream)
        throw rtl::EInvalidPointer(u"Invalid pointer operation");
    LoadFromStream(*stream);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const { FBitmap.Draw(canvas, rect); }

std::unique_ptr<TGraphic> TJPEGImage::Clone() const { return std::make_unique<TJPEGImage>(*this); }

} // namespace vcl
