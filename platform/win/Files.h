// Files and folders on the drive table's folders: the Win32 calls and the
// framework's functions of the same purpose.
//
// Semantics kept from Windows: a file whose owner-write bit is clear has the
// read-only attribute (checked by the layer, since tests run as root) and
// cannot be deleted, overwritten or renamed over; a file held open
// (OpenFileHold) cannot be deleted; a write-protected drive refuses every
// change (ERROR_WRITE_PROTECT); a removed drive answers ERROR_NOT_READY.
// Every call sets the thread's last error on failure. The "A" forms take code
// page 932 paths.
#pragma once

#include "platform/rtl/UnicodeString.h"
#include "platform/win/Types.h"

namespace win {

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

// Attributes: 0x10 for a folder, 0x01 when the owner-write bit is clear,
// 0x20 for a file otherwise; INVALID_FILE_ATTRIBUTES on failure.
DWORD GetFileAttributesW(const char16_t* path);
DWORD GetFileAttributesA(const char* path);
// Only the read-only bit has an effect (it clears or sets the write bits).
BOOL SetFileAttributesW(const char16_t* path, DWORD attributes);
BOOL SetFileAttributesA(const char* path, DWORD attributes);

// One level; ERROR_ALREADY_EXISTS when the name exists, ERROR_PATH_NOT_FOUND
// when the parent does not.
BOOL CreateDirectoryW(const char16_t* path, void* securityAttributes);
BOOL CreateDirectoryA(const char* path, void* securityAttributes);
// An empty folder only (ERROR_DIR_NOT_EMPTY otherwise).
BOOL RemoveDirectoryW(const char16_t* path);
BOOL RemoveDirectoryA(const char* path);

// Fails when missing (ERROR_FILE_NOT_FOUND), a folder or read-only
// (ERROR_ACCESS_DENIED), or held open (ERROR_SHARING_VIOLATION).
BOOL DeleteFileW(const char16_t* path);
BOOL DeleteFileA(const char* path);

// The target exists (without regard to case) -> ERROR_FILE_EXISTS when
// failIfExists, else it is replaced unless read-only or held open. Keeps the
// modification time and the read-only attribute; a failed copy removes the
// partial target. Tests fill the disk or pull the card part-way through
// FileFaults.
BOOL CopyFileW(const char16_t* source, const char16_t* target, BOOL failIfExists);
BOOL CopyFileA(const char* source, const char* target, BOOL failIfExists);

// Renames a file or folder. An existing target fails (ERROR_ALREADY_EXISTS)
// unless MOVEFILE_REPLACE_EXISTING names a file that is neither read-only
// nor held open; the replacement is atomic.
BOOL MoveFileExW(const char16_t* source, const char16_t* target, DWORD flags);
BOOL MoveFileW(const char16_t* source, const char16_t* target);
BOOL MoveFileA(const char* source, const char* target);

// The generic names (the program is built for Unicode).
inline DWORD GetFileAttributes(const char16_t* p) { return GetFileAttributesW(p); }
inline BOOL SetFileAttributes(const char16_t* p, DWORD a) { return SetFileAttributesW(p, a); }
inline BOOL CreateDirectory(const char16_t* p, void* sa) { return CreateDirectoryW(p, sa); }
inline BOOL RemoveDirectory(const char16_t* p) { return RemoveDirectoryW(p); }
inline BOOL DeleteFile(const char16_t* p) { return DeleteFileW(p); }
inline BOOL CopyFile(const char16_t* s, const char16_t* t, BOOL f) { return CopyFileW(s, t, f); }
inline BOOL MoveFile(const char16_t* s, const char16_t* t) { return MoveFileW(s, t); }
inline BOOL MoveFileEx(const char16_t* s, const char16_t* t, DWORD f) { return MoveFileExW(s, t, f); }

// The framework's forms. followLink false looks at a link itself.
bool FileExists(const rtl::UnicodeString& path, bool followLink = true);
bool DirectoryExists(const rtl::UnicodeString& path, bool followLink = true);
bool CreateDir(const rtl::UnicodeString& path);
// Creates every missing folder on the path; false for an empty path or a failure.
bool ForceDirectories(const rtl::UnicodeString& path);
bool RemoveDir(const rtl::UnicodeString& path);
bool DeleteFile(const rtl::UnicodeString& path);
bool RenameFile(const rtl::UnicodeString& oldName, const rtl::UnicodeString& newName);
// Attribute bits (faReadOnly...), -1 on failure.
int FileGetAttr(const rtl::UnicodeString& path, bool followLink = true);
// 0 on success, else the error code.
int FileSetAttr(const rtl::UnicodeString& path, int attributes, bool followLink = true);

namespace detail {
// Attributes of a stat'ed entry (0x10 / 0x01 / 0x20).
DWORD AttributesOf(unsigned mode);
} // namespace detail

} // namespace win
