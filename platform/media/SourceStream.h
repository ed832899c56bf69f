// One stream of a recording as the source filter offers it, for whoever
// makes its pictures (the frame source) downstream.
#pragma once

#include <string>

#include "platform/media/AsfHeader.h"
#include "platform/media/Vfw.h"

namespace media {

struct SourceStream {
    std::u16string path; // the Windows path the source was added for
    std::string hostPath; // the host file behind it (UTF-8)
    AsfStream stream; // number, kind and format from the header
    REFERENCE_TIME duration = 0;
};

} // namespace media
