// A text label. A line feed in the caption makes a new line; with AutoSize
// (the default) the label takes the size of its text: the widest line by
// the canvas metric, one font height per line. Labels follow their parent's
// font until a font of their own is set.
#pragma once

#include "platform/vcl/GraphicControl.h"

namespace vcl {

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment a)
    {
        FAlignment = a;
        Invalidate();
    }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout l)
    {
        FLayout = l;
        Invalidate();
    }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v)
    {
        FTransparent = v;
        Invalidate();
    }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v)
    {
        FWordWrap = v;
        AdjustSize();
    }

    // The caption's lines (split at line feeds; a CR before it is dropped).
    std::vector<UnicodeString> Lines() const;
    // Width of the widest line and height of all lines by the metric.
    int TextWidthPx() const;
    int TextHeightPx() const;

    void Paint(TCanvas& canvas) override;

protected:
    void AdjustSize() override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FTransparent = false;
    bool FWordWrap = false;
};

} // namespace vcl
