// Names of the interfaces the layer offers, as the QueryInterface failure
// switch takes them ("IMediaControl"); empty for others.
#pragma once

#include <optional>
#include <string_view>

#include "platform/media/Unknown.h"

namespace media::detail {

std::u16string_view InterfaceName(REFIID riid);

// The QueryInterface failure switch for `riid`: sets *object null and gives
// the result to fail with, or nullopt to go on.
std::optional<HRESULT> QueryInterfaceFault(REFIID riid, void** object);

} // namespace media::detail
