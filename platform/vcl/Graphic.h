// A picture that can draw itself: the base of bitmaps and JPEG images.
#pragma once

#include <memory>

#include "platform/vcl/Geometry.h"

namespace vcl {

class TCanvas;

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Draws the whole picture stretched into rect of the canvas.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
};

} // namespace vcl
