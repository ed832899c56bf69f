#include "codec/CodecSupport.h"
#include "playback/VideoView.h"

namespace codec::detail {

bool VideoDecoderRegistered() { return TPlayControl::AddFilterFromFriendlyName(nullptr, nullptr, kVideoDecoderName); }

} // namespace codec::detail
