// The card of the fuzz targets: a folder in memory (/dev/shm when there is
// one) mapped to drive F:, made once per process, where each input is
// written as the file the code under test opens by path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzcard {

// The host folder of F:.
const std::string& Folder();

// Writes data as F:\<name> (name may hold "/" for a subfolder that exists)
// and returns the host path.
std::string Put(const std::string& name, const std::uint8_t* data, std::size_t size);

// Reads a host file whole ("" when it cannot).
std::string Read(const std::string& hostPath);

} // namespace fuzzcard
