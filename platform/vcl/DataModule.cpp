#include "platform/vcl/DataModule.h"

namespace vcl {

void TDataModule::AfterConstruction()
{
    if (OnCreate)
        OnCreate(this);
}

} // namespace vcl
