// The map pane: the car marker on a local map page (docked into the main
// window's PanelMap).
#pragma once

#include "platform/vcl/vcl.h"

class TMapControl : public TForm {
public:
    explicit TMapControl(TComponent* Owner);
    ~TMapControl() override;
};

extern TMapControl* MapControl;
