// Recordings for the track reader's tests, made with our ASF writer, and a
// card folder mapped to drive T:.
#pragma once

#include "tools/asfwriter/AsfWriter.h"

#include "platform/rtl/UnicodeString.h"
#include "tests/support/TempFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trackfiles {

using asfwriter::Bytes;
using asfwriter::Packet;
using asfwriter::Payload;

// A payload of the track stream carrying text, announcing the text's length
// as the object size (or objectSize when given).
Payload Track(const std::string& text, std::uint32_t ms, std::int64_t objectSize = -1);
Payload Other(std::uint8_t stream, std::size_t bytes, std::uint32_t ms);

// A multiple-payload packet of the default format.
Packet Multi(std::vector<Payload> payloads);

// The first payload of the track stream, which the reader never parses.
inline const std::string Prelude = "$GX,11,+,11,+,11,+";

// A whole recording of these packets (in the writer's default header).
Bytes File(const std::vector<Packet>& packets, asfwriter::FileOptions options = {});
Bytes FileOfRaw(const std::vector<Bytes>& packets, asfwriter::FileOptions options = {});

// A folder mapped to drive T: for the life of the object.
class Card {
public:
    Card();
    ~Card();
    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    // Writes bytes as name in the folder; returns the Windows path "T:\name".
    rtl::UnicodeString Put(const std::string& name, const Bytes& bytes) const;
    std::string HostPath(const std::string& name) const { return folder_.Path() + "/" + name; }
    rtl::UnicodeString WindowsPath(const std::string& name) const;

private:
    test_support::TempFolder folder_{"vm_tracks"};
};

} // namespace trackfiles
