// How the layer opens and replaces the files of the card and the user's
// folders on the host (host paths, UTF-8).
//
// Opening never waits: a FIFO or a device file put where a settings file,
// the log or a recording is expected would block open() for good. Files are
// opened with O_NONBLOCK, which is cleared again once fstat has shown a
// regular file; anything else (FIFO, device, socket, folder) is refused with
// EACCES, the failure a folder gives.
//
// Replacing a whole file (settings, hives) writes "<name>.tmp.<pid>.<n>"
// beside it, flushes it to the disk, renames it over the old one and flushes
// the folder, so a kill, a pulled card or a power loss leaves the old file or
// the new one. Temporaries of processes killed mid-write are removed by the
// next writer (RemoveStaleTemporaries).
#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace host {

// open(2) with flags and mode; the descriptor (close-on-exec, blocking as
// asked), or -1 with errno set.
int OpenRegularFile(const std::string& hostPath, int flags, mode_t mode = 0666);

// fopen(3) on OpenRegularFile: "r", "w", "a", each with "+" and "b"; null
// with errno set.
std::FILE* OpenRegularCFile(const std::string& hostPath, const char* mode);

// Reads from offset `at` until `size` bytes or the end of the file,
// retrying interrupted reads: the bytes read, or -1 with errno set.
long ReadFileAt(int fd, off_t at, void* buffer, std::size_t size);

// Whether the path opens for reading as a regular file, for libraries that
// open files by path themselves.
bool IsReadableRegularFile(const std::string& hostPath);

// Replaces path with bytes as described above. The new file is created with
// createMode (the process's mask applies), or given exactly keepMode when
// that is not -1 (an existing file's permissions). false on any failure: the
// old file is untouched and the temporary removed.
bool ReplaceFileDurably(const std::string& path, const std::string& bytes, mode_t createMode = 0666, int keepMode = -1);

// Removes the "<name>.tmp.<pid>.<n>" files in folder whose process no longer runs.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name);

} // namespace host
