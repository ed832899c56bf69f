// A 32-bit picture in memory with its own canvas.
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Graphic.h"
#include "platform/vcl/PixelBuffer.h"
#include "platform/win/Gdi.h"

namespace vcl {

class EInvalidGraphic : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);

    int Width() const override { return FPixels.Width(); }
    int Height() const override { return FPixels.Height(); }
    // New size; the picture is cleared to white.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }

    // Takes over a GDI bitmap (Gdi.h): its picture becomes this one and the
    // handle is deleted, so the caller must not delete it again. A handle
    // that is no free bitmap raises EInvalidGraphic and deletes nothing.
    void SetHandle(win::HBITMAP bitmap);

    TCanvas* Canvas() { return &FCanvas; }
    PixelBuffer& Pixels() { return FPixels; }
    const PixelBuffer& Pixels() const { return FPixels; }

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    PixelBuffer FPixels;
    TCanvas FCanvas;
};

} // namespace vcl
