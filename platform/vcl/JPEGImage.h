// A JPEG picture, encoded with libjpeg when a bitmap is assigned (at
// CompressionQuality, baseline, colour as 24-bit RGB). The compressed bytes
// are kept, so saving writes exactly what was loaded or encoded, and the
// picture it draws is what those bytes decode to.
// Loading reads the header only: a stream that is no JPEG, ends before its
// picture, has colours that cannot become RGB or is larger than a
// PixelBuffer side allows raises EJPEG ("JPEG error #n", n libjpeg's message
// code), and the picture then keeps what it held before. The pixels are
// decoded (into 32 bits) when first drawn or asked for: a picture that is
// never shown costs neither the decode nor its memory. Copies share the
// bytes and, once decoded, the pixels. Like the other graphics, one object
// is for one thread at a time.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Graphic.h"

namespace rtl {
class TStream;
}

namespace vcl {

class EJPEG : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

enum TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
public:
    TJPEGImage() = default;
    TJPEGImage(const TJPEGImage& other);
    TJPEGImage& operator=(const TJPEGImage& other);

    // Reads from the stream's position to its end.
    void LoadFromStream(rtl::TStream& stream);
    void LoadFromStream(rtl::TStream* stream);
    // Decodes bytes held in memory.
    void LoadFromMemory(const void* data, std::size_t size);

    // 1..100 (values outside are held to that range); 90 at first. Used by
    // the next Assign.
    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int quality);
    // Kept for the framework's callers; encoding is always 24-bit colour.
    TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TJPEGPixelFormat format) { FPixelFormat = format; }

    // Compresses the bitmap; an empty bitmap (or null) raises EJPEG and
    // keeps what the image held.
    void Assign(const TBitmap* bitmap);
    // The compressed bytes to a stream or to a file (Windows path, created
    // or replaced). Nothing to save raises EJPEG; a file that cannot be
    // created raises EFCreateError; a write that fails (a full disk) raises
    // EWriteError and removes the file it had begun.
    void SaveToStream(rtl::TStream& stream) const;
    void SaveToFile(const rtl::UnicodeString& fileName) const;
    const std::vector<unsigned char>& Data() const;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    std::unique_ptr<TGraphic> Clone() const override;

    // The decoded picture, Width x Height (black past where libjpeg gave up
    // on data damaged after the header).
    const TBitmap& Bitmap() const;

private:
    void LoadFromBytes(std::vector<unsigned char>&& bytes);

    std::shared_ptr<const std::vector<unsigned char>> FData;
    int FWidth = 0;
    int FHeight = 0;
    mutable std::shared_ptr<const TBitmap> FDecoded;
    int FQuality = 90;
    TJPEGPixelFormat FPixelFormat = jf24Bit;
};

} // namespace vcl
