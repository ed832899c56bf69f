// A component that only holds other components (no window). CreateForm
// accepts it, and it never becomes the main form.
#pragma once

#include "platform/vcl/Component.h"
#include "platform/vcl/Events.h"

namespace vcl {

class TDataModule : public TComponent {
public:
    explicit TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

    // Raised by CreateForm after the constructor (and by AfterConstruction
    // for a module created directly).
    TNotifyEvent OnCreate;
    virtual void AfterConstruction();
};

} // namespace vcl
