// A 32-bit picture in memory with its own canvas.
#pragma once

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Graphic.h"
#include "platform/vcl/PixelBuffer.h"

namespace vcl {

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
