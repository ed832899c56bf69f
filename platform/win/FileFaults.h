// Failure switches of the file calls, for tests: a disk that fills up and a
// card pulled out in the middle of a copy. (A read-only target is a file
// without its write bit or a write-protected drive, DriveTable; a file in use
// is an OpenFileHold.)
//
// CopyFile asks the switches for every block it moves. Rules are global and
// thread-safe; Clear() removes them all (tests do it in their fixture). With
// no rule every call does its real work.
#pragma once

#include <cstdint>

namespace win {

class FileFaults {
public:
    // Drive `letter` holds `bytesFree` more bytes of copied data; a copy that
    // needs more writes what fits and fails with ERROR_DISK_FULL (the partial
    // target is removed, as every failed copy's).
    static void DiskFull(char16_t letter, std::uint64_t bytesFree = 0);
    // Once a copy from or to drive `letter` has moved `afterBytes` bytes, the
    // drive is pulled (DriveTable::SetPresent false) and the copy fails with
    // ERROR_NOT_READY. Fires once.
    static void PullDuringCopy(char16_t letter, std::uint64_t afterBytes);
    static void Clear();

    // Used by CopyFile: of the `wanted` bytes read from drive `source` for
    // drive `target`, after `done` bytes of this copy, how many may be
    // written; below `wanted` the copy then fails with `error`.
    static std::uint64_t Allow(char16_t source, char16_t target, std::uint64_t done, std::uint64_t wanted,
                               std::uint32_t& error);
};

} // namespace win
