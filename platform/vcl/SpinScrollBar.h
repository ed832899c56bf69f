// A scroll bar too short for a track, used as a spin button beside an edit:
// it is drawn as its two arrow buttons, and a press on one is that arrow's
// scroll action (scLineUp for the upper or left one, scLineDown for the
// other), with OnScroll and OnChange as TScrollBar raises them.
#pragma once

#include "platform/vcl/ScrollBar.h"

namespace vcl {

class TSpinScrollBar : public TScrollBar {
public:
    explicit TSpinScrollBar(TComponent* AOwner);

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // The arrow held down: -1 none, 0 the first (up / left), 1 the second.
    int FPressed = -1;
};

} // namespace vcl
