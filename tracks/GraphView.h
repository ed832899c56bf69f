// The graph pane: speed and G-sensor curves (docked into the main window's
// PanelGraph).
#pragma once

#include "platform/vcl/vcl.h"

class TGraphControl : public TForm {
public:
    explicit TGraphControl(TComponent* Owner);
    ~TGraphControl() override;
};

extern TGraphControl* GraphControl;
