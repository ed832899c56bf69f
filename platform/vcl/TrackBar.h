// A track bar (slider). Position stays within Min..Max; a different
// Position raises OnChange, also when the program sets it.
//
// Horizontal layout: the channel runs ThumbMargin() pixels in from either
// end and each position has a tick mark under it (every Frequency-th). The
// mouse works in whole steps: a press on the thumb drags it to the nearest
// position; a press on the channel beside it moves PageSize towards the
// press (once per press).
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v) { FPageSize = v; }
    int Frequency() const { return FFrequency; }
    void SetFrequency(int v)
    {
        FFrequency = v;
        Invalidate();
    }
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation o)
    {
        FOrientation = o;
        Invalidate();
    }

    TNotifyEvent OnChange;

    void Paint(TCanvas& canvas) override;

    // Where a position sits along the bar (x for horizontal, y for vertical,
    // in client pixels) and the position nearest a pixel.
    static constexpr int ThumbMargin() { return 11; }
    int PixelOf(int position) const;
    int PositionAt(int pixel) const;
    TRect ThumbRect() const;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;

private:
    void Apply(int position);

    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    int FPageSize = 2;
    int FFrequency = 1;
    TTrackBarOrientation FOrientation = trHorizontal;
    bool FDragging = false;
};

} // namespace vcl
