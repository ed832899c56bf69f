// A panel: a coloured area with bevels and an optional centred caption that
// holds other controls.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut b)
    {
        FBevelOuter = b;
        Invalidate();
    }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut b)
    {
        FBevelInner = b;
        Invalidate();
    }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int w)
    {
        FBevelWidth = w < 1 ? 1 : w;
        Invalidate();
    }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int w)
    {
        FBorderWidth = w < 0 ? 0 : w;
        Invalidate();
    }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment a)
    {
        FAlignment = a;
        Invalidate();
    }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v)
    {
        FShowCaption = v;
        Invalidate();
    }

    void Paint(TCanvas& canvas) override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
    bool FShowCaption = true;
};

} // namespace vcl
