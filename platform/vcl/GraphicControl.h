// A control without a window of its own (labels, images): painted by its
// parent, reached by the mouse through it.
#pragma once

#include "platform/vcl/Control.h"

namespace vcl {

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
};

} // namespace vcl
