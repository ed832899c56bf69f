// A JPEG picture, decoded with libjpeg into 32-bit pixels when it is loaded.
// A stream that is no JPEG, is cut short or is larger than a PixelBuffer
// side allows raises EJPEG ("JPEG error #n", n libjpeg's message code); the
// picture then keeps what it held before.
#pragma once

#include <memory>

#include "platform/rtl/Exception.h"
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

    int Width() const override { return FBitmap.Width(); }
    int Height() const override { return FBitmap.Height(); }
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    std::unique_ptr<TGraphic> Clone() const override;

    // The decoded picture.
    const TBitmap& Bitmap() const { return FBitmap; }

private:
    TBitmap FBitmap;
};

} // namespace vcl
