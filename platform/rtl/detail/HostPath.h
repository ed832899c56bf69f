// The one place where the run-time library meets the drive table
// (platform/host): every file the library opens by a Windows path goes
// through here.
#pragma once

#include "platform/rtl/UnicodeString.h"

#include <cstdint>
#include <string>

namespace rtl::detail {

struct HostFile {
    bool ok = false; // the path names a place on a present drive
    std::uint32_t error = 0; // else the Win32 error code (3, 21, 123...)
    bool parentExists = false; // the folder that would hold it exists
    std::string path; // host path (UTF-8) when ok
    bool writeProtected = false; // the drive refuses writes
};

// Resolves a Windows path ("E:\DATA\X.ASF") to a host path. Thread-safe.
HostFile HostPath(const UnicodeString& windowsPath);

// Whether the file may be written: its owner-write bit is set (the emulated
// read-only attribute, checked by the layer because tests run as root). A
// missing file may be written.
bool HostFileWritable(const std::string& hostPath);

} // namespace rtl::detail
