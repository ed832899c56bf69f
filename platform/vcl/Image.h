// A picture control. Stretch scales the picture to the control, Center
// centres it, Proportional keeps its aspect when it scales; AutoSize takes
// the picture's size.
#pragma once

#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Picture.h"

namespace vcl {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);

    TPicture* Picture() { return &FPicture; }
    const TPicture* Picture() const { return &FPicture; }
    void SetPicture(const TPicture& picture) { FPicture.Assign(picture.Graphic()); }

    bool Stretch() const { return FStretch; }
    void SetStretch(bool v)
    {
        FStretch = v;
        Invalidate();
    }
    bool Center() const { return FCenter; }
    void SetCenter(bool v)
    {
        FCenter = v;
        Invalidate();
    }
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v)
    {
        FProportional = v;
        Invalidate();
    }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v)
    {
        FTransparent = v;
        Invalidate();
    }

    // Where the picture lands in the control's coordinates.
    TRect DestRect() const;
    void Paint(TCanvas& canvas) override;

protected:
    void AdjustSize() override;

private:
    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
};

} // namespace vcl
