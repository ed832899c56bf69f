// The graph pane: speed and G-sensor curves (docked into the main window's
// PanelGraph).
#pragma once

#include "platform/vcl/vcl.h"

struct TAsfFileInfo;

class TGraphControl : public TForm {
public:
    explicit TGraphControl(TComponent* Owner);
    ~TGraphControl() override;

    // Plots the tracks of `info` (the record stays the caller's).
    void SetGraphData(TAsfFileInfo* info);
};

extern TGraphControl* GraphControl;
