// The recording list pane (docked into the main window's PanelList).
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/vcl/vcl.h"

class TListControl : public TForm {
public:
    explicit TListControl(TComponent* Owner);
    ~TListControl() override;

    // The file the copy operation is about to write; message 10 names it.
    UnicodeString FCopyTarget;
};

extern TListControl* ListControl;
