// The presentation index of one ASF stream, read straight from the data
// packets instead of through the demuxer: the demuxer copies every payload
// of the file, this maps the file and looks at the packets' headers only.
// A page that cannot be read (a card pulled, an I/O error) ends the walk as
// a failed read would.
//
// It takes the layout recorders write, and only that: a header with one
// packet size and a Data Object that ends on a packet boundary at the end
// of the file or before an index, packets without error-correction
// variants or compressed payloads, every payload with its presentation time
// in the replicated data, and the stream's media objects whole, their
// fragments in order. For such a file it gives what the demuxer gives: one
// entry per media object of the stream, in the order their last fragments
// come, at the presentation time less the preroll, at the offset of the
// packet that holds the object's first fragment, a key frame when that
// fragment says so. Any other layout, and any damage, answers false: the
// caller then asks the demuxer, which has its own rules for those.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backends/ffmpeg/MediaFile.h"

namespace ffmpeg {

// `streamNumber`: the ASF stream number (1..127). On true, `out` holds the
// entries (times in 100 ns); on false it is empty.
bool ReadAsfIndex(const std::string& hostPath, int streamNumber, std::vector<IndexEntry>& out);

namespace detail {
// The same for an open file of `fileSize` bytes (tests: a file cut shorter
// than that after it was measured, as a card pulled mid-read).
bool ReadAsfIndexOf(int fd, std::int64_t fileSize, int streamNumber, std::vector<IndexEntry>& out);
} // namespace detail

} // namespace ffmpeg
