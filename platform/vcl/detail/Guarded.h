// Runs a handler as a window procedure would: an exception of the framework
// that escapes it goes to the application's exception box (rethrown when
// there is no application).
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"

namespace vcl::detail {

template <class F>
void Guarded(TObject* sender, F&& f)
{
    try {
        f();
    } catch (const rtl::Exception& e) {
        if (!Application)
            throw;
        Application->HandleException(sender, &e);
    }
}

} // namespace vcl::detail
