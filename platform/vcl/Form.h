// The form class programs derive from.
#pragma once

#include "platform/vcl/CustomForm.h"

namespace vcl {

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

} // namespace vcl
