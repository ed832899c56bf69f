// Directory search: the Win32 find-first/next calls and the framework's
// FindFirst/FindNext over TSearchRec.
//
// A search takes a snapshot of the folder. Entries come sorted by name
// without regard to case (then by code unit), so a capped scan is
// repeatable; "." and ".." come first, below a drive's root only (as
// Windows), when the pattern matches them. Patterns use "*" and "?" without
// regard to case; "*.*" matches every name, also one without a dot. A pattern
// without wildcards finds that one entry, spelled as on the disk. Attributes:
// 0x10 folder, 0x01 when the owner-write bit is clear, 0x20 for a file.
// Host names Windows could not hold are not listed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/UnicodeString.h"
#include "platform/win/FileTime.h"
#include "platform/win/Types.h"

namespace win {

inline constexpr int MAX_PATH = 260;

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwReserved0 = 0;
    DWORD dwReserved1 = 0;
    char16_t cFileName[MAX_PATH] = {};
    char16_t cAlternateFileName[14] = {};
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwReserved0 = 0;
    DWORD dwReserved1 = 0;
    char cFileName[MAX_PATH] = {}; // code page 932
    char cAlternateFileName[14] = {};
};

using WIN32_FIND_DATA = WIN32_FIND_DATAW;

// INVALID_HANDLE_VALUE (with the last error: ERROR_FILE_NOT_FOUND when
// nothing matches, ERROR_PATH_NOT_FOUND for a missing folder, ERROR_NOT_READY
// for a removed drive) or a handle for FindNextFile / FindClose.
HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data);
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
// FALSE with ERROR_NO_MORE_FILES at the end.
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data);
// How much a search tells of each entry: everything (Full, as the calls
// above), or, for a caller that reads the files it wants anyway, only the
// name and whether it is a folder or a file (NamesAndKinds): a file then
// shows size 0 until ReadFoundFile tells it, and no times or read-only bit;
// an entry of another kind (a link, a fifo) comes with everything.
enum class FindDetail { Full, NamesAndKinds };
HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data, FindDetail detail);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
// FALSE with ERROR_INVALID_HANDLE for anything but a live search handle.
BOOL FindClose(HANDLE search);

// Reads up to `size` bytes from the start of the entry the search returned
// last, opened by the host name the listing already found, below the folder
// it listed: one open, a seek to its end for its size, one read, one close,
// and no second lookup of the path (the search keeps its folder open until
// FindClose). Nothing is read from a file of size 0 (a device put there
// meanwhile), and the open never blocks (a fifo). The bytes read (fewer at
// the end of the file), or -1 with errno set: EINVAL for a bad handle or a
// search with no entry yet, ENODEV when the drive is gone, EACCES for a
// folder or a fifo, else the host's error. With `data`, the file's size as
// that open found it is written into it.
long ReadFoundFile(HANDLE search, void* buffer, std::size_t size, WIN32_FIND_DATAW* data = nullptr);

inline HANDLE FindFirstFile(const char16_t* p, WIN32_FIND_DATAW* d) { return FindFirstFileW(p, d); }
inline BOOL FindNextFile(HANDLE h, WIN32_FIND_DATAW* d) { return FindNextFileW(h, d); }

// The framework's attribute bits.
inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faNormal = 0x80;
inline constexpr int faAnyFile = 0x1FF;

struct TSearchRec {
    int Time = 0; // DOS date and time of the last write (local)
    std::int64_t Size = 0;
    int Attr = 0;
    rtl::UnicodeString Name;
    int ExcludeAttr = 0;
    HANDLE FindHandle = nullptr;
    WIN32_FIND_DATAW FindData;
};

// 0 on success, else the error code. Entries with a hidden, system or folder
// bit that attr does not allow are passed over.
int FindFirst(const rtl::UnicodeString& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

} // namespace win
