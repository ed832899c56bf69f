// What an image control shows: one graphic (or none), kept as a copy.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/Graphic.h"

namespace vcl {

class TBitmap;

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture& other) { Assign(other.Graphic()); }
    TPicture& operator=(const TPicture& other);

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Keeps a copy of graphic (null empties the picture); raises OnChange.
    void Assign(const TGraphic* graphic);
    void SetGraphic(const TGraphic* graphic) { Assign(graphic); }
    // The picture as a bitmap: converts any other graphic, creates an empty
    // one when there is none.
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;

    std::function<void()> OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
};

} // namespace vcl
