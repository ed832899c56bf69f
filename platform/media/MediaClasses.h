// The classes the media layer implements, made known to CoCreateInstance:
// the filter graph manager, the Video Mixing Renderer 9, the DirectSound
// renderer, the Infinite Pin Tee, the AVI Decompressor, the Colour Space
// Converter and the two ffdshow decoders (which the device enumerator binds
// when the decoder module is registered). Each creation passes the Create
// failure switch under the class's name (Faults.h).
#pragma once

namespace media {

// Idempotent and thread-safe. The umbrella header media.h calls it during
// start-up of every program that includes it; tests may call it again.
bool RegisterMediaClasses();

} // namespace media
