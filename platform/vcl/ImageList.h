// A list of small pictures of one size (16 x 16 by default), drawn by index.
// Masked lists draw transparent: pixels of the colour of a picture's bottom
// left pixel are left out, as the framework does by default.
#pragma once

#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Component.h"

namespace vcl {

class TCanvas;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Empties the list and takes the new size (1 to 256 a side).
    void SetSize(int width, int height);
    bool Masked() const { return FMasked; }
    void SetMasked(bool masked) { FMasked = masked; }

    int Count() const { return static_cast<int>(FPictures.size()); }
    // Appends the picture (cut or padded to the list's size); its index.
    int Add(const TBitmap& picture);
    void Clear() { FPictures.clear(); }
    // Raises EListError for a bad index.
    const TBitmap& Picture(int index) const;
    // Draws picture `index` with its top left at x, y; an index outside the
    // list (-1: none) draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index) const;

private:
    int FWidth = 16;
    int FHeight = 16;
    bool FMasked = true;
    std::vector<TBitmap> FPictures;
};

} // namespace vcl
