// Creating objects by class: CoCreateInstance over a table of creators.
// The system device enumerator is built in; the media layer adds the classes it
// implements (the graph manager, the fixed filters, the decoders that
// registered modules name) with RegisterClassCreator before they are created.
#pragma once

#include "platform/media/Unknown.h"

namespace media {

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// Makes a new object and queries `riid` on it: S_OK and one reference in
// *object, or a failure code and *object null.
using ClassCreator = HRESULT (*)(REFIID riid, void** object);

// Adds (or replaces) the creator of a class; thread-safe. Returns the previous
// creator or null.
ClassCreator RegisterClassCreator(REFCLSID clsid, ClassCreator creator);
// Removes a class's creator again (tests).
void UnregisterClassCreator(REFCLSID clsid);

// E_POINTER for a null `object`; CLASS_E_NOAGGREGATION for an outer object;
// REGDB_E_CLASSNOTREG for a class without a creator; otherwise the creator's result.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object);

} // namespace media
